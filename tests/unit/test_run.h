// A run of one edition installed in C:\Tools\ on the fake platform, with a
// small world of programs, files and folders that the tables refer to.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/app.h"
#include "app/run.h"
#include "platform/fake_platform.h"
#include "recording.h"
#include "text/text.h"

namespace zolto {

using Strings = std::vector<std::string>;

inline std::string Join(const Strings& items, const std::string& separator = "; ") {
  std::string out;
  for (const std::string& item : items) out += (out.empty() ? "" : separator) + item;
  return out;
}

// n copies of text, each with its number in place of "#": Numbered("p#", 3, ",") is "p0,p1,p2".
inline std::string Numbered(const std::string& text, int n, const std::string& separator) {
  Strings items;
  for (int i = 0; i < n; ++i) {
    std::string item = text;
    const size_t hash = item.find('#');
    if (hash != std::string::npos) item.replace(hash, 1, std::to_string(i));
    items.push_back(item);
  }
  return Join(items, separator);
}

// A start as "program parameters": programs of C:\Tools\ by name, "in
// <folder>" when one does not start in its own folder.
inline std::string StartText(const ShellStart& s) {
  const PathParts program = SplitPath(s.file);
  const std::string folder = DropTrailingBackslash(program.drive + program.dir);
  return (EqualsI(folder, "C:\\Tools") ? program.name + program.ext : s.file) +
         (s.parameters.empty() ? "" : " " + s.parameters) +
         (s.directory.empty() || s.directory == folder ? "" : " in " + s.directory);
}

struct TestRun {
  explicit TestRun(const Edition& edition = kFullEdition) : run(fs, edition), frontend(run) {
    for (const char* p :
         {"C:\\Tools\\a.exe", "C:\\Tools\\b.exe", "C:\\Tools\\c.exe", "C:\\Tools\\cap.exe",
          "C:\\Tools\\job.bat", "C:\\Tools\\alt one.ini", "C:\\Windows\\notepad.exe",
          "C:\\Windows\\explorer.exe", "C:\\d\\x.txt", "C:\\d\\y.txt", "C:\\d\\z.txt",
          "C:\\d\\My File.txt", "C:\\d\\A.TXT", "C:\\d\\noext", "C:\\d\\x.log", "C:\\d\\x.zip",
          "C:\\d\\q.zz9", "C:\\d\\p.PNG", "C:\\d\\page.html", "C:\\d\\50%PATH%.txt",
          "C:\\d\\a&calc.txt", "C:\\My Files\\a b.txt", "C:\\My Files\\c.txt", "C:\\root.exe",
          "C:\\dir\\name.ext", "C:\\Work\\rel.txt"})
      fs.AddFile(p);
    fs.AddFile("C:\\Tools\\alt.ini", "[$.txt]\nb.exe\nc.exe\n%end\n");
    // Names the code page cannot hold, and the look-alikes best fit would give.
    fs.AddUnicodeFile("C:\\d\\Café.txt", "C:\\d\\CAFE~1.TXT");
    fs.AddUnicodeFile("C:\\d\\No short é.txt", "");
    fs.AddUnicodeFile("C:\\d\\sub\\a¥..¥..¥b.txt", "C:\\d\\sub\\A__~1.TXT");
    fs.AddUnicodeFolder("C:\\d\\Földer", "C:\\d\\FLDER~1");
    fs.AddUnicodeFile("C:\\d\\photo 😀.txt", "C:\\d\\PHOTO~1.TXT");
    for (const char* p : {"C:\\d\\Cafe.txt", "C:\\b.txt"}) fs.AddFile(p);
    for (const char* p : {"C:\\d\\sub", "C:\\rel.2\\sub", "D:\\work"}) fs.AddFolder(p);
    for (const char* ext : {".txt", ".log", ".ini"})
      fs.associations[ext] = "C:\\Windows\\notepad.exe";
    fs.associations[".zip"] = "C:\\Windows\\unzip.exe";
    fs.specialFolders = {{0x24, "C:\\Windows"}, {0x26, "C:\\Program Files"},
                         {0x05, "C:\\Users\\me\\Documents"}};
    InitialiseNames(run, std::string("C:\\Tools\\") + edition.programName + ".exe", "");
    DerivePaths(run);
    run.start.ConfigPath = run.start.ProgramFolder + run.start.ConfigName;
  }

  // Writes the configuration file and reads it.
  int Configure(const std::string& text) {
    fs.AddFile(run.start.ConfigPath, text);
    return ReadConfiguration(run);
  }
  void SetTargets(const Strings& targets) {
    run.targets.Clear();
    for (const std::string& t : targets) run.targets.Add(t);
  }
  // What the run did, "; " between the parts: the front end's log (after a
  // menu, ":" and the entries it offers: "+" a separator, "-" a column
  // break, "{label" and "}" a group, ">label" a parameter line), each start
  // (StartText), the waits, the messages, and "second file" while the run
  // reads the second configuration file.
  std::string Outcome() const {
    Strings out;
    if (!frontend.log.empty()) out.push_back(Join(frontend.log));
    if (!frontend.log.empty() && frontend.log.back().rfind("menu", 0) == 0) {
      Strings entries;
      for (int i = 0; i < run.entries.entryCount; ++i) {
        const Entry& e = run.entries.entries[static_cast<size_t>(i)];
        const char* marks[] = {"", ">", "+", "-", "", ">", "", "", "{", "}"};
        const bool labelled =
            e.kind != kSeparator && e.kind != kColumnBreak && e.kind != kSubmenuClose;
        entries.push_back(marks[e.kind] + (labelled ? e.label : ""));
      }
      out.back() += ":" + Join(entries, ",");
    }
    for (const ShellStart& s : fs.starts) out.push_back(StartText(s));
    if (!fs.sleeps.empty()) out.push_back("sleep " + Sleeps());
    for (const FakePlatform::Message& m : fs.messages) out.push_back("message " + m.text);
    if (run.selection.SecondConfig) out.push_back("second file");
    return Join(out);
  }
  std::string Sleeps() const {
    Strings out;
    for (int ms : fs.sleeps) out.push_back(std::to_string(ms));
    return Join(out, " ");
  }

  FakePlatform fs;
  RunState run;
  RecordingFrontend frontend;
};

}  // namespace zolto
