// The popup menu: the tree built from the entry table with its header,
// previews and Explorer menu, the menu without targets, and where it opens.
#include "menu/menu.h"

#include <gtest/gtest.h>

#include "test_run.h"

namespace zolto {
namespace {

struct TreeRow {
  std::string settings;  // [system] lines
  std::string section;
  Strings targets;
  std::string expect;  // the tree; " / captures N" and " / destroyed M..." when there were any
  std::string contents = "";  // of the first target
  bool pictureLoads = true;
};

const std::string kX = "1250:x.txt ( &0 )";
const std::string kABC = "[x]\na.exe | A\n+\nb.exe | B\n-\nc.exe | C\n";
const std::string kPage = "https://example.org/page.html?q=1#f";
const TreeRow kTrees[] = {
    {"", kABC, {"C:\\d\\x.txt"}, "1000:A, ---1001, 1002:B, 1004:C|, ---1300, " + kX},
    {"", "[x]\na.exe | A\n>-one | One\nb.exe | B\n>-1 | First\n+\n>-2 | Second\n", {"C:\\d\\x.txt"},
     "1001:A *, 1002:B{1003:First, ---1004, 1005:Second}, ---1300, " + kX + " / destroyed 2"},
    {"@mark=0", "[x]\na.exe | A\n>-one | One\n", {"C:\\d\\x.txt"},
     "1001:A, ---1300, " + kX + " / destroyed 2"},
    {"", "[x]\n-\na.exe | A\n+\n>-1\n-\n>-2\n", {"C:\\d\\x.txt"},
     "1000:A{---1001, 1002:-1, 1004:-2|}, ---1300, " + kX},
    // The header: the name, the count of further targets, its length.
    {"", "[x]\n", {"C:\\d\\x.txt", "C:\\d\\y.txt", "C:\\d\\z.txt"},
     "---1300, 1250:x.txt [ +2 ] ( &0 )"},
    // Cut by characters, never inside a double-byte one.
    {"@len=2", "[x]\n", {"C:\\d\\\x95\x5C\x8F\x5C.txt"}, "---1300, 1250:表十 ( &0 )"},
    {"@len=5", "[x]\n", {kPage}, "---1300, 1250:.html ( &0 )"},  // an address keeps its end
    {"", "[x]\n", {"https://example.org/\x95\x5C"}, "---1300, 1250:https://example.org/表 ( &0 )"},
    {"", "[x]\n", {"C:"}, "---1300, 1250:C:\\ ( &0 )"},
    {"@len=-1", "[x]\na.exe | A\n", {"C:\\d\\x.txt"}, "1000:A"},
    // The target's Explorer menu below the entries or above them; a drive root has none.
    {"@context=1", "[x]\na.exe | A\n", {"C:\\d\\x.txt"}, "1000:A, ---1300, shell, ---1300, " + kX},
    {"@context=1,1", "[x]\na.exe | A\n", {"C:\\d\\x.txt"},
     "shell, ---1300, 1000:A, ---1300, " + kX},
    {"@context=1", "[x]\na.exe | A\n", {"C:"}, "1000:A, ---1300, 1250:C:\\ ( &0 )"},
    // Icons: the program's, the system's for "@system", the program folder's for a
    // group; none in submenus.
    {"@icon", "[x]\na.exe | A\n@system | Open\nb.exe | B\n>-1\n>-2\n{G\n", {"C:\\d\\q.zz9"},
     "1000:~ A@3=C:\\Tools\\a.exe, 1001:~ Open@4=MYSYS, "
     "1002:~ B@5=C:\\Tools\\b.exe{1003:-1, 1004:-2}, "
     "1005:~ G@8=C:\\Tools\\{}, ---1300, 1250:~ q.zz9 ( &0 )@0=C:\\d\\q.zz9"},
    // Previews: below the header, in a new column, or in a submenu of the header; none when off.
    {"", "[x]\n", {"C:\\d\\p.PNG"}, "---1300, 1250:p.PNG ( &0 )"},
    {"@pic=1", "[x]\n", {"C:\\d\\p.PNG"}, "---1300, 1250:p.PNG ( &0 ), [owner 1251]"},
    {"@pic=1,200,2", "[x]\n", {"C:\\d\\p.PNG"},
     "---1300, 1250:p.PNG ( &0 ){[owner 1252], [owner 1251]}"},
    {"@pic=1", "[x]\n", {"C:\\d\\p.PNG"}, "---1300, 1250:p.PNG ( &0 )", "", false},
    // The first preview whose list takes the type; no other when it fails.
    {"@pic=1\n>.TXT\n@text=1", "[x]\n", {"C:\\d\\x.txt"}, "---1300, " + kX, "", false},
    {"@text=1", "[x]\n", {"C:\\d\\x.txt"}, "---1300, " + kX + ", [owner 1251]"},
    {"@text=1,200,20,0,,0,2", "[x]\n", {"C:\\d\\x.txt"},
     "---1300, " + kX + "{1252:( 1.51 KB ), [owner 1251]}", std::string(1536, 'x')},
    {"@text=1,200,20,0,,0,2,1", "[x]\n", {"C:\\d\\x.txt"}, "---1300, " + kX + "{[owner 1252]}"},
    {"@browse=cap", "[x]\n", {"C:\\d\\page.html"},
     "---1300, 1250:page.html ( &0 ), [owner 1251] / captures 1"},
    {"@browse=cap,,1", "[x]\n", {"https://example.org/a.php"},
     "---1300, 1250:https://example.org/a.php ( &0 )"},
    {"@browse=cap,,1\n>.url", "[x]\n", {"C:\\d\\news.url"},
     "---1300, 1250:news.url ( &0 ), [owner 1251]| / captures 1", "URL=http://example.org/\r\n"},
};

TEST(MenuTree, EntriesHeaderPreviewsAndExplorerMenu) {
  for (const TreeRow& row : kTrees) {
    SCOPED_TRACE(row.settings + " / " + row.section + " for " + row.targets[0]);
    TestRun t;
    t.fs.AddFile("C:\\d\\\x95\x5C\x8F\x5C.txt");
    if (!row.contents.empty()) t.fs.AddFile(row.targets[0], row.contents);
    t.fs.runner = [&t](const std::string&) {
      t.fs.AddFile(t.run.start.PreviewBitmapPath, "BM");
      return true;
    };
    ASSERT_EQ(t.Configure("[system]\n" + row.settings + "\n%end\n"), 1);
    t.SetTargets(row.targets);
    ParseEntryLines(t.run, 0, row.section);
    RecordingMenuBuilder builder;
    builder.pictureLoads = row.pictureLoads;
    std::string got = builder.Tree(BuildPopupMenu(t.run, builder, MenuKind::Targets));
    if (!t.fs.waitedCommands.empty())
      got += " / captures " + std::to_string(t.fs.waitedCommands.size());
    for (size_t i = 0; i < builder.destroyed.size(); ++i)
      got += (i ? " " : " / destroyed ") + std::to_string(builder.destroyed[i]);
    EXPECT_EQ(got, row.expect);
  }
}

TEST(MenuTree, GroupsAreFilledWhenTheyOpen) {
  TestRun t;
  t.SetTargets({"C:\\d\\x.txt"});
  ParseEntryLines(t.run, 0, "[x]\n{Tools\na.exe | A\n{Deep\nb.exe | B\n}\n}\nc.exe | C\n{Open\n");
  RecordingMenuBuilder builder;
  const MenuHandle root = BuildPopupMenu(t.run, builder, MenuKind::Targets);
  EXPECT_EQ(builder.Tree(root), "1000:Tools{}, 1006:C, 1007:Open{}, ---1300, " + kX);
  AddLevelItems(t.run, builder, 2, 0, true);
  AddLevelItems(t.run, builder, 2, 0, true);  // refilled, not doubled
  EXPECT_EQ(builder.Tree(2), "1001:A, 1002:Deep{}");
  // A group left open at a section's end does not take the next section.
  ParseEntryLines(t.run, 0, "[y]\nb.exe | B\n");
  EXPECT_EQ(AddLevelItems(t.run, builder, 3, 7, true), 8);
  EXPECT_EQ(builder.Tree(3), "");
  const int end = t.run.entries.entryCount;
  EXPECT_EQ(AddLevelItems(t.run, builder, 3, end, true), end + 1);
}

TEST(MenuTree, TargetlessMenuNamesBothFiles) {
  TestRun t;
  t.run.settings.AltConfigPath = "C:\\Tools\\second.ini";
  RecordingMenuBuilder builder;
  const MenuHandle menu = BuildPopupMenu(t.run, builder, MenuKind::Targetless);
  EXPECT_EQ(builder.Tree(menu), "1560:&Clipboard, ---1500, 1520:zolto5_c.ini ( &1 ), "
                                "1530:second.ini ( &2 ), ---1500, 1540:&Help, 1550:&Version");
  DestroyPopupMenu(t.run.menu, builder, menu);
  EXPECT_EQ(builder.destroyed, std::vector<MenuHandle>{menu});
  EXPECT_EQ(builder.releases, 1);
}

// Where the menu opens: "x,y/flags" (TPM_* flags).
struct PlaceRow {
  int position;
  bool mouse;
  int foregroundRight, foregroundBottom;  // of a window at 100,100; 0: none
  int reopen;
  std::string expect;
};

const PlaceRow kPlaces[] = {
    {kMenuActive, true, 0, 0, 0, "640,500/278"},
    {kMenuActive, true, 301, 201, 0, "200,150/278"},
    {kMenuActive, true, 100, 201, 0, "640,500/278"},  // no width: the screen's centre
    {kMenuCoordinates, true, 0, 0, 0, "7,9/258"},
    {kMenuMouse, true, 0, 0, 0, "40,50/258"},
    {kMenuMous2, true, 0, 0, 0, "40,50/274"},
    {kMenuMouse, false, 0, 0, 0, "640,500/278"},
    {kMenuCenter, true, 0, 0, 1, "3,4/258"},  // where the last menu stood
};

TEST(MenuPlace, ByPositionMouseAndForegroundWindow) {
  for (const PlaceRow& row : kPlaces) {
    SCOPED_TRACE(row.expect);
    TestRun t;
    t.run.start.Metrics = {1281, 1001, row.mouse ? 3 : 0, 16, 16};
    t.run.settings.MenuPosition = row.position;
    t.run.settings.MenuX = 7, t.run.settings.MenuY = 9;
    t.run.menu.AnchorX = 3, t.run.menu.AnchorY = 4, t.run.menu.AnchorFlags = 258;
    const ScreenFacts facts{row.foregroundRight > 0, 100, 100, row.foregroundRight,
                            row.foregroundBottom, 40, 50};
    const MenuPlacement p =
        PlaceMenu(t.run, facts, row.reopen ? MenuPlace::Anchor : MenuPlace::Configured);
    EXPECT_EQ(std::to_string(p.x) + "," + std::to_string(p.y) + "/" + std::to_string(p.flags),
              row.expect);
  }
}

// The target's own Explorer menu: which of its items stay (a few rows: the
// fuzz target checks the filter against its own reading of the rules), and
// which targets share the first target's folder.

using Mode = ExplorerItemFilter::Mode;

struct FilterRow {
  Mode mode;
  Strings prefixes;
  Strings items;  // "-" a separator
  int first;      // the launcher's own items come before it
  Strings expect;
};

const Strings kShell = {"&Open", "Open &with", "-", "Cu&t", "&Copy", "-", "P&roperties"};
const FilterRow kFilters[] = {
    {Mode::KeepListed, {"&Open", "open"}, kShell, 0, {"&Open", "Open &with"}},  // any case
    // "&" counts as written.
    {Mode::RemoveListed, {"cu&t", "Copy", "p&roperties"}, kShell, 0,
     {"&Open", "Open &with", "-", "&Copy"}},
    {Mode::None, {}, {"-", "-", "a", "-", "-", "-", "b", "-", "-"}, 0, {"a", "-", "b"}},
    {Mode::KeepListed, {"x"}, {"Entry", "-", "-", "Open", "-"}, 2, {"Entry", "-"}},  // merged
    // A failed item count reads no item before the first.
    {Mode::None, {}, {"-", "Open", "-"}, -1, {"Open"}},
};

TEST(ShellMenu, FilterAndSeparatorCleanUp) {
  for (const FilterRow& row : kFilters) {
    SCOPED_TRACE(Join(row.items, " ") + " / " + Join(row.prefixes, " "));
    TestRun t;
    t.run.settings.ExplorerFilter = {row.mode, row.prefixes};
    std::vector<ShellItem> items;
    for (const std::string& text : row.items)
      items.push_back({text == "-", text == "-" ? "" : text});
    Strings kept = row.items;
    int previous = static_cast<int>(kept.size());
    for (int position : ShellItemsToDelete(t.run.settings.ExplorerFilter, items, row.first)) {
      ASSERT_LT(position, previous);  // descending, so earlier positions stay valid
      ASSERT_GE(position, std::max(row.first, 0));
      kept.erase(kept.begin() + position);
      previous = position;
    }
    EXPECT_EQ(kept, row.expect);
  }
}

TEST(ShellMenu, TargetsInTheFirstTargetsFolder) {
  TestRun t;
  t.SetTargets({"C:\\d\\a.txt", "C:\\other\\b.txt", "C:\\d\\c.txt", "C:\\D\\e.txt",
                "C:\\d\\sub\\f.txt"});
  std::string base;
  EXPECT_EQ(CollectSameFolderTargets(t.run.targets, base), (Strings{"C:\\d\\a.txt", "C:\\d\\c.txt"}));
  EXPECT_EQ(base, "C:\\d\\");
  for (const char* root : {"C:", "C:\\"}) {
    t.run.targets.Working[0] = root;
    EXPECT_TRUE(CollectSameFolderTargets(t.run.targets, base).empty()) << root;
  }
}

}  // namespace
}  // namespace zolto
