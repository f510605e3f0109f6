#include "menu/menu_builder_win32.h"

#include <shellapi.h>

#include <cstdlib>
#include <vector>

#include "app/host_window_win32.h"
#include "platform/dpi_win32.h"
#include "platform/platform_win32.h"
#include "text/text.h"

namespace zolto {
namespace {

HMENU AsMenu(MenuHandle menu) { return reinterpret_cast<HMENU>(menu); }

// The image library, loaded for one picture and always freed; its
// functions, where it has them.
class ImageLibrary {
 public:
  ImageLibrary() : module_(LoadCompanionLibrary("imgctl.dll")) {}
  template <typename Function>
  Function Get(const char* name) const {
    return module_ ? reinterpret_cast<Function>(
                         reinterpret_cast<void*>(GetProcAddress(module_.get(), name)))
                   : nullptr;
  }

 private:
  win32::Library module_;
};

using ToDibFn = HANDLE(__cdecl*)(const char*);
using To24BitFn = int(__cdecl*)(HANDLE);
using HeadDibFn = int(__cdecl*)(HANDLE, BITMAPINFOHEADER*);
using ResizeDibFn = int(__cdecl*)(HANDLE, int, int);
using GetDibFn = int(__cdecl*)(HANDLE, BITMAPINFO*, DWORD*, void*, DWORD*);
using DeleteDibFn = int(__cdecl*)(HANDLE);

constexpr int kMaxPictureSide = 10000;
constexpr DWORD kMaxPixelBytes = 256u << 20;

// A picture the image library decoded, deleted by the library.
class Dib {
 public:
  Dib(HANDLE dib, DeleteDibFn deleteDib) : dib_(dib), delete_(deleteDib) {}
  ~Dib() {
    if (dib_ && delete_) delete_(dib_);
  }
  Dib(const Dib&) = delete;
  Dib& operator=(const Dib&) = delete;
  HANDLE get() const { return dib_; }

