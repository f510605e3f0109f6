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

// Holds a window's device context.
class WindowDc {
 public:
  explicit WindowDc(HWND window) : window_(window), dc_(GetDC(window)) {}
  ~WindowDc() {
    if (dc_) ReleaseDC(window_, dc_);
  }
  WindowDc(const WindowDc&) = delete;
  WindowDc& operator=(const WindowDc&) = delete;
  HDC get() const { return dc_; }

 private:
  HWND window_;
  HDC dc_;
};

// The image library, loaded for one picture and always freed.
class ImageLibrary {
 public:
  ImageLibrary() : module_(LoadCompanionLibrary("imgctl.dll")) {}
  ~ImageLibrary() {
    if (module_) FreeLibrary(module_);
  }
  ImageLibrary(const ImageLibrary&) = delete;
  ImageLibrary& operator=(const ImageLibrary&) = delete;
  template <typename Function>
  Function Get(const char* name) const {
    return module_ ? reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(module_, name)))
                   : nullptr;
  }

 private:
  HMODULE module_;
};

using ToDibFn = HANDLE(__cdecl*)(const char*);
using To24BitFn = int(__cdecl*)(HANDLE);
using HeadDibFn = int(__cdecl*)(HANDLE, BITMAPINFOHEADER*);
using ResizeDibFn = int(__cdecl*)(HANDLE, int, int);
using GetDibFn = int(__cdecl*)(HANDLE, BITMAPINFO*, DWORD*, void*, DWORD*);
using DeleteDibFn = int(__cdecl*)(HANDLE);

constexpr int kMaxPictureSide = 10000;
constexpr DWORD kMaxPixelBytes = 256u << 20;

}  // namespace

bool HoldPicture(HDC reference, const BITMAPINFO* info, const void* pixels, int width,
                 int height, PreviewPicture& picture) {
  picture.dc = CreateCompatibleDC(reference);
  picture.pixels = CreateCompatibleBitmap(reference, width, height);
  if (!picture.dc || !picture.pixels) {
    ReleasePicture(picture);
    return false;
  }
  picture.previous = SelectObject(picture.dc, picture.pixels);
  picture.width = width;
  picture.height = height;
  const int sourceWidth = info->bmiHeader.biWidth;
  const int sourceHeight = std::abs(info->bmiHeader.biHeight);
  int lines = 0;
  if (width == sourceWidth && height == sourceHeight) {
    lines = SetDIBitsToDevice(picture.dc, 0, 0, static_cast<DWORD>(width),
                              static_cast<DWORD>(height), 0, 0, 0, static_cast<UINT>(height),
                              pixels, info, DIB_RGB_COLORS);
  } else {
    SetStretchBltMode(picture.dc, HALFTONE);  // averages, unlike the default mode
    SetBrushOrgEx(picture.dc, 0, 0, nullptr);
    lines = StretchDIBits(picture.dc, 0, 0, width, height, 0, 0, sourceWidth, sourceHeight,
                          pixels, info, DIB_RGB_COLORS, SRCCOPY);
  }
  if (lines == 0 || lines == GDI_ERROR) {
    ReleasePicture(picture);
    return false;
  }
  return true;
}

void ReleasePicture(PreviewPicture& picture) {
  if (picture.dc && picture.previous) SelectObject(picture.dc, picture.previous);
  if (picture.dc) DeleteDC(picture.dc);
  if (picture.pixels) DeleteObject(picture.pixels);
  if (picture.source) DeleteObject(picture.source);
  picture = PreviewPicture{};
}

MenuHandle HmenuBuilder::CreateMenu() { return reinterpret_cast<MenuHandle>(CreatePopupMenu()); }

void HmenuBuilder::AppendItem(MenuHandle menu, int id, const std::string& label, bool columnBreak) {
  AppendMenuA(AsMenu(menu), MF_STRING | (columnBreak ? MF_MENUBARBREAK : 0),
              static_cast<UINT_PTR>(id), label.c_str());
}

