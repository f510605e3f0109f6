// The core's menu construction realised with HMENUs, with the item icons
// and the preview pictures the menu owns while it is shown.
#pragma once

#include <windows.h>

#include <array>
#include <map>
#include <optional>
#include <string>

#include "app/run.h"
#include "menu/menu.h"
#include "menu/shell_menu_win32.h"
#include "platform/win32_owners.h"

namespace zolto {

// A picture held in a memory device context for drawing into the menu.
class PreviewPicture {
 public:
  // A width x height bitmap compatible with reference, selected into a
  // memory context of its own; false (and nothing held) when the system
  // refuses.
  bool Allocate(HDC reference, int width, int height);
  // Allocate, then the pixel rows copied in, scaled when they are of
  // another size.
  bool Hold(HDC reference, const BITMAPINFO* info, const void* pixels, int width, int height);
  void Release();
  HDC dc() const { return dc_.get(); }

  int width = 0;
  int height = 0;
  int originalWidth = 0;   // before scaling (pictures)
  int originalHeight = 0;
  win32::Bitmap source;    // the decoded picture (marks success)

 private:
  // Released in the reverse order: deselected, then the context, then the
  // bitmap.
  win32::Bitmap pixels_;
  win32::MemoryDc dc_;
  std::optional<win32::Selection> selected_;
};

class HmenuBuilder : public MenuBuilder {
 public:
  HmenuBuilder(RunState& run, HWND window, HINSTANCE instance)
      : run_(run), window_(window), instance_(instance), shell_(run) {}
  ~HmenuBuilder() override { ReleaseMenuResources(); }

  MenuHandle CreateMenu() override;
  void AppendItem(MenuHandle menu, int id, const std::string& label, bool columnBreak) override;
  void AppendIconItem(MenuHandle menu, int id, const std::string& text, const IconSource& icon,
                      int slot, bool columnBreak) override;
  void AppendCaptionItem(MenuHandle menu, int id, const std::string& textUtf8) override;
  void AppendHeaderItem(MenuHandle menu, const std::string& labelUtf8,
                        const IconSource* icon) override;
  void AppendSeparator(MenuHandle menu, int id) override;
  void AppendOwnerDrawn(MenuHandle menu, int id, bool columnBreak) override;
  void AttachSubmenu(MenuHandle menu, int itemId, MenuHandle submenu) override;
  void RemoveAllItems(MenuHandle menu) override;
  void DestroySubmenus(MenuHandle menu) override;
  void DestroyMenu(MenuHandle menu) override;
  void AddShellMenu(MenuHandle menu) override;
  void ReleaseMenuResources() override;
  bool LoadPicturePreview(const std::string& path) override;
  bool LoadCapturePreview(const std::string& bitmapPath) override;

  // WM_MEASUREITEM and WM_DRAWITEM for the preview items 1251 and 1252.
  void MeasurePreviewItem(MEASUREITEMSTRUCT* item);
  void DrawPreviewItem(const DRAWITEMSTRUCT* item);
  ShellMenu& Shell() { return shell_; }
  // The DPI of the monitor the next menu opens on: icons, previews and the
  // preview items' margins are made for it.
  void SetDpi(int dpi) { dpi_ = dpi; }

 private:
  win32::Bitmap MakeItemBitmap(const IconSource& source);
  // Makes the icon's bitmap into the slot (in place of the one there) and
  // returns it.
  HBITMAP ItemBitmap(int slot, const IconSource& icon);
  HICON ShellIconOf(const std::string& path);
  int RenderTextPreview(HDC reference);
  PreviewPicture* CurrentPreview();
  std::wstring CaptionText() const;
  bool NoHighlight() const;
  int Px(int pixelsAt96) const;
  SIZE IconSize() const;

  RunState& run_;
  HWND window_;
  HINSTANCE instance_;
  int dpi_ = 96;
  std::array<win32::Bitmap, kItemBitmapSlots> itemBitmaps_;
  // The shell's small icon of each path the menu shows, asked once: menus
  // name the same program on many lines, and a group asks again each time
  // it opens. Released with the menu's other resources.
  std::map<std::string, win32::Icon> shellIcons_;
  PreviewPicture picture_;
  PreviewPicture text_;
  PreviewPicture web_;
  ShellMenu shell_;
};

}  // namespace zolto
