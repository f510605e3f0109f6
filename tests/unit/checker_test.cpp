// The configuration checker: what it reports the launcher would do, and the
// warnings of its scan. It must never start, wait, sleep or show anything.
#include "checker/checker.h"

#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include "test_run.h"

namespace zolto {
namespace {

std::string Actions(const std::vector<CheckAction>& actions) {
  Strings out;
  for (const CheckAction& a : actions) {
    if (a.kind == CheckAction::Start)
      out.push_back(StartText(a.start) + (a.accepted ? "" : " refused"));
    if (a.kind == CheckAction::Sleep) out.push_back("sleep " + std::to_string(a.milliseconds));
    if (a.kind == CheckAction::Message) out.push_back("message " + a.text);
  }
  return Join(out, ", ");
}

std::string Menu(const std::vector<CheckMenuItem>& items) {
  Strings out;
  for (const CheckMenuItem& i : items) {
    out.push_back((i.kind == CheckMenuItem::Separator ? "---" : "") + std::to_string(i.id) +
                  (i.label.empty() ? "" : " " + i.label) +
                  (i.icon.empty() ? "" : " @" + i.icon) +
                  (i.hasSubmenu ? "{" + Menu(i.submenu) + "}" : ""));
  }
  return Join(out, ", ");
}

// One selection: each header tried ("line terms -> matched", terms marked
// h hit, m miss, s skipped, i ignored, "_" for an exclusion; "taken"), the
// sections ("line" and pass F first, C catch-all, A [all], K key, entries),
// the decision, what it did, the menu, and what each entry would do.
std::string Selection(const CheckSelection& s) {
  Strings out;
  if (!s.key.empty()) out.push_back("key " + s.key);
  for (const CheckHeader& h : s.headers) {
    std::string header = std::to_string(h.line);
    for (const CheckTerm& t : h.terms)
      header += " " + std::string(t.exclusion ? "_" : "") + t.text + "hmsi"[int(t.outcome)];
    out.push_back(header + " -> " + std::to_string(h.matched) + (h.taken ? " taken" : ""));
  }
  for (const CheckSection& c : s.sections) {
    const std::string entries = std::to_string(c.firstEntry) + "-" + std::to_string(c.endEntry);
    out.push_back("sec " + std::to_string(c.line) + "FCAK"[int(c.pass)] + " " +
                  (c.discarded ? "dropped" : entries));
  }
  const char* decisions[] = {"open", "run ", "menu", "stopped"};
  out.push_back(decisions[int(s.decision)] +
                (s.decision == TraceDecision::RunAtOnce ? std::to_string(s.decisionEntry) : ""));
  if (!s.actions.empty()) out.push_back(Actions(s.actions));
  if (!s.menu.empty()) out.push_back("menu " + Menu(s.menu));
  for (const CheckCommand& c : s.commands) {
    std::string command = "cmd " + c.label + ": " + Actions(c.actions);
    for (const CheckAsk& a : c.asks) command += " ask " + a.title + "|" + a.defaultText;
    out.push_back(command);
  }
  return Join(out, " | ");
}

struct CheckRow {
  std::string config;
  Strings words;
  // "<status> <path>", the targets, the warnings ("line code"), then each selection.
  std::string expect;
  const Edition* edition = &kFullEdition;
  bool regexLibrary = true;
};

const std::string kTxt = "C:\\d\\x.txt";
const CheckRow kChecks[] = {
    {"[^D:\\]\na.exe\n%end\n", {kTxt},
     "0 targets x.txt(file) || 1 [^D:\\]m -> 0 | open | C:\\d\\x.txt"},
    {"[$.txt]\na.exe\n%end\n[all]\nb.exe\nc.exe\n%end\n", {kTxt},
     "0 targets x.txt(file) || 1 [$.txt]h -> 1 taken | sec 1F 0-1 | sec 4A 1-3 | menu | menu 1000 "
     "a, 1001 b, 1002 c, ---1300, 1250 x.txt ( &0 ) | cmd a: a.exe C:\\d\\x.txt | cmd b: b.exe "
     "C:\\d\\x.txt | cmd c: c.exe C:\\d\\x.txt"},
    {"; see [all]\n[$.txt]#\na.exe\n%end\n", {"C:\\d\\My File.txt"},
     "1 targets My File.txt(file) warn 1 comment-header || 2 [$.txt]h -> 1 taken | sec 2F 0-1 | "
     "run 0 | a.exe \"C:\\d\\My File.txt\" | cmd a: a.exe \"C:\\d\\My File.txt\""},
    {"[^D:\\]\na.exe\n%end\n; [.*]_[folder]\nb.exe\n%end\n", {"C:\\d\\sub"},
     "1 targets sub(folder) warn 4 comment-header || 1 [^D:\\]m -> 0 | 4 [.*]i _[folder]h -> 0 | "
     "open | C:\\d\\sub"},
    {"[system]\n@dist=300,50\n%end\n[$.txt]\na.exe\nb.exe\n%end\n", {"/#y", kTxt, "C:\\d\\y.txt"},
     "0 targets x.txt(file) y.txt(file) || 4 [$.txt]h -> 1 taken | sec 4F 0-2 | run 0 | a.exe "
     "C:\\d\\x.txt, sleep 300 | cmd a: a.exe C:\\d\\x.txt, sleep 300 | cmd b: b.exe C:\\d\\x.txt, "
     "sleep 300 || 4 [$.txt]h -> 1 taken | sec 4F 0-2 | run 0 | a.exe C:\\d\\y.txt, sleep 50 | cmd "
     "a: a.exe C:\\d\\y.txt, sleep 300 | cmd b: b.exe C:\\d\\y.txt, sleep 300"},
    {"[!x]\na.exe\n%end\n[$.txt][!/x/]\nb.exe\n%end\n[-]\n%end\n[x.*]\n%end\n", {kTxt},
     "1 targets x.txt(file) warn 1 unreachable, 7 unreachable, 9 unreachable, 0 message || 1 [!x]s "
     "-> 0 | 4 [$.txt]h [!/x/]m -> 1 taken | 7 [-]s -> 0 | sec 4F 0-1 | stopped | message "
     "正規表現ライブラリが使用できません | cmd b: b.exe C:\\d\\x.txt", &kFullEdition, false},
    {"[.log]\n+\n%end\n[.*]\nb.exe\n%end\n[.*]\n%end\n", {"C:\\d\\x.log"},
     "1 targets x.log(file) warn 7 unreachable || key [.log] | sec 1K dropped | sec 4C 0-1 | run 0 "
     "| b.exe C:\\d\\x.log | cmd b: b.exe C:\\d\\x.log", &kBasicEdition},
    // The dialog answers with a placeholder; groups show filled; icons are named.
    {"[system]\n@icon\n%end\n[$.txt]\na.exe\n>%X=\"%N%_Open which?\" -f \"%P\" | Ask\nb.exe\n"
     ">%X=\"unclosed | Broken\n{Group\nc.exe | C\n}\n%end\n", {kTxt},
     "0 targets x.txt(file) || 4 [$.txt]h -> 1 taken | sec 4F 0-7 | menu | menu 1001 a * "
     "@C:\\Tools\\a.exe, 1003 b * @C:\\Tools\\b.exe, 1004 Group @C:\\Tools\\{1005 C "
     "@C:\\Tools\\c.exe}, ---1300, 1250 x.txt ( &0 ) @C:\\d\\x.txt | cmd a > Ask: a.exe <%X> -f "
     "\"C:\\d\\x.txt\" ask Open which?|x.txt | cmd b > Broken:  | cmd C: c.exe C:\\d\\x.txt"},
    {"[system]\n@text=1\n%end\n[file]\na.exe\nb.exe\n%end\n", {kTxt},  // 1251: the preview
     "0 targets x.txt(file) || 4 [file]h -> 1 taken | sec 4F 0-2 | menu | menu 1000 a, 1001 b, "
     "---1300, 1250 x.txt ( &0 ), 1251 | cmd a: a.exe C:\\d\\x.txt | cmd b: b.exe C:\\d\\x.txt"},
    {"[file]\na.exe\n%end\n", {"C:\\nowhere.txt"}, "0 target-less menu"},
    // The scan alone.
    {"[$.txt]\na.exe\n[$.log]\nb.exe\n%end\n[file]\nc.exe\n", {},
     "1 target-less menu warn 1 no-end"},
    {"[system]\n@menu=center\n[$.txt]\na.exe\n@icon\n%end\n", {},
     "1 target-less menu warn 1 system-no-end, 5 setting-in-section, 5 key-in-section"},
    {"[system]\n@dlm=::\n@param\nED::x\n@mark=1\n@colour=red\nicon\n@editor=nothere\n"
     "@ext2=missing.ini\n@browse=cap,-w 800\n@browse=gone\n; a comment\n@pic\n>.png\n%end\n[file]\n"
     "missing.exe::M\nnotepad.exe %P::A\nC:\\d::F\n@system::Open\na::A\n%end\n[del]\nx\n"
     "[file]\n", {},
     "1 target-less menu warn 5 unknown-key, 6 unknown-key, 7 not-a-key, 8 program-not-found, 9 "
     "file-not-found, 11 program-not-found, 17 program-not-found, 18 program-not-found, 19 "
     "program-not-found, 23 no-end"},
    {"[system]\n@browse\n%end\n", {}, "1 target-less menu warn 2 unknown-key", &kBasicEdition},
    {"[.txt]\na.exe\n%end\n[files]\na.exe\n%end\n[^]\na.exe\n%end\n[$.txt][x]\na.exe\n%end\n[all]\n"
     "b.exe\n%end\n[all]\nc.exe\n%end\n_[!x]\na.exe\n%end\n", {},
     "1 target-less menu warn 1 unreachable, 4 unreachable, 7 unreachable, 16 unreachable"},
    {"[$.txt]\na.exe\n%end\n[file]\na.exe\n%end\n[.txt][folder]\na.exe\n%end\n[]\na.exe\n%end\n"
     "[.*]\na.exe\n%end\n[.*]\nb.exe\n%end\n", {},
     "1 target-less menu warn 1 unreachable, 4 unreachable, 16 unreachable", &kBasicEdition},
    {"[$.txt]\na.exe\n%end", {}, "1 target-less menu warn 3 last-line"},
    {"[$.txt]\na.exe\n%end\n  \t", {}, "0 target-less menu"},
};

TEST(Checker, ReportsWhatTheRunWouldDo) {
  for (const CheckRow& row : kChecks) {
    SCOPED_TRACE(row.config.substr(0, 60) + " for " + Join(row.words, " "));
    TestRun t;
    const std::string path = std::string("C:\\Tools\\") + row.edition->programName + ".ini";
    t.fs.AddFile(path, row.config);
    t.fs.regexLibraryPresent = row.regexLibrary;
    CheckOptions options;
    options.configPath = path;
    options.arguments = row.words;
    options.edition = row.edition;
    const CheckReport r = CheckConfiguration(t.fs, options);
    EXPECT_EQ(t.Outcome(), "");
    EXPECT_TRUE(t.fs.waitedCommands.empty());
    std::string got = std::to_string(r.status) + " " + r.path;
    for (size_t i = 0; i < r.targets.size(); ++i)
      got += " " + std::string(FileNamePart(r.targets[i])) + "(" + r.targetKinds[i] + ")";
    for (size_t i = 0; i < r.warnings.size(); ++i)
      got += (i ? ", " : " warn ") + std::to_string(r.warnings[i].line) + " " + r.warnings[i].code;
    for (const CheckSelection& s : r.selections) got += " || " + Selection(s);
    EXPECT_EQ(got, row.expect);
  }
}

TEST(Checker, FormatsAndArguments) {
  TestRun t;
  t.fs.AddFile("C:\\Tools\\zolto5_c.ini",
               "[$.txt]\n\"a\\\"b\x01\n%end\n[$.log]\na.exe\nb.exe\n%end\n");
  CheckOptions o;
  std::string error;
  ASSERT_TRUE(ParseCheckArguments(
      {"--json", "C:\\Tools\\zolto5_c.ini", "--edition", "basic", "a b", "--", "--x"},
      "zolto5_check", o, error));
  EXPECT_TRUE(o.json);
  EXPECT_EQ(o.edition, &kBasicEdition);
  EXPECT_EQ(o.arguments, (Strings{"a b", "--x"}));
  ASSERT_TRUE(ParseCheckArguments(
      {"C:\\Tools\\zolto5_c.ini", "/#y", "C:\\d\\x.txt", "C:\\d\\x.log"},
      "/x/zolto5_c_check", o, error));
  EXPECT_EQ(o.edition, &kFullEdition);
  const CheckReport r = CheckConfiguration(t.fs, o);
  // The JSON report reads back whole, a control character and quotes of the
  // configuration included.
  const nlohmann::json json = nlohmann::json::parse(FormatReportJson(r));
  EXPECT_EQ(json.at("configuration"), "C:\\Tools\\zolto5_c.ini");
  EXPECT_EQ(json.at("status"), 1);
  EXPECT_EQ(json.at("selections").at(0).at("decision"), "open");
  EXPECT_EQ(json.at("selections").at(1).at("decision"), "run at once");
  EXPECT_NE(json.at("warnings").at(0).at("message").get<std::string>().find("\"a\\\"b\x01\""),
            std::string::npos);
  const std::string text = FormatReportText(r);
  for (const char* part : {"line 1 (first pass) [$.txt]  -> matches, taken", "command line: /#y",
                           "one-by-one mode shows no menu", "    1001 b:\n",
                           "would start C:\\Tools\\a.exe with C:\\d\\x.log in C:\\Tools"})
    EXPECT_NE(text.find(part), std::string::npos) << part << " in " << text;
  t.fs.AddFile("C:\\Tools\\menu.ini", "[.*]_[folder]\na.exe\nb.exe\n%end\n");  // the catch-all
  o.configPath = "C:\\Tools\\menu.ini";
  o.arguments = {"C:\\d\\x.txt"};
  const std::string menu = FormatReportText(CheckConfiguration(t.fs, o));
  for (const char* part : {"not excluded, taken", "show the menu: 2 program entries"})
    EXPECT_NE(menu.find(part), std::string::npos) << part << " in " << menu;
  const Strings bad[] = {{}, {"--edition", "pro", "c.ini"}, {"--clipboard"}, {"--what", "c.ini"}};
  for (const Strings& args : bad)
    EXPECT_FALSE(ParseCheckArguments(args, "zolto5_check", o, error)) << Join(args, " ");
  ASSERT_TRUE(ParseCheckArguments({"c.ini"}, "zolto5_basic_check", o, error));
  EXPECT_EQ(o.edition, &kBasicEdition);
  for (const char* config : {"C:\\Tools\\missing.ini", "C:\\d\\sub"}) {
    o.configPath = config;
    EXPECT_EQ(CheckConfiguration(t.fs, o).status, kCheckFailed) << config;
  }
  EXPECT_FALSE(t.fs.PathExists("C:\\Tools\\missing.ini"));  // not created
}

}  // namespace
}  // namespace zolto
