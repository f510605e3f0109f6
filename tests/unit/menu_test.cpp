#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "menu/menu.h"
#include "test_run.h"

namespace zolto {
namespace {

using Strings = std::vector<std::string>;

// Records menus as lists of item descriptions:
//   "id:label", "id:label|" (column break), "---id", "id:~label@slot" (icon),
//   "[owner id]", and "id>N" when item id opens submenu N.
class RecordingBuilder : public MenuBuilder {
 public:
  std::map<MenuHandle, Strings> menus;
  std::vector<MenuHandle> destroyed;
  int shellMenus = 0;
  int releases = 0;

  MenuHandle CreateMenu() override {
    menus[++next_];
    return next_;
  }
  void AppendItem(MenuHandle m, int id, const std::string& label, bool brk) override {
    menus[m].push_back(std::to_string(id) + ":" + label + (brk ? "|" : ""));
  }
  void AppendIconItem(MenuHandle m, int id, const std::string& text, const IconSource& icon,
                      int slot, bool brk) override {
    const std::string source = icon.kind == IconSource::SystemIcon ? "MYSYS" : icon.path;
    menus[m].push_back(std::to_string(id) + ":~" + text + "@" + std::to_string(slot) + "=" +
                       source + (brk ? "|" : ""));
  }
  void AppendCaptionItem(MenuHandle m, int id, const std::string& text) override {
    AppendItem(m, id, text, false);
  }
  void AppendHeaderItem(MenuHandle m, const std::string& label, const IconSource* icon) override {
    if (icon)
      AppendIconItem(m, kIdHeader, label, *icon, 0, false);
    else
      AppendItem(m, kIdHeader, label, false);
  }
  void AppendSeparator(MenuHandle m, int id) override {
    menus[m].push_back("---" + std::to_string(id));
  }
  void AppendOwnerDrawn(MenuHandle m, int id, bool brk) override {
    menus[m].push_back("[owner " + std::to_string(id) + "]" + (brk ? "|" : ""));
  }
  void AttachSubmenu(MenuHandle m, int id, MenuHandle sub) override {
    menus[m].push_back(std::to_string(id) + ">" + std::to_string(sub));
  }
  void RemoveAllItems(MenuHandle m) override { menus[m].clear(); }
  void DestroySubmenus(MenuHandle) override {}
  void DestroyMenu(MenuHandle m) override { destroyed.push_back(m); }
  void AddShellMenu(MenuHandle m) override {
    ++shellMenus;
    menus[m].push_back("shell");
  }
  void ReleaseMenuResources() override { ++releases; }
  bool LoadPicturePreview(const std::string& path) override {
    loaded.push_back(path);
    return pictureLoads;
  }
  bool LoadCapturePreview(const std::string& path) override {
    loaded.push_back(path);
    return captureLoads;
  }
  bool pictureLoads = true;
  bool captureLoads = true;
  Strings loaded;