void HmenuBuilder::AppendIconItem(MenuHandle menu, int id, const std::string& text,
                                  const IconSource& icon, int slot, bool columnBreak) {
  HBITMAP& held = itemBitmaps_[static_cast<size_t>(slot)];
  if (held) DeleteObject(held);
  held = MakeItemBitmap(icon);
  MENUITEMINFOA info{};
  info.cbSize = sizeof info;
  info.fMask = MIIM_ID | MIIM_STRING | MIIM_BITMAP | (columnBreak ? MIIM_FTYPE : 0);
  info.fType = columnBreak ? MFT_MENUBARBREAK : 0;
  info.wID = static_cast<UINT>(id);
  info.dwTypeData = const_cast<char*>(text.c_str());
  info.hbmpItem = held;
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
    HBITMAP& held = itemBitmaps_[0];
    if (held) DeleteObject(held);
    held = MakeItemBitmap(*icon);
    info.fMask |= MIIM_BITMAP;
    info.hbmpItem = held;
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
                   {IconSource::Path, run_.start.ProgramFolder}, 2, false);
  else
    AppendItem(menu, kIdShellMenu, "context ( &1 )", false);
  AttachSubmenu(menu, kIdShellMenu, reinterpret_cast<MenuHandle>(popup));
}

void HmenuBuilder::ReleaseMenuResources() {
  for (HBITMAP& bitmap : itemBitmaps_) {
    if (bitmap) DeleteObject(bitmap);
    bitmap = nullptr;
  }
  for (auto& [path, icon] : shellIcons_)
    if (icon) DestroyIcon(icon);
  shellIcons_.clear();
  ReleasePicture(picture_);
  ReleasePicture(text_);
  ReleasePicture(web_);
  run_.menu.previewKind = 0;
}

int HmenuBuilder::Px(int pixelsAt96) const { return ScaleToDpi(pixelsAt96, dpi_); }

SIZE HmenuBuilder::IconSize() const { return SmallIconSizeForDpi(dpi_); }

HBITMAP HmenuBuilder::MakeItemBitmap(const IconSource& source) {
  const int cx = IconSize().cx;
  const int cy = IconSize().cy;
  const bool system = source.kind == IconSource::SystemIcon;
  HICON icon = system ? static_cast<HICON>(LoadImageA(instance_, "MYSYS", IMAGE_ICON, cx, cy, 0))
                      : ShellIconOf(source.path);
  WindowDc screen(window_);
  HDC dc = CreateCompatibleDC(screen.get());
  HBITMAP bitmap = CreateCompatibleBitmap(screen.get(), cx, cy);
  HGDIOBJ previous = SelectObject(dc, bitmap);
  RECT all{0, 0, cx, cy};
  FillRect(dc, &all, GetSysColorBrush(COLOR_MENU));
  if (icon) DrawIconEx(dc, 0, 0, icon, cx, cy, 0, nullptr, DI_NORMAL);
  SelectObject(dc, previous);
  DeleteDC(dc);
  if (icon && system) DestroyIcon(icon);
  return bitmap;
}

HICON HmenuBuilder::ShellIconOf(const std::string& path) {
  auto [slot, added] = shellIcons_.try_emplace(path, nullptr);
  if (!added) return slot->second;
  SHFILEINFOA info{};
  if (SHGetFileInfoA(path.c_str(), 0, &info, sizeof info, SHGFI_ICON | SHGFI_SMALLICON))
    slot->second = info.hIcon;
  return slot->second;
}

