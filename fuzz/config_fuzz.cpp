// The configuration target: the input is the configuration file. Fixed
// command lines run against it in both editions, each once through the
// launcher's start-up (reading the file, selecting sections, building the
// menu, choosing some entries, answering dialogs) and once through the
// configuration checker.
#include <algorithm>

#include "checker/checker.h"
#include "config/config.h"
#include "config/entries.h"
#include "fuzz_common.h"

namespace zolto::fuzz {
namespace {

// What the rest of the program takes for granted of the settings: a
// delimiter that splits, a search list when one is on, a menu position and
// previews the front end can show, and programs and a second file that are
// full paths of files.
// (Whether a program exists is not checked: the fake platform finds "..\x"
// as C:\Work\x but qualifies it as C:\x.)
void CheckSettings(FuzzRun& f) {
  const Settings& s = f.run.settings;
  FUZZ_CHECK(!s.Delimiter.empty());
  FUZZ_CHECK(!s.SearchListOn || !s.ProgramSearchList.empty());
  FUZZ_CHECK(s.MenuPosition >= kMenuActive && s.MenuPosition <= kMenuCenter);
  FUZZ_CHECK(s.TextPreview == 0 || (!s.TextFontFace.empty() && s.TextFontSize > 0));
  FUZZ_CHECK(s.WebPreview == 0 || !s.PageCaptureProgram.empty());
  for (const std::string* program : {&s.EditorProgram, &s.PageCaptureProgram})
    FUZZ_CHECK(program->empty() || (Qualified(*program) && !f.fs.IsDirectory(*program)));
  FUZZ_CHECK(s.AltConfigPath == f.run.start.ConfigPath ||
             (f.fs.PathExists(s.AltConfigPath) && !f.fs.IsDirectory(s.AltConfigPath)));
}

bool IsTemplate(const Entry& e) { return e.kind == kParameter || e.kind == kSoloParameter; }

// What the menu and the dispatch take for granted of an entry table, which
// they index by its counts and links: every program a full path (never one
// found relative to the current folder), each template tied to the program
// above it at its level, and the counts right.
void CheckEntries(const EntryTable& t) {
  FUZZ_CHECK(t.entryCount >= 0 && t.entryCount <= kMaxEntries);
  int ordinary = 0;
  int firstOrdinary = -1;
  for (int i = 0; i < t.entryCount; ++i) {
    const Entry& e = t.entries[static_cast<size_t>(i)];
    FUZZ_CHECK(e.level >= (e.kind == kSubmenuClose ? 1 : 0));
    if (e.kind == kOrdinary) {
      if (ordinary++ == 0) firstOrdinary = i;
      FUZZ_CHECK(e.command == "@system" || Qualified(e.command));
      int templates = 0;
      int firstTemplate = 0;
      for (int k = i + 1; k < t.entryCount; ++k) {
        const Entry& p = t.entries[static_cast<size_t>(k)];
        if (IsTemplate(p) && p.parentIndex == i && templates++ == 0) firstTemplate = k;
      }
      FUZZ_CHECK(e.paramCount == templates && e.firstParam == firstTemplate);
    }
    if (IsTemplate(e)) {
      FUZZ_CHECK(e.parentIndex >= 0 && e.parentIndex < i);
      const Entry& parent = t.entries[static_cast<size_t>(e.parentIndex)];
      FUZZ_CHECK(parent.kind == kOrdinary && parent.level == e.level);
    }
  }
  FUZZ_CHECK(t.ordinaryCount == ordinary && (ordinary == 0 || t.firstOrdinary == firstOrdinary));
}

using Words = std::vector<std::string>;

// The launcher's run for a command line: the start-up reads the file, the
// targets select sections, the menu opens and some entries are chosen.
void Launch(std::string_view config, const Edition& edition, const Words& words) {
  FuzzRun f(edition);
  f.fs.AddFile(f.run.start.ConfigPath, std::string(config));
  ScriptedFrontend frontend(f.run);
  frontend.answers = {{kOk, "-o %N"}, {kCtrlOk, "\"%P\" %X"}, {kOk, ""}};
  frontend.chooseEntries = 6;
  std::string commandLine;
  for (const std::string& word : words)
    commandLine += (word.find(' ') == std::string::npos ? word : '"' + word + '"') + ' ';
  InitialiseNames(f.run, f.run.start.ModulePath, commandLine);
  FUZZ_CHECK(OnHostCreate(f.run));
  CheckSettings(f);
  FUZZ_CHECK(StartupDispatch(f.run) == StartupPath::Targets);
  FUZZ_CHECK(f.run.targets.WorkingCount == 0);
  CheckEntries(f.run.entries);
}

// The checker runs the launcher's own code on a dry-run platform: nothing
// may be started, waited for or shown, and its reports must be whole, with
// every control byte of the configuration escaped in the JSON.
void Check(std::string_view config, const Edition& edition, const Words& words) {
  FakePlatform fs(FixedPlatform());
  CheckOptions options;
  options.configPath = std::string("C:\\Tools\\") + edition.programName + ".ini";
  options.arguments = words;
  options.edition = &edition;
  fs.AddFile(options.configPath, std::string(config));
  const CheckReport report = CheckConfiguration(fs, options);
  FUZZ_CHECK(fs.starts.empty() && fs.sleeps.empty() && fs.messages.empty() &&
             fs.waitedCommands.empty());
  const std::string json = FormatReportJson(report);
  FUZZ_CHECK(!json.empty() && json.front() == '{' && json[json.find_last_not_of('\n')] == '}');
  const auto raw = [](char c) { return c >= 0 && c < 0x20 && c != '\n'; };
  FUZZ_CHECK(std::none_of(json.begin(), json.end(), raw));
  FUZZ_CHECK(!FormatReportText(report).empty());
}

}  // namespace

void FuzzConfiguration(std::string_view config) {
  // Files, the first a text file; one other target chosen by the input's
  // length (the address only where the edition takes addresses); the files
  // one by one with Shift held, which reads the second configuration file.
  const Words files = {"C:\\d\\My File.txt", "C:\\d\\y.txt", "C:\\d\\pic.png", "C:\\d\\sub"};
  static const char* const kOthers[] = {"C:\\d\\sub", "C:\\d\\link.url", "C:\\d\\page.html",
                                        "C:\\d\\q.zz9",
                                        "https://me:pw@h.example/dir/page.html?q=1#top"};
  Words oneByOne = {"/#y", "/#k=sft"};
  oneByOne.insert(oneByOne.end(), files.begin(), files.end());
  const struct {
    const Edition& edition;
    Words words;
  } runs[] = {{kFullEdition, files},
              {kFullEdition, {kOthers[config.size() % 5]}},
              {kFullEdition, oneByOne},
              {kBasicEdition, files},
              {kBasicEdition, {kOthers[config.size() % 4]}}};
  for (const auto& run : runs) {
    Launch(config, run.edition, run.words);
    Check(config, run.edition, run.words);
  }
}

}  // namespace zolto::fuzz