 private:
  MenuHandle next_ = 0;
};

class MenuTest : public RunTest {
 protected:
  MenuTest() {
    for (const char* p : {"C:\\Tools\\a.exe", "C:\\Tools\\b.exe", "C:\\Tools\\c.exe",
                          "C:\\d\\document.txt", "C:\\d\\y.txt", "C:\\d\\z.txt"})
      fs.AddFile(p);
  }
  // Parses section (a header line and entries) and builds the menu for the
  // given targets.
  Strings Build(const std::string& section, const Strings& targets = {"C:\\d\\document.txt"}) {
    run.targets.Clear();
    for (const std::string& t : targets) run.targets.Add(t);
    text_ = section;
    run.entries.Clear();
    ParseEntryLines(run, 0, text_);
    root_ = BuildPopupMenu(run, builder, 0);
    return builder.menus[root_];
  }
  RecordingBuilder builder;
  MenuHandle root_ = 0;
  std::string text_;
};

TEST_F(MenuTest, EntriesAndHeader) {
  EXPECT_EQ(Build("[x]\na.exe | A\n+\nb.exe | B\n-\nc.exe | C\n"),
            (Strings{"1000:A", "---1001", "1002:B", "1004:C|", "---1300", "1250:document.txt ( &0 )"}));
}

TEST_F(MenuTest, ParameterLinesMakeSubmenusOrSoloItems) {
  EXPECT_EQ(Build("[x]\na.exe | A\n>-one | One\nb.exe | B\n>-1 | First\n+\n>-2 | Second\n"),
            (Strings{"1001:A *", "1002:B", "1002>3", "---1300", "1250:document.txt ( &0 )"}));
  EXPECT_EQ(builder.menus[3], (Strings{"1003:First", "---1004", "1005:Second"}));
  EXPECT_EQ(builder.destroyed, std::vector<MenuHandle>{2});  // A's unused submenu
  EXPECT_EQ(run.entries.entries[1].kind, kSoloParameter);
  run.settings.SoleMark = 0;
  EXPECT_EQ(Build("[x]\na.exe | A\n>-one | One\n")[0], "1001:A");
}

TEST_F(MenuTest, GroupsAreFilledWhenTheyOpen) {
  const Strings top = Build("[x]\n{Tools\na.exe | A\n{Deep\nb.exe | B\n}\n}\nc.exe | C\n");
  EXPECT_EQ(top, (Strings{"1000:Tools", "1000>2", "1006:C", "---1300", "1250:document.txt ( &0 )"}));
  EXPECT_TRUE(builder.menus[2].empty());
  AddLevelItems(run, builder, 2, 0, 1);
  AddLevelItems(run, builder, 2, 0, 1);  // refilled, not doubled
  EXPECT_EQ(builder.menus[2], (Strings{"1001:A", "1002:Deep", "1002>4"}));
}

TEST_F(MenuTest, GroupLeftOpenDoesNotTakeTheNextSection) {
  Build("[x]\n{Tools\n%end\n");
  text_ = "[y]\nb.exe | B\n";
  ParseEntryLines(run, 0, text_);
  AddLevelItems(run, builder, 2, 0, 1);
  EXPECT_TRUE(builder.menus[2].empty());
  // A group as the very last entry of a full table.
  EXPECT_EQ(AddLevelItems(run, builder, 2, run.entries.entryCount, 1), run.entries.entryCount + 1);
}

TEST_F(MenuTest, HeaderLabelForms) {
  EXPECT_EQ(Build("[x]\n", {"C:\\d\\document.txt", "C:\\d\\y.txt", "C:\\d\\z.txt"}).back(),
            "1250:document.txt [ +2 ] ( &0 )");
  run.settings.NameLength = 5;
  EXPECT_EQ(Build("[x]\n").back(), "1250:docum ( &0 )");
  EXPECT_EQ(Build("[x]\n", {"https://example.org/page.html?q=1#f"}).back(),
            "1250:.html ( &0 )");
  run.settings.NameLength = 0;
  EXPECT_EQ(Build("[x]\n", {"https://example.org/page.html?q=1"}).back(),
            "1250:https://example.org/page.html ( &0 )");
  EXPECT_EQ(Build("[x]\n", {"C:"}).back(), "1250:C:\\ ( &0 )");
  run.settings.NameLength = -1;
  EXPECT_EQ(Build("[x]\na.exe | A\n"), Strings{"1000:A"});
  // Name cut by characters, never inside a double-byte one.
  run.settings.NameLength = 2;
  fs.AddFile("C:\\d\\\x95\x5C\x8F\x5C.txt");
  EXPECT_EQ(Build("[x]\n", {"C:\\d\\\x95\x5C\x8F\x5C.txt"}).back(), "1250:表十 ( &0 )");
}

TEST_F(MenuTest, ShellMenuPlaceAndDriveRoots) {
  run.settings.ExplorerMenuMode = 1;
  EXPECT_EQ(Build("[x]\na.exe | A\n"),
            (Strings{"1000:A", "---1300", "shell", "---1300", "1250:document.txt ( &0 )"}));
  run.settings.ExplorerMenuFirst = 1;
  EXPECT_EQ(Build("[x]\na.exe | A\n")[0], "shell");
  Build("[x]\na.exe | A\n", {"C:"});  // a drive root has no shell menu
  EXPECT_EQ(run.settings.ExplorerMenuMode, 0);
  EXPECT_EQ(builder.shellMenus, 2);
}

TEST_F(MenuTest, IconsWhenSet) {
  run.settings.ShowIcons = 1;
  fs.AddFile("C:\\d\\x.txt");
  run.targets.Clear();
  run.targets.Add("C:\\d\\x.txt");
  EXPECT_EQ(Build("[x]\na.exe | A\n@system | Open\nb.exe | B\n>-1\n>-2\n{G\n"),
            (Strings{"1000:~ A@3=C:\\Tools\\a.exe", "1001:~ Open@4=MYSYS",
                     "1002:~ B@5=C:\\Tools\\b.exe", "1002>2", "1005:~ G@8=C:\\Tools\\",
                     "1005>3", "---1300", "1250:~ document.txt ( &0 )@0=C:\\d\\document.txt"}));
  EXPECT_EQ(builder.menus[2], (Strings{"1003:-1", "1004:-2"}));  // no icons in there
}

TEST_F(MenuTest, TargetlessMenu) {
  run.settings.AltConfigPath = "C:\\Tools\\second.ini";
  const MenuHandle menu = BuildPopupMenu(run, builder, 1);
  EXPECT_EQ(builder.menus[menu],
            (Strings{"1560:&Clipboard", "---1500", "1520:zolto5_c.ini ( &1 )",
                     "1530:second.ini ( &2 )", "---1500", "1540:&Help", "1550:&Version"}));
  DestroyPopupMenu(run, builder, menu);
  EXPECT_EQ(builder.destroyed, std::vector<MenuHandle>{menu});
  EXPECT_EQ(builder.releases, 1);
}

// ---- Previews ----

TEST_F(MenuTest, PicturePreviewPlacements) {
  fs.AddFile("C:\\d\\p.PNG");
  run.settings.PicturePreview = 1;
  EXPECT_EQ(Build("[x]\n", {"C:\\d\\p.PNG"}),
            (Strings{"---1300", "1250:p.PNG ( &0 )", "[owner 1251]"}));
  EXPECT_EQ(run.menu.previewKind, 1);
  run.settings.PicturePreview = 2;
  EXPECT_EQ(Build("[x]\n", {"C:\\d\\p.PNG"}).back(), "[owner 1251]|");
  run.settings.PicturePreview = 3;
  const Strings top = Build("[x]\n", {"C:\\d\\p.PNG"});
  EXPECT_EQ(top.back(), "1250>" + std::to_string(builder.menus.size()));
  EXPECT_EQ(builder.menus[builder.menus.size()], (Strings{"[owner 1252]", "[owner 1251]"}));
  builder.pictureLoads = false;  // the library failed: header alone
  EXPECT_EQ(Build("[x]\n", {"C:\\d\\p.PNG"}), (Strings{"---1300", "1250:p.PNG ( &0 )"}));
  EXPECT_EQ(run.menu.previewKind, 0);
}

TEST_F(MenuTest, TextPreviewPlacements) {
  run.settings.TextPreview = 1;
  EXPECT_EQ(Build("[x]\n").back(), "[owner 1251]");
  EXPECT_EQ(run.menu.previewKind, 2);
  run.settings.TextPreview = 3;
  fs.AddFile("C:\\d\\document.txt", std::string(1536, 'x'));
  Build("[x]\n");
  EXPECT_EQ(builder.menus[builder.menus.size()], (Strings{"1252:( 1.51 KB )", "[owner 1251]"}));
  fs.AddFile("C:\\d\\document.txt", "");
  run.settings.TextNoHighlight = 1;
  Build("[x]\n");
  EXPECT_EQ(builder.menus[builder.menus.size()], Strings{"[owner 1252]"});
  EXPECT_EQ(run.menu.sizeLabel, "( 0 バイト )");
  run.settings.NameLength = -1;  // no header, no preview
  EXPECT_EQ(Build("[x]\n"), Strings{});
}

TEST_F(MenuTest, FirstMatchingPreviewWinsAndListsIgnoreCase) {
  run.settings.PicturePreview = 1;
  run.settings.TextPreview = 1;
  run.settings.PictureTypes = {".TXT"};
  builder.pictureLoads = false;
  EXPECT_EQ(Build("[x]\n").back(), "1250:document.txt ( &0 )");  // no text fallback
}

TEST_F(MenuTest, WebPreviews) {
  fs.AddFile("C:\\Tools\\cap.exe");
  run.settings.WebPreview = 1;
  run.settings.PageCaptureProgram = "C:\\Tools\\cap.exe";
  fs.runner = [&](const std::string&) {
    fs.AddFile(run.start.PreviewBitmapPath, "BM");
    return true;
  };
  fs.AddFile("C:\\d\\page.html");
  EXPECT_EQ(Build("[x]\n", {"C:\\d\\page.html"}).back(), "[owner 1251]");
  EXPECT_EQ(run.menu.previewKind, 3);
  EXPECT_EQ(Build("[x]\n", {"https://example.org/dir/"}).back(), "[owner 1251]");  // "blank"
  EXPECT_EQ(Build("[x]\n", {"https://example.org/a.php"}).back(),
            "1250:https://example.org/a.php ( &0 )");
  fs.AddFile("C:\\d\\news.url", "[InternetShortcut]\r\nURL=ftp://example.org/\r\n");
  run.settings.WebFileTypes = {".url"};
  EXPECT_EQ(Build("[x]\n", {"C:\\d\\news.url"}).back(), "1250:news.url ( &0 )");
  EXPECT_EQ(fs.waitedCommands.size(), 2u);  // the ftp shortcut was never captured
}

// ---- Placement ----

TEST_F(MenuTest, Placement) {
  ScreenFacts facts;
  facts.cursorX = 40;
  facts.cursorY = 50;
  run.start.Metrics.screenWidth = 1281;
  run.start.Metrics.maximizedHeight = 1001;
  auto place = [&](int position) {
    run.settings.MenuPosition = position;
    const MenuPlacement p = PlaceMenu(run, facts, 0);
    return std::to_string(p.x) + "," + std::to_string(p.y) + "/" + std::to_string(p.flags);
  };
  EXPECT_EQ(place(kMenuActive), "640,500/278");
  facts.hasForeground = true;
  facts.foregroundLeft = 100, facts.foregroundTop = 100;
  facts.foregroundRight = 301, facts.foregroundBottom = 201;
  EXPECT_EQ(place(kMenuActive), "200,150/278");
  facts.foregroundRight = 100;  // no width: the screen centre
  EXPECT_EQ(place(kMenuActive), "640,500/278");
  run.settings.MenuX = 7, run.settings.MenuY = 9;
  EXPECT_EQ(place(kMenuCoordinates), "7,9/258");
  EXPECT_EQ(place(kMenuMouse), "40,50/258");
  EXPECT_EQ(place(kMenuMous2), "40,50/274");
  EXPECT_EQ(place(kMenuCenter), "640,500/278");
  run.start.Metrics.mouseButtons = 0;
  EXPECT_EQ(place(kMenuMouse), "640,500/278");
  EXPECT_EQ(place(kMenuMous2), "640,500/278");
  run.menu.anchorX = 3, run.menu.anchorY = 4, run.menu.anchorFlags = 258;
  const MenuPlacement again = PlaceMenu(run, facts, 1);
  EXPECT_EQ(again.x, 3);
  EXPECT_EQ(again.y, 4);
}

// ---- Acting on the choice ----

struct RecordingActions : MenuActions, Frontend {
  Strings calls;
  int answer = 0;
  std::string typed;
  RunState* run = nullptr;
  void ShowAbout() override { calls.push_back("about"); }
  void InvokeShellCommand(int id) override { calls.push_back("shell" + std::to_string(id)); }
  void ShowPopupMenu(int, int) override { calls.push_back("menu"); }
  int OpenParameterDialog() override {
    calls.push_back("ask:" + run->launch.DialogProgram + ":" + run->launch.ParameterDefault);
    run->launch.ParameterAnswer = typed;
    return answer;
  }
};

class DispatchTest : public MenuTest {
 protected:
  DispatchTest() {
    actions.run = &run;
    run.frontend = &actions;
  }
  Strings Starts() const {
    Strings out;
    for (const ShellStart& s : fs.starts) out.push_back(s.file + "|" + s.parameters);
    return out;
  }
  RecordingActions actions;
};

TEST_F(DispatchTest, OrdinaryEntryForOneOrAllTargets) {
  fs.AddFile("C:\\d\\my doc.txt");
  const Strings three = {"C:\\d\\my doc.txt", "C:\\d\\y.txt", "C:\\d\\z.txt"};
  Build("[x]\na.exe | A\nb.exe | B\n", three);
  run.settings.FirstLaunchDelay = 200;
  run.settings.NextLaunchDelay = 20;
  ActOnMenuChoice(run, actions, 1000, false);
  EXPECT_EQ(Starts(), Strings{"C:\\Tools\\a.exe|\"C:\\d\\my doc.txt\""});
  fs.starts.clear();
  run.menu.allTargetsRequested = 1;
  ActOnMenuChoice(run, actions, 1001, false);
  EXPECT_EQ(Starts(), (Strings{"C:\\Tools\\b.exe|\"C:\\d\\my doc.txt\"",
                               "C:\\Tools\\b.exe|C:\\d\\y.txt", "C:\\Tools\\b.exe|C:\\d\\z.txt"}));
  EXPECT_EQ(fs.sleeps, (std::vector<int>{200, 200, 20, 20}));
}

TEST_F(DispatchTest, ParameterLinesAndControl) {
  Build("[x]\na.exe | A\n>-p | P\n]-each | E\n", {"C:\\d\\y.txt", "C:\\d\\z.txt"});
  ActOnMenuChoice(run, actions, 1001, false);  // ">" runs once
  ActOnMenuChoice(run, actions, 1002, false);  // "]" runs for every target
  EXPECT_EQ(Starts(), (Strings{"C:\\Tools\\a.exe|-p", "C:\\Tools\\a.exe|-each",
                               "C:\\Tools\\a.exe|-each"}));
  fs.starts.clear();
  ActOnMenuChoice(run, actions, 1001, true);  // cancelled: nothing starts
  EXPECT_TRUE(fs.starts.empty());
  actions.answer = 4;
  actions.typed = "-typed";
  ActOnMenuChoice(run, actions, 1001, true);
  ActOnMenuChoice(run, actions, 1000, true);
  EXPECT_EQ(actions.calls, (Strings{"ask:C:\\Tools\\a.exe:-p", "ask:C:\\Tools\\a.exe:-p",
                                    "ask:C:\\Tools\\a.exe:"}));
  EXPECT_EQ(Starts(), (Strings{"C:\\Tools\\a.exe|-typed", "C:\\Tools\\a.exe|-typed"}));
}

TEST_F(DispatchTest, HeaderAndTargetlessItems) {
  fs.associations[".txt"] = "C:\\Windows\\notepad.exe";
  Build("[x]\na.exe | A\nb.exe | B\n");
  ActOnMenuChoice(run, actions, kIdHeader, false);
  EXPECT_EQ(Starts(), Strings{"C:\\d\\document.txt|"});
  fs.starts.clear();
  run.settings.AltConfigPath = "C:\\Tools\\alt one.ini";
  fs.AddFile(run.settings.AltConfigPath);
  fs.associations[".ini"] = "C:\\Windows\\notepad.exe";
  ActOnMenuChoice(run, actions, kIdEditSecond, false);  // no editor: association
  fs.AddFile("C:\\Tools\\ed.exe");
  run.settings.EditorProgram = "C:\\Tools\\ed.exe";
  ActOnMenuChoice(run, actions, kIdHelp, false);
  ActOnMenuChoice(run, actions, kIdVersion, false);
  ActOnMenuChoice(run, actions, 17, false);
  ActOnMenuChoice(run, actions, kIdFixedSeparator, false);
  EXPECT_EQ(Starts(), (Strings{"C:\\Tools\\alt one.ini|",
                               "C:\\Tools\\ed.exe|C:\\Tools\\zolto5_c.txt"}));
  EXPECT_EQ(actions.calls, (Strings{"about", "shell17"}));
}

TEST_F(DispatchTest, HeaderWithControlReopensFromTheOtherFile) {
  struct Reopen : Frontend {
    Strings calls;
    void ShowPopupMenu(int t, int r) override { calls.push_back(std::to_string(t) + std::to_string(r)); }
  int OpenParameterDialog() override { return 0; }
  } frontend;
  run.frontend = &frontend;
  fs.AddFile("C:\\Tools\\alt.ini", "[$.txt]\na.exe\nb.exe\n");
  fs.AddFile(run.start.ConfigPath, "[system]\n@ext2=alt.ini\n%end\n");
  ASSERT_EQ(ReadConfiguration(run), 1);
  Build("[x]\na.exe | A\nb.exe | B\n");
  ActOnMenuChoice(run, actions, kIdPreviewImage, true);
  EXPECT_EQ(frontend.calls, Strings{"01"});
  EXPECT_EQ(run.selection.secondConfig, 1);
}

}  // namespace
}  // namespace zolto