 private:
  HANDLE dib_;
  DeleteDibFn delete_;
};

// A line of the text preview in the wide form it is drawn and measured in:
// the file's lines are ANSI, the empty file's line is the program's own.
std::wstring PreviewLineText(const std::string& line) {
  return line == kEmptyTextPreview ? Widen(line) : Widen(line, CP_ACP);
}

}  // namespace

bool PreviewPicture::Allocate(HDC reference, int width, int height) {
  Release();
  dc_.reset(CreateCompatibleDC(reference));
  pixels_.reset(CreateCompatibleBitmap(reference, width, height));
  if (!dc_ || !pixels_) {
    Release();
    return false;
  }
  selected_.emplace(dc_.get(), pixels_.get());
  this->width = width;
  this->height = height;
  return true;
}

bool PreviewPicture::Hold(HDC reference, const BITMAPINFO* info, const void* pixels, int width,
                          int height) {
  if (!Allocate(reference, width, height)) return false;
  const int sourceWidth = info->bmiHeader.biWidth;
  const int sourceHeight = std::abs(info->bmiHeader.biHeight);
  int lines = 0;
  if (width == sourceWidth && height == sourceHeight) {
    lines = SetDIBitsToDevice(dc(), 0, 0, static_cast<DWORD>(width), static_cast<DWORD>(height),
                              0, 0, 0, static_cast<UINT>(height), pixels, info, DIB_RGB_COLORS);
  } else {
    SetStretchBltMode(dc(), HALFTONE);  // averages, unlike the default mode
    SetBrushOrgEx(dc(), 0, 0, nullptr);
    lines = StretchDIBits(dc(), 0, 0, width, height, 0, 0, sourceWidth, sourceHeight, pixels,
                          info, DIB_RGB_COLORS, SRCCOPY);
  }
  if (lines == 0 || lines == GDI_ERROR) {
    Release();
    return false;
  }
  return true;
}

void PreviewPicture::Release() {
  selected_.reset();
  dc_.reset();
  pixels_.reset();
  source.reset();
  width = height = originalWidth = originalHeight = 0;
}

MenuHandle HmenuBuilder::CreateMenu() { return reinterpret_cast<MenuHandle>(CreatePopupMenu()); }

void HmenuBuilder::AppendItem(MenuHandle menu, int id, const std::string& label, bool columnBreak) {
  AppendMenuA(AsMenu(menu), MF_STRING | (columnBreak ? MF_MENUBARBREAK : 0),
              static_cast<UINT_PTR>(id), label.c_str());
}

void HmenuBuilder::AppendIconItem(MenuHandle menu, int id, const std::string& text,
                                  const IconSource& icon, int slot, bool columnBreak) {
  MENUITEMINFOA info{};
  info.cbSize = sizeof info;
  info.fMask = MIIM_ID | MIIM_STRING | MIIM_BITMAP | (columnBreak ? MIIM_FTYPE : 0);
  info.fType = columnBreak ? MFT_MENUBARBREAK : 0;
  info.wID = static_cast<UINT>(id);
  info.dwTypeData = const_cast<char*>(text.c_str());
  info.hbmpItem = ItemBitmap(slot, icon);
  InsertMenuItemA(AsMenu(menu), static_cast<UINT>(GetMenuItemCount(AsMenu(menu))), TRUE, &info);
}

void HmenuBuilder::AppendCaptionItem(MenuHandle menu, int id, const std::string& textUtf8) {
  AppendMenuW(AsMenu(menu), MF_STRING, static_cast<UINT_PTR>(id), Widen(textUtf8).c_str());
}

void HmenuBuilder::AppendHeaderItem(MenuHandle menu, const std::string& labelUtf8,
                                    const IconSource* icon) {
  std::wstring text = Widen(labelUtf8);
  MENUITEMINFOW info{};
  info.cbSize = sizeof info;
  info.fMask = MIIM_ID | MIIM_STRING;
  info.wID = kIdHeader;
  info.dwTypeData = text.data();
  if (icon) {
    info.fMask |= MIIM_BITMAP;
    info.hbmpItem = ItemBitmap(kHeaderIconSlot, *icon);
  }
  InsertMenuItemW(AsMenu(menu), static_cast<UINT>(GetMenuItemCount(AsMenu(menu))), TRUE, &info);
}

void HmenuBuilder::AppendSeparator(MenuHandle menu, int id) {
  AppendMenuA(AsMenu(menu), MF_SEPARATOR, static_cast<UINT_PTR>(id), nullptr);
}

void HmenuBuilder::AppendOwnerDrawn(MenuHandle menu, int id, bool columnBreak) {
  AppendMenuA(AsMenu(menu), MF_OWNERDRAW | (columnBreak ? MF_MENUBARBREAK : 0),
              static_cast<UINT_PTR>(id), reinterpret_cast<LPCSTR>(static_cast<INT_PTR>(id)));
}

void HmenuBuilder::AttachSubmenu(MenuHandle menu, int itemId, MenuHandle submenu) {
  MENUITEMINFOA info{};
  info.cbSize = sizeof info;
  info.fMask = MIIM_SUBMENU;
  info.hSubMenu = AsMenu(submenu);
  SetMenuItemInfoA(AsMenu(menu), static_cast<UINT>(itemId), FALSE, &info);
}

void HmenuBuilder::RemoveAllItems(MenuHandle menu) {
  for (int i = GetMenuItemCount(AsMenu(menu)) - 1; i >= 0; --i) {
    HMENU sub = GetSubMenu(AsMenu(menu), i);
    RemoveMenu(AsMenu(menu), static_cast<UINT>(i), MF_BYPOSITION);
    if (sub) {
      DestroySubmenus(reinterpret_cast<MenuHandle>(sub));
      ::DestroyMenu(sub);
    }
  }
}

void HmenuBuilder::DestroySubmenus(MenuHandle menu) {
  const int count = GetMenuItemCount(AsMenu(menu));
  for (int i = 0; i < count; ++i) {
    HMENU sub = GetSubMenu(AsMenu(menu), i);
    if (!sub) continue;
    DestroySubmenus(reinterpret_cast<MenuHandle>(sub));
    // Detach first so the parent never points at a destroyed menu.
    MENUITEMINFOA info{};
    info.cbSize = sizeof info;
    info.fMask = MIIM_SUBMENU;
    SetMenuItemInfoA(AsMenu(menu), static_cast<UINT>(i), TRUE, &info);
    ::DestroyMenu(sub);
  }
}

void HmenuBuilder::DestroyMenu(MenuHandle menu) { ::DestroyMenu(AsMenu(menu)); }

void HmenuBuilder::AddShellMenu(MenuHandle menu) {
  HMENU popup = shell_.Add(window_, AsMenu(menu));
  if (!popup) return;  // merged into menu, or nothing to offer
  if (run_.settings.ShowIcons)
    AppendIconItem(menu, kIdShellMenu, " context ( &1 )",
                   {IconSource::Path, run_.start.ProgramFolder}, kShellMenuIconSlot, false);
  else
    AppendItem(menu, kIdShellMenu, "context ( &1 )", false);
  AttachSubmenu(menu, kIdShellMenu, reinterpret_cast<MenuHandle>(popup));
}

void HmenuBuilder::ReleaseMenuResources() {
  for (win32::Bitmap& bitmap : itemBitmaps_) bitmap.reset();
  shellIcons_.clear();
  picture_.Release();
  text_.Release();
  web_.Release();
  run_.menu.PreviewKind = Preview::None;
}

int HmenuBuilder::Px(int pixelsAt96) const { return ScaleToDpi(pixelsAt96, dpi_); }

SIZE HmenuBuilder::IconSize() const { return SmallIconSizeForDpi(dpi_); }

win32::Bitmap HmenuBuilder::MakeItemBitmap(const IconSource& source) {
  const int cx = IconSize().cx;
  const int cy = IconSize().cy;
  win32::Icon own;  // the program's own icon; the shell's are kept for the menu
  HICON icon = nullptr;
  if (source.kind == IconSource::SystemIcon) {
    own.reset(static_cast<HICON>(LoadImageA(instance_, "MYSYS", IMAGE_ICON, cx, cy, 0)));
    icon = own.get();
  } else {
    icon = ShellIconOf(source.path);
  }
  const win32::WindowDc screen(window_);
  const win32::MemoryDc dc(CreateCompatibleDC(screen.get()));
  win32::Bitmap bitmap(CreateCompatibleBitmap(screen.get(), cx, cy));
  if (!dc || !bitmap) return bitmap;
  const win32::Selection drawing(dc.get(), bitmap.get());
  const RECT all{0, 0, cx, cy};
  FillRect(dc.get(), &all, GetSysColorBrush(COLOR_MENU));
  if (icon) DrawIconEx(dc.get(), 0, 0, icon, cx, cy, 0, nullptr, DI_NORMAL);
  return bitmap;
}

HBITMAP HmenuBuilder::ItemBitmap(int slot, const IconSource& icon) {
  win32::Bitmap& held = itemBitmaps_[static_cast<size_t>(slot)];
  held = MakeItemBitmap(icon);
  return held.get();
}

HICON HmenuBuilder::ShellIconOf(const std::string& path) {
  auto [slot, added] = shellIcons_.try_emplace(path);
  if (!added) return slot->second.get();
  SHFILEINFOA info{};
  if (SHGetFileInfoA(path.c_str(), 0, &info, sizeof info, SHGFI_ICON | SHGFI_SMALLICON))
    slot->second.reset(info.hIcon);
  return slot->second.get();
}

bool HmenuBuilder::LoadPicturePreview(const std::string& path) {
  picture_.Release();
  ImageLibrary library;
  auto toDib = library.Get<ToDibFn>("ToDIB");
  auto to24 = library.Get<To24BitFn>("DIBto24Bit");
  const Dib dib(toDib ? toDib(path.c_str()) : nullptr, library.Get<DeleteDibFn>("DeleteDIB"));
  if (!dib.get() || !to24) return false;
  to24(dib.get());
  auto head = library.Get<HeadDibFn>("HeadDIB");
  auto resize = library.Get<ResizeDibFn>("ResizeDIB");
  BITMAPINFOHEADER header{};
  int originalWidth = 0;
  int originalHeight = 0;
  if (head && resize && head(dib.get(), &header)) {
    originalWidth = header.biWidth;
    originalHeight = header.biHeight;
    const int size = Px(run_.settings.PictureSize);
    if (header.biHeight < header.biWidth) {
      if (header.biWidth > size) resize(dib.get(), size, -1);
    } else if (header.biHeight > size) {
      resize(dib.get(), -1, size);
    }
  }
  auto getDib = library.Get<GetDibFn>("GetDIB");
  DWORD infoSize = 0;
  DWORD pixelSize = 0;
  if (!getDib || !getDib(dib.get(), nullptr, &infoSize, nullptr, &pixelSize) ||
      infoSize < sizeof(BITMAPINFOHEADER) || infoSize >= 4096 || pixelSize == 0 ||
      pixelSize > kMaxPixelBytes)
    return false;
  std::vector<unsigned char> info(infoSize), pixels(pixelSize);
  auto* bmi = reinterpret_cast<BITMAPINFO*>(info.data());
  if (!getDib(dib.get(), bmi, &infoSize, pixels.data(), &pixelSize)) return false;
  const int width = bmi->bmiHeader.biWidth;
  const int height = bmi->bmiHeader.biHeight;
  if (width <= 0 || width > kMaxPictureSide || height <= 0 || height > kMaxPictureSide)
    return false;
  const win32::WindowDc screen(window_);
  win32::Bitmap source(CreateDIBitmap(screen.get(), &bmi->bmiHeader, CBM_INIT, pixels.data(), bmi,
                                      DIB_RGB_COLORS));
  if (!source || !picture_.Hold(screen.get(), bmi, pixels.data(), width, height)) return false;
  picture_.source = std::move(source);
  picture_.originalWidth = originalWidth;
  picture_.originalHeight = originalHeight;
  return true;
}

bool HmenuBuilder::LoadCapturePreview(const std::string& bitmapPath) {
  web_.Release();
  std::string file;
  CaptureBitmap bitmap;
  if (!run_.platform.ReadWholeFile(bitmapPath, false, file) || !ValidateCaptureBitmap(file, bitmap))
    return false;
  const auto* info = reinterpret_cast<const BITMAPINFO*>(file.data() + bitmap.infoOffset);
  const int height = bitmap.height < 0 ? -bitmap.height : bitmap.height;
  const win32::WindowDc screen(window_);
  // The capture's pixels are meant at 96 DPI, as the configuration's sizes
  // are: on a scaled monitor it grows with the rest of the menu.
  return web_.Hold(screen.get(), info, file.data() + bitmap.pixelOffset, Px(bitmap.width),
                   Px(height));
}

int HmenuBuilder::RenderTextPreview(HDC reference) {
  const Settings& s = run_.settings;
  const std::vector<std::string> lines = TextPreviewLines(run_);
  const int lineHeight = Px(s.TextFontSize);
  const int width = Px(s.TextPreviewWidth);
  // A font size or width from the configuration that no screen could show
  // gives no preview rather than an overflowing size.
  constexpr long long kMaxSide = 32767;
  const long long total = static_cast<long long>(lineHeight) * static_cast<long long>(lines.size());
  if (lineHeight <= 0 || width <= 0 || width > kMaxSide || total > kMaxSide) return 0;
  const int height = static_cast<int>(total);
  if (!text_.Allocate(reference, width, height)) return 0;
  HDC dc = text_.dc();
  {
    const win32::Selection menuColour(dc, GetSysColorBrush(COLOR_MENU));
    PatBlt(dc, 0, 0, width, height, PATCOPY);
  }
  const win32::Font font(MakeFixedFont(Widen(s.TextFontFace.substr(0, LF_FACESIZE - 1), CP_ACP),
                                       lineHeight));
  const win32::Selection drawingFont(dc, font.get());
  int widest = 0;
  for (size_t i = 0; i < lines.size(); ++i) {
    const std::wstring line = PreviewLineText(lines[i]);
    SetBkColor(dc, GetSysColor(COLOR_MENU));
    TextOutW(dc, 0, static_cast<int>(i) * lineHeight, line.c_str(), static_cast<int>(line.size()));
    // The whole line counts: measured without its last character, the
    // widest line would lose that character to the item's edge.
    SIZE extent{};
    GetTextExtentPoint32W(dc, line.c_str(), static_cast<int>(line.size()), &extent);
    if (extent.cx > widest) widest = extent.cx;
  }
  text_.width = widest < width ? widest : width;
  return height;
}

PreviewPicture* HmenuBuilder::CurrentPreview() {
  switch (run_.menu.PreviewKind) {
    case Preview::Picture: return &picture_;
    case Preview::Text: return &text_;
    case Preview::WebPage: return &web_;
    case Preview::None: break;
  }
  return nullptr;
}

bool HmenuBuilder::NoHighlight() const {
  const Settings& s = run_.settings;
  switch (run_.menu.PreviewKind) {
    case Preview::Picture: return s.PictureNoHighlight == 1;
    case Preview::Text: return s.TextNoHighlight == 1;
    case Preview::WebPage: return s.WebNoHighlight == 1;
    case Preview::None: break;
  }
  return false;
}

std::wstring HmenuBuilder::CaptionText() const {
  if (run_.menu.PreviewKind == Preview::Picture)
    return L"( " + std::to_wstring(picture_.originalWidth) + L" x " +
           std::to_wstring(picture_.originalHeight) + L" )";
  return Widen(run_.menu.SizeLabel);
}

void HmenuBuilder::MeasurePreviewItem(MEASUREITEMSTRUCT* item) {
  const win32::WindowDc screen(window_);
  if (item->itemID == kIdPreviewCaption) {
    const std::wstring text = CaptionText();
    SIZE extent{};
    GetTextExtentPoint32W(screen.get(), text.c_str(), static_cast<int>(text.size()) - 1, &extent);
    const SIZE icon = IconSize();
    item->itemWidth = static_cast<UINT>(extent.cx + icon.cx + Px(10));
    item->itemHeight = static_cast<UINT>(extent.cy > icon.cy + Px(1) ? extent.cy : icon.cy + Px(1));
    return;
  }
  if (run_.menu.PreviewKind == Preview::Text && !text_.dc()) RenderTextPreview(screen.get());
  const PreviewPicture* preview = CurrentPreview();
  if (!preview) return;
  item->itemWidth = static_cast<UINT>(preview->width + Px(16));
  item->itemHeight = static_cast<UINT>(preview->height);
}

void HmenuBuilder::DrawPreviewItem(const DRAWITEMSTRUCT* item) {
  HDC dc = item->hDC;
  RECT rect = item->rcItem;
  const bool highlight = (item->itemState & ODS_SELECTED) && !NoHighlight();
  const win32::Brush brush(
      CreateSolidBrush(highlight ? GetSysColor(COLOR_HIGHLIGHT) : GetBkColor(dc)));
  FillRect(dc, &rect, brush.get());
  if (highlight) {
    SetBkColor(dc, GetSysColor(COLOR_HIGHLIGHT));
    SetTextColor(dc, GetSysColor(COLOR_HIGHLIGHTTEXT));
  }
  if (item->itemID == kIdPreviewCaption) {
    const std::wstring text = CaptionText();
    DrawStateW(dc, nullptr, nullptr, reinterpret_cast<LPARAM>(text.c_str()),
               static_cast<WPARAM>(text.size()), rect.left + IconSize().cx + Px(4),
               rect.top + Px(1), 0, 0, DST_PREFIXTEXT);
    return;
  }
  const PreviewPicture* preview = CurrentPreview();
  if (preview && preview->dc())
    BitBlt(dc, rect.left + Px(16), rect.top, preview->width, preview->height, preview->dc(), 0,
           0, SRCCOPY);
}

}  // namespace zolto
