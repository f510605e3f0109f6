#include "menu/shell_menu_win32.h"

#include <string>
#include <vector>

#include "menu/menu.h"
#include "text/text.h"

namespace zolto {
namespace {

// Item identifier lists taken from the shell, freed with its allocator.
class IdLists {
 public:
  explicit IdLists(IMalloc* allocator) : allocator_(allocator) {}
  ~IdLists() {
    for (ITEMIDLIST* list : lists_) allocator_->Free(list);
  }
  IdLists(const IdLists&) = delete;
  IdLists& operator=(const IdLists&) = delete;
  void Add(ITEMIDLIST* list) { lists_.push_back(list); }
  const ITEMIDLIST** Data() { return const_cast<const ITEMIDLIST**>(lists_.data()); }
  UINT Count() const { return static_cast<UINT>(lists_.size()); }

 private:
  IMalloc* allocator_;
  std::vector<ITEMIDLIST*> lists_;
};

}  // namespace

bool ShellMenu::OpenShellAllocator() {
  return SUCCEEDED(SHGetMalloc(allocator_.put())) && SUCCEEDED(SHGetDesktopFolder(desktop_.put()));
}

void ShellMenu::ReleaseShellObjects() {
  desktop_.reset();
  allocator_.reset();
}

bool ShellMenu::MakeContextMenu(HWND window) {
  std::string base;
  const std::vector<std::string> targets = CollectSameFolderTargets(run_.targets, base);
  if (targets.empty()) return false;
  if (!com_) com_.emplace();
  if (!OpenShellAllocator()) return false;
  std::wstring folderName = win32::Widen(base, CP_ACP);
  ITEMIDLIST* folderId = nullptr;
  if (FAILED(desktop_->ParseDisplayName(nullptr, nullptr, folderName.data(), nullptr, &folderId,
                                        nullptr)))
    return false;
  IdLists folderList(allocator_.get());
  folderList.Add(folderId);
  win32::ComPtr<IShellFolder> folder;
  if (FAILED(desktop_->BindToObject(folderId, nullptr, IID_IShellFolder,
                                    reinterpret_cast<void**>(folder.put()))))
    return false;
  IdLists items(allocator_.get());
  for (const std::string& target : targets) {
    std::wstring name = win32::Widen(FileNamePart(target), CP_ACP);
    ITEMIDLIST* item = nullptr;
    if (FAILED(folder->ParseDisplayName(nullptr, nullptr, name.data(), nullptr, &item, nullptr)))
      return false;
    items.Add(item);
  }
  win32::ComPtr<IContextMenu> menu;
  if (FAILED(folder->GetUIObjectOf(window, items.Count(), items.Data(), IID_IContextMenu, nullptr,
                                   reinterpret_cast<void**>(menu.put()))))
    return false;
  return SUCCEEDED(menu->QueryInterface(IID_IContextMenu2, reinterpret_cast<void**>(context_.put())));
}

void ShellMenu::FilterItems(HMENU menu, int first) {
  std::vector<ShellItem> items;
  const int count = GetMenuItemCount(menu);
  for (int i = 0; i < count; ++i) {
    char text[MAX_PATH] = {};
    MENUITEMINFOA info{};
    info.cbSize = sizeof info;
    // Type, id and text: a bitmap or owner-drawn item has no text and is
    // filtered as the empty text.
    info.fMask = MIIM_FTYPE | MIIM_STRING | MIIM_ID;
    info.dwTypeData = text;
    info.cch = sizeof text - 1;
    GetMenuItemInfoA(menu, static_cast<UINT>(i), TRUE, &info);
    items.push_back({(info.fType & MFT_SEPARATOR) != 0, text});
  }
  for (int position : ShellItemsToDelete(run_.settings.ExplorerFilter, items, first))
    DeleteMenu(menu, static_cast<UINT>(position), MF_BYPOSITION);
}

HMENU ShellMenu::Add(HWND window, HMENU menu) {
  context_.reset();
  if (!MakeContextMenu(window)) {
    context_.reset();
    ReleaseShellObjects();
    return nullptr;
  }
  const Settings& s = run_.settings;
  const bool submenu = s.ExplorerMenuMode == 1;
  HMENU target = submenu ? CreatePopupMenu() : menu;
  const int first = submenu ? 0 : GetMenuItemCount(menu);
  const UINT insertAt = submenu || s.ExplorerMenuFirst == 1 ? 0 : static_cast<UINT>(first);
  const HRESULT added = context_->QueryContextMenu(target, insertAt, 1, 999, CMF_EXPLORE);
  if (FAILED(added) || HRESULT_CODE(added) == 0) {
    if (submenu) DestroyMenu(target);
    context_.reset();
    ReleaseShellObjects();
    return nullptr;
  }
  FilterItems(target, first);
  return submenu ? target : nullptr;
}

void ShellMenu::Invoke(HWND window, int id) {
  if (!context_) return;
  CMINVOKECOMMANDINFO info{};
  info.cbSize = sizeof info;
  info.hwnd = window;
  info.lpVerb = MAKEINTRESOURCEA(id - 1);
  info.nShow = SW_SHOWNORMAL;
  context_->InvokeCommand(&info);
}

void ShellMenu::Forward(UINT message, WPARAM wParam, LPARAM lParam) {
  if (context_) context_->HandleMenuMsg(message, wParam, lParam);
}

void ShellMenu::Close() {
  context_.reset();
  ReleaseShellObjects();
  com_.reset();
}

}  // namespace zolto
