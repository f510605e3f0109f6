// Building the popup menu from the entry table: one level at a time, with
// parameter submenus, separators, column breaks and groups filled as they
// open, below a header that names the target.
#include <optional>
#include <vector>

#include "app/run.h"
#include "menu/menu.h"
#include "text/text.h"

namespace zolto {
namespace {

Entry& EntryAt(EntryTable& table, int index) {
  return table.entries[static_cast<size_t>(index)];
}

IconSource IconFor(RunState& run, int index) {
  const Entry& entry = EntryAt(run.entries, index);
  std::string command = run.start.ProgramFolder;
  if (entry.kind == kOrdinary) command = entry.command;
  if (entry.kind == kSoloParameter) command = EntryAt(run.entries, entry.parentIndex).command;
  if (ContainsI(command, "@system")) return {IconSource::SystemIcon, ""};
  return {IconSource::Path, command};
}

void AddEntryItem(RunState& run, MenuBuilder& builder, MenuHandle menu, int index,
                  const std::string& label, bool plain) {
  PendingBreak& pending = run.menu.Pending;
  const int id = kIdEntryBase + index;
  if (pending.kind == BreakKind::Separator)
    builder.AppendSeparator(menu, kIdEntryBase + pending.index);
  const bool columnBreak = pending.kind == BreakKind::ColumnBreak;
  if (run.settings.ShowIcons && !plain)
    builder.AppendIconItem(menu, id, " " + label, IconFor(run, index), EntryIconSlot(index),
                           columnBreak);
  else
    builder.AppendItem(menu, id, label, columnBreak);
  pending = PendingBreak{};
}

// An Ordinary entry with parameter lines: one item for a single line, else
// an item opening a submenu of its lines. Returns the next entry to look at.
int AddParentItem(RunState& run, MenuBuilder& builder, MenuHandle menu, int parent) {
  Entry& program = EntryAt(run.entries, parent);
  const std::string display = program.label + (run.settings.SoleMark == 1 ? " *" : "");
  const MenuHandle submenu = builder.CreateMenu();
  bool added = false;
  auto addParent = [&] {
    if (!added) AddEntryItem(run, builder, menu, parent, program.label, false);
    added = true;
  };
  int i = parent + 1;
  for (; i < run.entries.entryCount; ++i) {
    Entry& entry = EntryAt(run.entries, i);
    if (entry.kind == kParameter && program.paramCount == 1) entry.kind = kSoloParameter;
    if (entry.kind == kSoloParameter) {
      AddEntryItem(run, builder, menu, i, display, false);
      builder.DestroyMenu(submenu);
      return i + 1;
    }
    if (entry.kind == kSeparator || entry.kind == kColumnBreak) {
      addParent();
      run.menu.Pending = {
          entry.kind == kSeparator ? BreakKind::Separator : BreakKind::ColumnBreak, i};
    } else if (entry.kind == kParameter) {
      addParent();
      AddEntryItem(run, builder, submenu, i, entry.label, true);
    } else {
      break;
    }
  }
  addParent();
  builder.AttachSubmenu(menu, kIdEntryBase + parent, submenu);
  return i;
}

void AddTargetlessItems(RunState& run, MenuBuilder& builder, MenuHandle menu) {
  const std::string main(FileNamePart(run.start.ConfigPath));
  const std::string second(FileNamePart(run.settings.AltConfigPath));
  builder.AppendItem(menu, kIdClipboard, "&Clipboard", false);
  builder.AppendSeparator(menu, kIdFixedSeparator);
  builder.AppendItem(menu, kIdEditMain, main + " ( &1 )", false);
  builder.AppendItem(menu, kIdEditSecond, second + " ( &2 )", false);
  builder.AppendSeparator(menu, kIdFixedSeparator);
  builder.AppendItem(menu, kIdHelp, "&Help", false);
  builder.AppendItem(menu, kIdVersion, "&Version", false);
}

// The header: the target's name (UTF-8), the count of further targets and
// the accelerator of the header item.
void AddHeader(RunState& run, MenuBuilder& builder, MenuHandle menu, const std::string& name) {
  const int count = run.targets.WorkingCount;
  std::string label = name;
  if (count > 1) label += " [ +" + std::to_string(count - 1) + " ]";
  label += " ( &0 )";
  builder.AppendSeparator(menu, kIdHeaderSeparator);
  const IconSource icon{IconSource::Path, run.targets.Working[0]};
  if (run.settings.ShowIcons)
    builder.AppendHeaderItem(menu, " " + label, &icon);
  else
    builder.AppendHeaderItem(menu, label, nullptr);
}

// The header's name of a file or folder: its name as the user gave it, the
// first NameLength characters of it; a drive root as "C:\\".
std::string FileHeaderName(RunState& run, const std::string& target) {
  std::string shown = ShownName(run, target);
  const bool drive = shown.size() >= 2 && shown[1] == ':';
  std::string name(Utf8FileNamePart(std::string_view(shown).substr(drive ? 2 : 0)));
  const int length = run.settings.NameLength;
  if (length > 0) name = Utf8FirstCharacters(name, static_cast<size_t>(length));
  if (name.empty()) name = shown.empty() || shown.back() == '\\' ? shown : shown + '\\';
  return name;
}

// The header's name of a web address: the address without its extra
// information, the last NameLength characters of it. An address whose
// characters were percent-encoded on the way in shows them as given.
std::string AddressHeaderName(RunState& run, const std::string& target, const UrlParts& parts) {
  std::string name = target;
  if (!parts.extra.empty() && parts.extra.size() <= target.size())
    name = target.substr(0, target.size() - parts.extra.size());
  name = run.platform.ToUtf8(name);
  if (run.targets.RealNames.count(target)) name = DecodeUtf8Escapes(name);
  const int length = run.settings.NameLength;
  if (length > 0) name = Utf8LastCharacters(name, static_cast<size_t>(length));
  return name;
}

bool InList(const std::vector<std::string>& list, std::string_view ext) {
  for (const std::string& item : list)
    if (EqualsI(item, ext)) return true;
  return false;
}

// Places the preview by its mode: 1 below the header, 2 in a new column, 3
// in a submenu of the header holding `items` (owner-drawn unless < 0, which
// stands for a plain caption item with the size label).
void PlacePreview(const MenuState& state, MenuBuilder& builder, MenuHandle menu, int mode,
                  const std::vector<int>& items) {
  if (mode == 1 || mode == 2) {
    builder.AppendOwnerDrawn(menu, kIdPreviewImage, mode == 2);
    return;
  }
  const MenuHandle submenu = builder.CreateMenu();
  for (int id : items) {
    if (id < 0)
      builder.AppendCaptionItem(submenu, kIdPreviewCaption, state.SizeLabel);
    else
      builder.AppendOwnerDrawn(submenu, id, false);
  }
  builder.AttachSubmenu(menu, kIdHeader, submenu);
}

void AddTextPreview(RunState& run, MenuBuilder& builder, MenuHandle menu,
                    const std::string& target) {
  const Settings& s = run.settings;
  run.menu.PreviewKind = Preview::Text;
  if (s.TextPreview != 3) {
    PlacePreview(run.menu, builder, menu, s.TextPreview, {});
    return;
  }
  const std::optional<unsigned long long> size = run.platform.FileSize(target);
  // Sizes past 4 GiB wrap, as a 32-bit count does.
  run.menu.SizeLabel = FormatSizeLabel(static_cast<unsigned>(size.value_or(0)));
  std::vector<int> items = {s.TextNoHighlight == 1 ? kIdPreviewCaption : -1};
  if (size.value_or(0) != 0) items.push_back(kIdPreviewImage);
  PlacePreview(run.menu, builder, menu, 3, items);
}

void AddWebFilePreview(RunState& run, MenuBuilder& builder, MenuHandle menu,
                       const std::string& target, const std::string& ext) {
  std::string address = target;
  if (EqualsI(ext, ".url")) {
    address = ReadShortcutUrl(run.platform, target);
    const std::optional<UrlParts> parts = CrackUrl(run.platform, address);
    if (!parts || !StartsWithI(parts->scheme, "http")) return;
  }
  if (!CaptureWebPreview(run, builder, address)) return;
  run.menu.PreviewKind = Preview::WebPage;
  PlacePreview(run.menu, builder, menu, run.settings.WebPreview, {kIdPreviewImage});
}

// At most one preview: the first whose setting and list take the extension.
void AddFilePreview(RunState& run, MenuBuilder& builder, MenuHandle menu,
                    const std::string& target, const std::string& ext) {
  const Settings& s = run.settings;
  if (s.PicturePreview >= 1 && InList(s.PictureTypes, ext)) {
    if (!builder.LoadPicturePreview(target)) return;
    run.menu.PreviewKind = Preview::Picture;
    PlacePreview(run.menu, builder, menu, s.PicturePreview, {kIdPreviewCaption, kIdPreviewImage});
  } else if (s.TextPreview >= 1 && InList(s.TextTypes, ext)) {
    AddTextPreview(run, builder, menu, target);
  } else if (run.edition.webPreview && s.WebPreview >= 1 && InList(s.WebFileTypes, ext)) {
    AddWebFilePreview(run, builder, menu, target, ext);
  }
}

void AddAddressPreview(RunState& run, MenuBuilder& builder, MenuHandle menu,
                       const std::string& target, const UrlParts& parts) {
  const Settings& s = run.settings;
  if (!run.edition.webPreview || s.WebPreview < 1 || !StartsWithI(parts.scheme, "http"))
    return;
  std::string ext = SplitPath(parts.path).ext;
  if (ext.empty()) ext = "blank";
  if (!InList(s.WebUrlTypes, ext) || !CaptureWebPreview(run, builder, target)) return;
  run.menu.PreviewKind = Preview::WebPage;
  PlacePreview(run.menu, builder, menu, s.WebPreview, {kIdPreviewImage});
}

void BuildFileMenu(RunState& run, MenuBuilder& builder, MenuHandle menu, const std::string& target) {
  const Settings& s = run.settings;
  const PathParts parts = SplitPath(target);
  // A drive root has no name the Explorer menu could be asked for.
  if ((parts.name + parts.ext).empty() || s.ExplorerMenuMode < 1) {
    AddLevelItems(run, builder, menu, 0, false);
  } else if (s.ExplorerMenuFirst == 1) {
    builder.AddShellMenu(menu);
    builder.AppendSeparator(menu, kIdHeaderSeparator);
    AddLevelItems(run, builder, menu, 0, false);
  } else {
    AddLevelItems(run, builder, menu, 0, false);
    builder.AppendSeparator(menu, kIdHeaderSeparator);
    builder.AddShellMenu(menu);
  }
  if (s.NameLength == -1) return;
  AddHeader(run, builder, menu, FileHeaderName(run, target));
  AddFilePreview(run, builder, menu, target, parts.ext);
}

void BuildAddressMenu(RunState& run, MenuBuilder& builder, MenuHandle menu, const std::string& target) {
  AddLevelItems(run, builder, menu, 0, false);
  if (run.settings.NameLength == -1) return;
  const UrlParts parts = CrackUrl(run.platform, target).value_or(UrlParts{});
  AddHeader(run, builder, menu, AddressHeaderName(run, target, parts));
  AddAddressPreview(run, builder, menu, target, parts);
}

}  // namespace

int AddLevelItems(RunState& run, MenuBuilder& builder, MenuHandle menu, int start, bool refill) {
  const EntryTable& table = run.entries;
  int i = start;
  int base = 0;
  if (refill) {
    if (start < 0 || start >= table.entryCount) return start + 1;
    builder.RemoveAllItems(menu);
    builder.DestroySubmenus(menu);
    // A group's items lie one level below its "{" entry.
    base = EntryAt(run.entries, start).level + 1;
    i = start + 1;
  } else if (i < table.entryCount) {
    base = EntryAt(run.entries, i).level;
  }
  while (i < table.entryCount) {
    const Entry& entry = EntryAt(run.entries, i);
    if (entry.level < base) break;
    if (entry.level > base) {
      ++i;
      continue;
    }
    switch (entry.kind) {
      case kOrdinary:
        if (entry.paramCount > 0) {
          i = AddParentItem(run, builder, menu, i);
          continue;
        }
        AddEntryItem(run, builder, menu, i, entry.label, false);
        break;
      case kSeparator: run.menu.Pending = {BreakKind::Separator, i}; break;
      case kColumnBreak: run.menu.Pending = {BreakKind::ColumnBreak, i}; break;
      case kSubmenuOpen:
        AddEntryItem(run, builder, menu, i, entry.label, false);
        builder.AttachSubmenu(menu, kIdEntryBase + i, builder.CreateMenu());
        break;
      case kSubmenuClose:
        run.menu.Pending = PendingBreak{};
        // A group left open at a section's end ends at its close.
        if (refill) return i + 1;
        break;
      default: break;
    }
    ++i;
  }
  return i;
}

MenuHandle BuildPopupMenu(RunState& run, MenuBuilder& builder, MenuKind kind) {
  run.menu.PreviewKind = Preview::None;
  const MenuHandle menu = builder.CreateMenu();
  if (kind == MenuKind::Targetless) {
    AddTargetlessItems(run, builder, menu);
    return menu;
  }
  const std::string target = run.targets.Working[0];
  // The basic edition has no address menu: its targets are files and folders.
  if (!run.edition.webTargets || run.platform.IsDirectory(target) ||
      run.platform.PathExists(target))
    BuildFileMenu(run, builder, menu, target);
  else
    BuildAddressMenu(run, builder, menu, target);
  return menu;
}

void DestroyPopupMenu(MenuState& state, MenuBuilder& builder, MenuHandle menu) {
  builder.DestroySubmenus(menu);
  builder.DestroyMenu(menu);
  builder.ReleaseMenuResources();
  state.PreviewKind = Preview::None;
}

}  // namespace zolto