bool HmenuBuilder::LoadPicturePreview(const std::string& path) {
  ReleasePicture(picture_);
  ImageLibrary library;
  auto toDib = library.Get<ToDibFn>("ToDIB");
  auto deleteDib = library.Get<DeleteDibFn>("DeleteDIB");
  HANDLE dib = toDib ? toDib(path.c_str()) : nullptr;
  if (!dib) return false;
  auto to24 = library.Get<To24BitFn>("DIBto24Bit");
  if (!to24) {
    if (deleteDib) deleteDib(dib);
    return false;
  }
  to24(dib);
  auto head = library.Get<HeadDibFn>("HeadDIB");
  auto resize = library.Get<ResizeDibFn>("ResizeDIB");
  BITMAPINFOHEADER header{};
  if (head && resize && head(dib, &header)) {
    picture_.originalWidth = header.biWidth;
    picture_.originalHeight = header.biHeight;
    const int size = Px(run_.settings.PictureSize);
    if (header.biHeight < header.biWidth) {
      if (header.biWidth > size) resize(dib, size, -1);
    } else if (header.biHeight > size) {
      resize(dib, -1, size);
    }
  }
  auto getDib = library.Get<GetDibFn>("GetDIB");
  DWORD infoSize = 0;
  DWORD pixelSize = 0;
  if (getDib && getDib(dib, nullptr, &infoSize, nullptr, &pixelSize) &&
      infoSize >= sizeof(BITMAPINFOHEADER) && infoSize < 4096 && pixelSize > 0 &&
      pixelSize <= kMaxPixelBytes) {
    std::vector<unsigned char> info(infoSize), pixels(pixelSize);
    auto* bmi = reinterpret_cast<BITMAPINFO*>(info.data());
    if (getDib(dib, bmi, &infoSize, pixels.data(), &pixelSize)) {
      const int width = bmi->bmiHeader.biWidth;
      const int height = bmi->bmiHeader.biHeight;
      if (width > 0 && width <= kMaxPictureSide && height > 0 && height <= kMaxPictureSide) {
        WindowDc screen(window_);
        HBITMAP source = CreateDIBitmap(screen.get(), &bmi->bmiHeader, CBM_INIT, pixels.data(),
                                        bmi, DIB_RGB_COLORS);
        const int originalWidth = picture_.originalWidth;
        const int originalHeight = picture_.originalHeight;
        if (source && HoldPicture(screen.get(), bmi, pixels.data(), width, height, picture_)) {
          picture_.source = source;
          picture_.originalWidth = originalWidth;
          picture_.originalHeight = originalHeight;
        } else {
          if (source) DeleteObject(source);
          picture_ = PreviewPicture{};
        }
      }
    }
  }
  if (deleteDib) deleteDib(dib);
  return picture_.source != nullptr;
}

bool HmenuBuilder::LoadCapturePreview(const std::string& bitmapPath) {
  ReleasePicture(web_);
  std::string file;
  CaptureBitmap bitmap;
  if (!run_.platform.ReadWholeFile(bitmapPath, false, file) || !ValidateCaptureBitmap(file, bitmap))
    return false;
  const auto* info = reinterpret_cast<const BITMAPINFO*>(file.data() + 14);
  const int height = bitmap.height < 0 ? -bitmap.height : bitmap.height;
  WindowDc screen(window_);
  // The capture's pixels are meant at 96 DPI, as the configuration's sizes
  // are: on a scaled monitor it grows with the rest of the menu.
  return HoldPicture(screen.get(), info, file.data() + bitmap.pixelOffset, Px(bitmap.width),
                     Px(height), web_);
}

