// A menu builder that builds nothing: it hands out handles, counts the items
// it is asked to append and answers the preview loads as told. For tests,
// benchmarks and fuzz targets that exercise the core's menu logic alone.
#pragma once

#include <string>

#include "menu/menu.h"

namespace zolto {

class NullMenuBuilder : public MenuBuilder {
 public:
  MenuHandle CreateMenu() override { return ++next_; }
  void AppendItem(MenuHandle, int, const std::string&, bool) override { ++items; }
  void AppendIconItem(MenuHandle, int, const std::string&, const IconSource&, int,
                      bool) override {
    ++items;
  }
  void AppendCaptionItem(MenuHandle, int, const std::string&) override { ++items; }
  void AppendHeaderItem(MenuHandle, const std::string&, const IconSource*) override { ++items; }
  void AppendSeparator(MenuHandle, int) override { ++items; }
  void AppendOwnerDrawn(MenuHandle, int, bool) override { ++items; }
  void AttachSubmenu(MenuHandle, int, MenuHandle) override {}
  void RemoveAllItems(MenuHandle) override {}
  void DestroySubmenus(MenuHandle) override {}
  void DestroyMenu(MenuHandle) override {}
  void AddShellMenu(MenuHandle) override { ++items; }
  bool LoadPicturePreview(const std::string&) override { return pictureLoads; }
  bool LoadCapturePreview(const std::string&) override { return captureLoads; }
  void ReleaseMenuResources() override {}

  int items = 0;
  bool pictureLoads = false;
  bool captureLoads = false;

 private:
  MenuHandle next_ = 0;
};

}  // namespace zolto
