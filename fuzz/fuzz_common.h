// Shared pieces of the fuzz targets: a check that stops the fuzzer with a
// message (libFuzzer then saves the input as a crash), input splitting, and a
// run of the launcher on the in-memory platform with a fixed file system and
// a scripted front end.
#pragma once

#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "app/app.h"
#include "app/run.h"
#include "menu/menu.h"
#include "null_menu_builder.h"
#include "platform/fake_platform.h"
#include "recording.h"

namespace zolto::fuzz {

// A promise of the code under test was broken.
[[noreturn]] inline void Fail(const char* file, int line, const char* what) {
  std::fprintf(stderr, "\n*** fuzz check failed at %s:%d: %s\n", file, line, what);
  std::fflush(stderr);
  std::abort();
}

#define FUZZ_CHECK(condition) \
  ((condition) ? (void)0 : ::zolto::fuzz::Fail(__FILE__, __LINE__, #condition))

// The pieces of text between separators (an empty text gives one empty piece).
inline std::vector<std::string_view> Split(std::string_view text, char separator) {
  std::vector<std::string_view> pieces;
  std::size_t start = 0;
  for (std::size_t at; (at = text.find(separator, start)) != std::string_view::npos;
       start = at + 1)
    pieces.push_back(text.substr(start, at - start));
  pieces.push_back(text.substr(start));
  return pieces;
}

// The text before the first of `stops` and the text after it (empty when
// there is none).
inline std::pair<std::string_view, std::string_view> CutAt(std::string_view text,
                                                           std::string_view stops) {
  const std::size_t at = text.find_first_of(stops);
  if (at == std::string_view::npos) return {text, {}};
  return {text.substr(0, at), text.substr(at + 1)};
}

// A fully qualified path: a drive or a UNC name.
inline bool Qualified(const std::string& path) {
  return path.size() >= 2 && (path[1] == ':' || path.compare(0, 2, "\\\\") == 0);
}

// The configuration a run reads where the input is not one: a [system] part
// with previews and a section for each kind of target.
inline constexpr char kFixedConfiguration[] =
    "[system]\r\n@icon\r\n@dist=5,1\r\n@pic=1,100\r\n@text=1,200,5\r\n"
    "@browse=cap,-w 800,2\r\n@context=2\r\n%end\r\n"
    "[$.txt]\r\na.exe | &A\r\n>-a %P | with a\r\n]%X=\"%N%_Name\" | each\r\n%end\r\n"
    "[folder]\r\n{Group\r\nc.exe | C\r\n>\"%M\"\r\n}\r\n@system | Open\r\n%end\r\n"
    "[url]\r\nviewer | View\r\n>%L\r\n>%G %-J\r\n%end\r\n"
    "[all]\r\nviewer | All\r\n%end\r\n[add]\r\n&Open\r\nCopy\r\n%end\r\n";

// The file system every run starts from: a few programs, documents, folders,
// associations and special folders. Built once and copied for each input,
// which costs far less than building it again.
inline const FakePlatform& FixedPlatform() {
  static const FakePlatform* const fixed = [] {
    auto* fs = new FakePlatform;
    fs->AddFolder("C:\\Tools");
    for (const char* program :
         {"C:\\Tools\\a.exe", "C:\\Tools\\b.exe", "C:\\Tools\\c.exe", "C:\\Tools\\viewer.exe",
          "C:\\Tools\\cap.exe", "C:\\Tools\\app.exe", "C:\\Tools\\run.bat",
          "C:\\Windows\\system32\\notepad.exe", "C:\\Windows\\system32\\rundll32.exe",
          "C:\\Windows\\explorer.exe", "C:\\Apps\\Note Pad.exe", "D:\\bin\\tool.exe"})
      fs->AddFile(program);
    for (const char* document :
         {"C:\\d\\x.txt", "C:\\d\\y.txt", "C:\\d\\My File.txt", "C:\\d\\pic.png",
          "C:\\d\\page.html", "C:\\d\\q.zz9", "C:\\dir\\name.ext", "C:\\My Docs\\a.txt",
          "C:\\Work\\a.txt", "C:\\Work\\rel.txt", "C:\\50%Percent\\f.txt",
          "C:\\Data\\\x95\x5C\\f.txt"})
      fs->AddFile(document, "line one\r\n\tline two\r\n");
    fs->AddFile("C:\\d\\link.url", "[InternetShortcut]\r\nURL=http://h.example/a/page.html\r\n");
    fs->AddFile("C:\\Tools\\paths.txt", "junk\r\nPATH=\tD:\\bin;C:\\Apps\r\n");
    for (const Edition* edition : {&kFullEdition, &kBasicEdition})
      fs->AddFile(std::string("C:\\Tools\\") + edition->programName + ".ini", kFixedConfiguration);
    fs->AddFile("C:\\Tools\\alt.ini", "[$.txt]\nb.exe\n>%X\n%end\n[.*]\nc.exe | C\n>%P\n%end\n");
    for (const char* folder : {"C:\\d\\sub", "C:\\Data", "C:\\rel.2\\sub", "D:\\work",
                               "C:\\My Dir"})
      fs->AddFolder(folder);
    fs->associations[".txt"] = "\"C:\\Apps\\Note Pad.exe\"";
    fs->associations[".html"] = "C:\\Tools\\viewer.exe";
    fs->associations[".doc"] = "C:\\Apps\\viewer.dll";
    fs->specialFolders[0x24] = "C:\\Windows";
    fs->specialFolders[0x26] = "C:\\Program Files";
    fs->specialFolders[0x05] = "C:\\Users\\me\\Documents";
    fs->specialFolders[0x10] = "C:\\" + std::string(250, 'x');  // a value near the limits
    fs->specialFolders[0x07] = "C:\\%Windows%\\%4y%";           // values holding names
    fs->clipboardText = "C:\\d\\x.txt\r\nC:\\d\\sub\r\n";
    return fs;
  }();
  return *fixed;
}

// A run of the launcher installed in C:\Tools\ on a fresh copy of the fixed
// file system.
class FuzzRun {
 public:
  explicit FuzzRun(const Edition& edition = kFullEdition) : fs(FixedPlatform()), run(fs, edition) {
    // The page-capture program "writes" a picture the menu then loads.
    fs.runner = [this](const std::string&) {
      fs.AddFile(run.start.PreviewBitmapPath, "BM");
      return true;
    };
    InitialiseNames(run, std::string("C:\\Tools\\") + edition.programName + ".exe", "");
    DerivePaths(run);
    run.start.ConfigPath = run.start.ProgramFolder + run.start.ConfigName;
  }
  FuzzRun(const FuzzRun&) = delete;
  FuzzRun& operator=(const FuzzRun&) = delete;

  FakePlatform fs;
  RunState run;
};

// The front end: when the menu opens, builds it with every group refilled as
// it would open, then chooses some entries and each fixed item; answers the
// parameter dialog as the recording front end does, checking what it is given.
class ScriptedFrontend : public RecordingFrontend {
 public:
  using RecordingFrontend::RecordingFrontend;

  void ShowPopupMenu(MenuKind kind, MenuPlace place) override {
    if (open_) return;  // a choice that runs again (the clipboard item) opens no second menu
    open_ = true;
    PlaceMenu(run_, ScreenFacts{++menus_ % 2 == 0, 10, 20, 810, 620}, place);
    NullMenuBuilder builder;
    builder.pictureLoads = builder.captureLoads = true;
    const MenuHandle menu = BuildPopupMenu(run_, builder, kind);
    const EntryTable& table = run_.entries;
    const bool targets = kind == MenuKind::Targets;
    for (int i = 0; i < table.entryCount && targets; ++i)
      if (table.entries[static_cast<std::size_t>(i)].kind == kSubmenuOpen)
        AddLevelItems(run_, builder, builder.CreateMenu(), i, true);
    DestroyPopupMenu(run_.menu, builder, menu);
    if (targets) {
      std::string baseFolder;
      CollectSameFolderTargets(run_.targets, baseFolder);
      for (int i = 0; i < table.entryCount && i < chooseEntries; ++i)
        ActOnMenuChoice(run_, *this, kIdEntryBase + i, i % 3 == 2);
      // The files, the about box, the header, the clipboard and an Explorer item.
      for (int id : {+kIdEditMain, +kIdEditSecond, +kIdHelp, +kIdVersion, +kIdHeader,
                     +kIdClipboard, 7})
        ActOnMenuChoice(run_, *this, id, false);
    }
    open_ = false;
  }

  DialogResult OpenParameterDialog() override {
    // What the dialog is given fits its fixed buffers.
    FUZZ_CHECK(run_.launch.ParameterDefault.size() <= 259);
    FUZZ_CHECK(run_.launch.ParameterTitle.size() <= 32);
    return RecordingFrontend::OpenParameterDialog();
  }

  int chooseEntries = 0;  // entries to act on each time the menu opens

 private:
  int menus_ = 0;
  bool open_ = false;
};

}  // namespace zolto::fuzz