int HmenuBuilder::RenderTextPreview(HDC reference) {
  ReleasePicture(text_);
  const Settings& s = run_.settings;
  const std::vector<std::string> lines = TextPreviewLines(run_);
  const int lineHeight = Px(s.TextFontSize);
  const int width = Px(s.TextPreviewWidth);
  const int height = lineHeight * static_cast<int>(lines.size());
  text_.dc = CreateCompatibleDC(reference);
  text_.pixels = CreateCompatibleBitmap(reference, width, height);
  if (!text_.dc || !text_.pixels) {
    ReleasePicture(text_);
    return 0;
  }
  text_.previous = SelectObject(text_.dc, text_.pixels);
  HGDIOBJ brush = SelectObject(text_.dc, GetSysColorBrush(COLOR_MENU));
  PatBlt(text_.dc, 0, 0, width, height, PATCOPY);
  SelectObject(text_.dc, brush);
  HFONT font = MakeFixedFont(s.TextFontFace.substr(0, LF_FACESIZE - 1).c_str(), lineHeight);
  HGDIOBJ oldFont = SelectObject(text_.dc, font);
  int widest = 0;
  for (size_t i = 0; i < lines.size(); ++i) {
    const std::string& line = lines[i];
    SetBkColor(text_.dc, GetSysColor(COLOR_MENU));
    // The empty-file line is the program's own text; file lines are ANSI.
    if (line == "( 0 バイト )") {
      const std::wstring wide = Widen(line);
      TextOutW(text_.dc, 0, static_cast<int>(i) * lineHeight, wide.c_str(), static_cast<int>(wide.size()));
    } else {
      TextOutA(text_.dc, 0, static_cast<int>(i) * lineHeight, line.c_str(), static_cast<int>(line.size()));
    }
    // The whole line counts: measured without its last character, the
    // widest line would lose that character to the item's edge.
    SIZE extent{};
    GetTextExtentPoint32A(text_.dc, line.c_str(), static_cast<int>(line.size()), &extent);
    if (extent.cx > widest) widest = extent.cx;
  }
  SelectObject(text_.dc, oldFont);
  DeleteObject(font);
  text_.width = widest < width ? widest : width;
  text_.height = height;
  return height;
}

PreviewPicture* HmenuBuilder::CurrentPreview() {
  switch (run_.menu.previewKind) {
    case 1: return &picture_;
    case 2: return &text_;
    case 3: return &web_;
    default: return nullptr;
  }
}

bool HmenuBuilder::NoHighlight() const {
  const Settings& s = run_.settings;
  switch (run_.menu.previewKind) {
    case 1: return s.PictureNoHighlight == 1;
    case 2: return s.TextNoHighlight == 1;
    case 3: return s.WebNoHighlight == 1;
    default: return false;
  }
}

std::wstring HmenuBuilder::CaptionText() const {
  if (run_.menu.previewKind == 1)
    return L"( " + std::to_wstring(picture_.originalWidth) + L" x " +
           std::to_wstring(picture_.originalHeight) + L" )";
  return Widen(run_.menu.sizeLabel);
}

void HmenuBuilder::MeasurePreviewItem(MEASUREITEMSTRUCT* item) {
  WindowDc screen(window_);
  if (item->itemID == kIdPreviewCaption) {
    const std::wstring text = CaptionText();
    SIZE extent{};
    GetTextExtentPoint32W(screen.get(), text.c_str(), static_cast<int>(text.size()) - 1, &extent);
    const SIZE icon = IconSize();
    item->itemWidth = static_cast<UINT>(extent.cx + icon.cx + Px(10));
    item->itemHeight = static_cast<UINT>(extent.cy > icon.cy + Px(1) ? extent.cy : icon.cy + Px(1));
    return;
  }
  if (run_.menu.previewKind == 2 && !text_.dc) RenderTextPreview(screen.get());
  const PreviewPicture* preview = CurrentPreview();
  if (!preview) return;
  item->itemWidth = static_cast<UINT>(preview->width + Px(16));
  item->itemHeight = static_cast<UINT>(preview->height);
}

void HmenuBuilder::DrawPreviewItem(const DRAWITEMSTRUCT* item) {
  HDC dc = item->hDC;
  RECT rect = item->rcItem;
  const bool highlight = (item->itemState & ODS_SELECTED) && !NoHighlight();
  HBRUSH brush = CreateSolidBrush(highlight ? GetSysColor(COLOR_HIGHLIGHT) : GetBkColor(dc));
  FillRect(dc, &rect, brush);
  DeleteObject(brush);
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
  if (preview && preview->dc)
    BitBlt(dc, rect.left + Px(16), rect.top, preview->width, preview->height, preview->dc, 0, 0,
           SRCCOPY);
}

}  // namespace zolto
