#include "checker/checker.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "test_run.h"

namespace zolto {
namespace {

using Strings = std::vector<std::string>;

// Accepts exactly one JSON value (RFC 8259 grammar, no extensions).
class JsonValidator {
 public:
  explicit JsonValidator(const std::string& text) : t_(text) {}
  bool Valid() {
    Blank();
    if (!Value()) return false;
    Blank();
    return i_ == t_.size();
  }

 private:
  void Blank() {
    while (i_ < t_.size() && std::string_view(" \t\r\n").find(t_[i_]) != std::string_view::npos) ++i_;
  }
  bool Eat(char c) {
    Blank();
    if (i_ < t_.size() && t_[i_] == c) return ++i_, true;
    return false;
  }
  bool Word(std::string_view w) {
    if (t_.compare(i_, w.size(), w) != 0) return false;
    i_ += w.size();
    return true;
  }
  bool String() {
    if (!Eat('"')) return false;
    while (i_ < t_.size()) {
      const unsigned char c = static_cast<unsigned char>(t_[i_++]);
      if (c == '"') return true;
      if (c < 0x20) return false;
      if (c != '\\') continue;
      if (i_ >= t_.size()) return false;
      const char e = t_[i_++];
      if (e == 'u') {
        for (int k = 0; k < 4; ++k)
          if (i_ >= t_.size() || !std::isxdigit(static_cast<unsigned char>(t_[i_++]))) return false;
      } else if (std::string_view("\"\\/bfnrt").find(e) == std::string_view::npos) {
        return false;
      }
    }
    return false;
  }
  bool Number() {
    const size_t start = i_;
    if (i_ < t_.size() && t_[i_] == '-') ++i_;
    while (i_ < t_.size() && std::isdigit(static_cast<unsigned char>(t_[i_]))) ++i_;
    return i_ > start && std::isdigit(static_cast<unsigned char>(t_[i_ - 1]));
  }
  bool Value() {
    Blank();
    if (i_ >= t_.size()) return false;
    const char c = t_[i_];
    if (c == '"') return String();
    if (c == '{') return Container('}', true);
    if (c == '[') return Container(']', false);
    if (c == 't') return Word("true");
    if (c == 'f') return Word("false");
    if (c == 'n') return Word("null");
    return Number();
  }
  bool Container(char close, bool object) {
    ++i_;
    if (Eat(close)) return true;
    do {
      if (object && (!String() || !Eat(':'))) return false;
      if (!Value()) return false;
    } while (Eat(','));
    return Eat(close);
  }
  const std::string& t_;
  size_t i_ = 0;
};

class CheckerTest : public RunTest {
 protected:
  CheckerTest() {
    for (const char* p : {"C:\\Tools\\a.exe", "C:\\Tools\\b.exe", "C:\\Tools\\c.exe",
                          "C:\\d\\x.txt", "C:\\d\\y.txt", "C:\\d\\z.txt", "C:\\d\\My File.txt"})
      fs.AddFile(p);
    fs.AddFolder("C:\\d\\sub");
    fs.associations[".txt"] = "C:\\Windows\\notepad.exe";
  }

  // Checks config for the launcher's command-line words; the checker must
  // never start, wait, sleep or show anything itself.
  CheckReport Check(const std::string& config, const Strings& words,
                    const Edition& edition = kFullEdition) {
    const std::string path = std::string("C:\\Tools\\") + edition.programName + ".ini";
    fs.AddFile(path, config);
    CheckOptions options;
    options.configPath = path;
    options.arguments = words;
    options.edition = &edition;
    CheckReport report = CheckConfiguration(fs, options);
    EXPECT_TRUE(fs.starts.empty());
    EXPECT_TRUE(fs.sleeps.empty());
    EXPECT_TRUE(fs.messages.empty());
    EXPECT_TRUE(fs.waitedCommands.empty());
    EXPECT_TRUE(JsonValidator(FormatReportJson(report)).Valid()) << FormatReportJson(report);
    return report;
  }

  static CheckSelection Only(const CheckReport& r) {
    EXPECT_EQ(r.selections.size(), 1u) << FormatReportText(r);
    return r.selections.empty() ? CheckSelection{} : r.selections[0];
  }
  // "file|parameters|folder" of each start, "sleep N" of each wait.
  static Strings Did(const std::vector<CheckAction>& actions) {
    Strings out;
    for (const CheckAction& a : actions) {
      if (a.kind == CheckAction::Start)
        out.push_back(a.start.file + "|" + a.start.parameters + "|" + a.start.directory);
      if (a.kind == CheckAction::Sleep) out.push_back("sleep " + std::to_string(a.milliseconds));
      if (a.kind == CheckAction::Message) out.push_back("message " + a.text);
    }
    return out;
  }
  // "line code" of each warning.
  static Strings Warnings(const CheckReport& r) {
    Strings out;
    for (const CheckWarning& w : r.warnings) out.push_back(std::to_string(w.line) + " " + w.code);
    return out;
  }
  // "line pass taken" of each header tried, with its terms' outcomes.
  static Strings Headers(const CheckSelection& s) {
    Strings out;
    for (const CheckHeader& h : s.headers) {
      std::string line = std::to_string(h.line) + (h.taken ? " taken" : " not taken");
      for (const CheckTerm& t : h.terms)
        line += std::string(" ") + (t.exclusion ? "_" : "") + t.text + "=" +
                std::to_string(static_cast<int>(t.outcome));
      out.push_back(line);
    }
    return out;
  }
  // "line pass first-end" of each section taken.
  static Strings Sections(const CheckSelection& s) {
    Strings out;
    for (const CheckSection& c : s.sections)
      out.push_back(std::to_string(c.line) + " " + std::to_string(static_cast<int>(c.pass)) +
                    " " + std::to_string(c.firstEntry) + "-" + std::to_string(c.endEntry) +
                    (c.discarded ? " dropped" : ""));
    return out;
  }
  // "id label" of each item, submenus indented.
  static void Tree(const std::vector<CheckMenuItem>& items, Strings& out, std::string indent = "") {
    for (const CheckMenuItem& item : items) {
      out.push_back(indent + std::to_string(item.id) + (item.label.empty() ? "" : " " + item.label));
      Tree(item.submenu, out, indent + "  ");
    }
  }
  static Strings Tree(const std::vector<CheckMenuItem>& items) {
    Strings out;
    Tree(items, out);
    return out;
  }
};

constexpr int kHit = static_cast<int>(TraceOutcome::Hit);
constexpr int kMiss = static_cast<int>(TraceOutcome::Miss);

TEST_F(CheckerTest, NothingMatchingOpensTheTargetOrTheOpenWithDialog) {
  CheckReport r = Check("[^D:\\]\na.exe\n%end\n", {"C:\\d\\x.txt"});
  const CheckSelection& s = Only(r);
  EXPECT_EQ(r.targets, Strings{"C:\\d\\x.txt"});
  EXPECT_EQ(r.targetKinds, Strings{"file"});
  EXPECT_EQ(Headers(s), Strings{"1 not taken [^D:\\]=" + std::to_string(kMiss)});
  EXPECT_TRUE(s.sections.empty());
  EXPECT_EQ(s.decision, TraceDecision::Open);
  EXPECT_EQ(Did(s.actions), Strings{"C:\\d\\x.txt||"});
  EXPECT_TRUE(s.menu.empty());
  EXPECT_EQ(r.status, kCheckClean);

}

TEST_F(CheckerTest, SingleProgramRunsAtOnce) {
  CheckReport r = Check("[$.txt]\na.exe\n%end\n", {"C:\\d\\My File.txt"});
  EXPECT_EQ(r.commandLine, "\"C:\\d\\My File.txt\"");
  const CheckSelection& s = Only(r);
  EXPECT_EQ(Headers(s), Strings{"1 taken [$.txt]=" + std::to_string(kHit)});
  EXPECT_EQ(Sections(s), Strings{"1 0 0-1"});
  EXPECT_EQ(s.decision, TraceDecision::RunAtOnce);
  EXPECT_EQ(s.decisionEntry, 0);
  EXPECT_EQ(Did(s.actions), Strings{"C:\\Tools\\a.exe|\"C:\\d\\My File.txt\"|C:\\Tools"});

}

TEST_F(CheckerTest, AllSectionAndNoAllMark) {
  const std::string all = "[all]\nb.exe\nc.exe\n%end\n";
  CheckReport r = Check("[$.txt]\na.exe\n%end\n" + all, {"C:\\d\\x.txt"});
  const CheckSelection& s = Only(r);
  EXPECT_EQ(Sections(s), (Strings{"1 0 0-1", "4 2 1-3"}));
  EXPECT_EQ(s.decision, TraceDecision::Menu);
  EXPECT_EQ(s.ordinaryCount, 3);
  EXPECT_EQ(Tree(s.menu), (Strings{"1000 a", "1001 b", "1002 c", "1300", "1250 x.txt ( &0 )"}));
  EXPECT_TRUE(s.actions.empty());
  // Each entry's command when chosen.
  ASSERT_EQ(s.commands.size(), 3u);
  EXPECT_EQ(Did(s.commands[2].actions), Strings{"C:\\Tools\\c.exe|C:\\d\\x.txt|C:\\Tools"});

  const CheckSelection& n = Only(Check("[$.txt]#\na.exe\n%end\n" + all, {"C:\\d\\x.txt"}));
  EXPECT_EQ(Sections(n), Strings{"1 0 0-1"});
  EXPECT_EQ(n.decision, TraceDecision::RunAtOnce);

  // The first "[all]" anywhere counts, even in a comment; the checker says so.
  CheckReport c = Check("; see [all]\n[$.txt]\na.exe\n%end\n", {"C:\\d\\x.txt"});
  EXPECT_EQ(Sections(Only(c)), (Strings{"2 0 0-1", "1 2 1-2"}));
  EXPECT_EQ(Only(c).decision, TraceDecision::Menu);
  EXPECT_EQ(Warnings(c), Strings{"1 comment-header"});
  EXPECT_EQ(c.status, kCheckWarnings);
}

TEST_F(CheckerTest, CatchAllSectionAndExclusions) {
  const std::string config = "[^D:\\]\na.exe\n%end\n; [.*]_[folder]\nb.exe\n%end\n";
  CheckReport r = Check(config, {"C:\\d\\x.txt"});
  const CheckSelection& s = Only(r);
  EXPECT_EQ(Headers(s), (Strings{"1 not taken [^D:\\]=" + std::to_string(kMiss),
                                 "4 taken [.*]=3 _[folder]=" + std::to_string(kMiss)}));
  EXPECT_EQ(Sections(s), Strings{"4 1 0-1"});
  EXPECT_EQ(Did(s.actions), Strings{"C:\\Tools\\b.exe|C:\\d\\x.txt|C:\\Tools"});
  EXPECT_EQ(Warnings(r), Strings{"4 comment-header"});

  const CheckSelection& f = Only(Check(config, {"C:\\d\\sub"}));
  EXPECT_EQ(Headers(f)[1], "4 not taken [.*]=3 _[folder]=" + std::to_string(kHit));
  EXPECT_EQ(f.decision, TraceDecision::Open);

}

TEST_F(CheckerTest, TemplateEntriesRunPerTargetOnceOrOpenTheMenu) {
  const std::string three[] = {"C:\\d\\x.txt", "C:\\d\\y.txt", "C:\\d\\z.txt"};
  CheckReport r = Check("[system]\n@dist=500,100\n%end\n[$.txt]\na.exe\n]-x\n%end\n",
                        Strings(std::begin(three), std::end(three)));
  const CheckSelection& s = Only(r);
  EXPECT_EQ(r.targets.size(), 3u);
  EXPECT_EQ(s.decision, TraceDecision::RunAtOnce);
  EXPECT_EQ(s.decisionEntry, 1);  // the parameter line
  EXPECT_EQ(Did(s.actions), (Strings{"C:\\Tools\\a.exe|-x|C:\\Tools", "sleep 500",
                                     "C:\\Tools\\a.exe|-x|C:\\Tools", "sleep 100",
                                     "C:\\Tools\\a.exe|-x|C:\\Tools", "sleep 100"}));

  const CheckSelection& two = Only(Check("[$.txt]\na.exe\n>-1 | One\n>-2 | Two\n%end\n",
                                         {"C:\\d\\x.txt"}));
  EXPECT_EQ(two.decision, TraceDecision::Menu);
  EXPECT_EQ(Tree(two.menu), (Strings{"1000 a", "  1001 One", "  1002 Two", "1300",
                                     "1250 x.txt ( &0 )"}));
  ASSERT_EQ(two.commands.size(), 2u);
  EXPECT_EQ(two.commands[1].label, "a > Two");
  EXPECT_EQ(Did(two.commands[1].actions), Strings{"C:\\Tools\\a.exe|-2|C:\\Tools"});
}

TEST_F(CheckerTest, OneByOneRunsEachTargetWithoutMenu) {
  CheckReport r = Check("[system]\n@dist=300,50\n%end\n[$.txt]\na.exe\nb.exe\nc.exe\n%end\n",
                        {"/#y", "C:\\d\\x.txt", "C:\\d\\y.txt", "C:\\d\\z.txt"});
  ASSERT_EQ(r.selections.size(), 3u);
  const char* subjects[] = {"C:\\d\\x.txt", "C:\\d\\y.txt", "C:\\d\\z.txt"};
  for (size_t i = 0; i < 3; ++i) {
    const CheckSelection& s = r.selections[i];
    EXPECT_EQ(s.subject, subjects[i]);
    EXPECT_TRUE(s.oneByOne);
    EXPECT_EQ(s.ordinaryCount, 3);
    EXPECT_EQ(s.decision, TraceDecision::RunAtOnce);
    EXPECT_EQ(Did(s.actions), (Strings{std::string("C:\\Tools\\a.exe|") + subjects[i] + "|C:\\Tools",
                                       i == 0 ? "sleep 300" : "sleep 50"}));
    EXPECT_TRUE(s.menu.empty());
  }
  EXPECT_NE(FormatReportText(r).find("one-by-one mode shows no menu"), std::string::npos);
}

TEST_F(CheckerTest, MissingRegexLibraryStopsTheRun) {
  fs.regexLibraryPresent = false;
  CheckReport r = Check("[!/x/]\na.exe\n%end\n[$.txt]\nb.exe\n%end\n", {"C:\\d\\x.txt"});
  const CheckSelection& s = Only(r);
  EXPECT_EQ(s.decision, TraceDecision::Stopped);
  EXPECT_EQ(Headers(s), Strings{"1 not taken [!/x/]=" + std::to_string(kMiss)});
  EXPECT_EQ(Did(s.actions), Strings{"message 正規表現ライブラリが使用できません"});
  EXPECT_EQ(Warnings(r), Strings{"0 message"});
}

TEST_F(CheckerTest, BasicEditionExplainsItsKeys) {
  const std::string config = "[.txt][.log]\na.exe\n%end\n[.*]\nb.exe\n%end\n[.zz]\n+\n%end\n";
  const CheckSelection& s = Only(Check(config, {"C:\\d\\x.txt"}, kBasicEdition));
  EXPECT_EQ(s.key, "[.txt]");
  EXPECT_EQ(Sections(s), Strings{"1 3 0-1"});
  EXPECT_EQ(s.decision, TraceDecision::RunAtOnce);

}

TEST_F(CheckerTest, CommandsShowTheDialogAndItsPlaceholder) {
  CheckReport r = Check("[$.txt]\na.exe\n>%X=\"%N%_Open which?\" -f \"%P\" | Ask\nb.exe\n"
                        ">%X=\"unclosed | Broken\n{Group\nc.exe | C\n}\n%end\n",
                        {"C:\\d\\x.txt"});
  const CheckSelection& s = Only(r);
  EXPECT_EQ(s.decision, TraceDecision::Menu);
  // The group is shown filled, as it is when it opens.
  EXPECT_EQ(Tree(s.menu), (Strings{"1001 a *", "1003 b *", "1004 Group", "  1005 C", "1300",
                                   "1250 x.txt ( &0 )"}));
  ASSERT_EQ(s.commands.size(), 3u);
  ASSERT_EQ(s.commands[0].asks.size(), 1u);
  EXPECT_EQ(s.commands[0].asks[0].title, "Open which?");
  EXPECT_EQ(s.commands[0].asks[0].defaultText, "x.txt");
  EXPECT_EQ(Did(s.commands[0].actions), Strings{"C:\\Tools\\a.exe|<%X> -f \"C:\\d\\x.txt\"|C:\\Tools"});
  EXPECT_TRUE(s.commands[1].actions.empty());  // the unclosed form cancels
  EXPECT_NE(FormatReportText(r).find("starts nothing"), std::string::npos);
}

TEST_F(CheckerTest, NoTargetsShowTheTargetlessMenu) {
  CheckReport r = Check("[$.txt]\na.exe\n%end\n", {"C:\\nowhere.txt"});
  EXPECT_TRUE(r.targets.empty());
  EXPECT_TRUE(r.selections.empty());
  EXPECT_EQ(r.path, "target-less menu");
}

TEST_F(CheckerTest, UnreadableConfigurationFails) {
  fs.AddFolder("C:\\Tools\\folder.ini");
  CheckOptions options;
  options.configPath = "C:\\Tools\\folder.ini";
  EXPECT_EQ(CheckConfiguration(fs, options).status, kCheckFailed);
  options.configPath = "C:\\Tools\\missing.ini";
  EXPECT_EQ(CheckConfiguration(fs, options).status, kCheckFailed);
  EXPECT_FALSE(fs.PathExists("C:\\Tools\\missing.ini"));  // not created
  EXPECT_TRUE(fs.messages.empty());
}

// ---- Warnings on broken configurations ----

TEST_F(CheckerTest, SectionsWithoutEndRunIntoTheNext) {
  CheckReport r = Check("[$.txt]\na.exe\n[$.log]\nb.exe\n%end\n[file]\nc.exe\n", {"C:\\d\\x.txt"});
  EXPECT_EQ(Warnings(r), Strings{"1 no-end"});  // the last section may end with the file
  EXPECT_EQ(Sections(Only(r)), (Strings{"1 0 0-2", "6 0 2-3"}));
}

TEST_F(CheckerTest, SystemPartWithoutEnd) {
  CheckReport r = Check("[system]\n@menu=center\n[$.txt]\na.exe\n@icon\n%end\n", {"C:\\d\\x.txt"});
  EXPECT_EQ(Warnings(r), (Strings{"1 system-no-end", "5 setting-in-section", "5 key-in-section"}));
}

TEST_F(CheckerTest, UnknownKeysAndMissingPrograms) {
  CheckReport r = Check(
      "[system]\n@dlm=::\n@param\nED::x\n@mark=1\n@colour=red\nicon\n@editor=nothere\n"
      "@ext2=missing.ini\n%end\n"
      "[file]\nmissing.exe::Missing\nnotepad.exe %P::Args\nC:\\d::Folder\n@system::Open\na::A\n"
      "%end\n",
      {});
  EXPECT_EQ(Warnings(r), (Strings{"5 unknown-key", "6 unknown-key", "7 not-a-key",
                                  "8 program-not-found", "9 file-not-found",
                                  "12 program-not-found", "13 program-not-found",
                                  "14 program-not-found"}));
  EXPECT_NE(r.warnings[6].message.find("arguments belong"), std::string::npos);
  EXPECT_NE(r.warnings[7].message.find("is a folder"), std::string::npos);
  EXPECT_EQ(r.status, kCheckWarnings);

  // "@browse" is no key of the basic edition.
  CheckReport b = Check("[system]\n@browse\n%end\n", {}, kBasicEdition);
  EXPECT_EQ(Warnings(b), Strings{"2 unknown-key"});
}

TEST_F(CheckerTest, UnreachableSections) {
  CheckReport r = Check(
      "[.txt]\na.exe\n%end\n[files]\na.exe\n%end\n[^]\na.exe\n%end\n[$.txt][x]\na.exe\n%end\n"
      "[all]\nb.exe\n%end\n[all]\nc.exe\n%end\n_[!x]\na.exe\n%end\n",
      {});
  EXPECT_EQ(Warnings(r), (Strings{"1 unreachable", "4 unreachable", "7 unreachable",
                                  "16 unreachable"}));

  CheckReport b = Check("[$.txt]\na.exe\n%end\n[file]\na.exe\n%end\n[.txt][folder]\na.exe\n%end\n"
                        "[]\na.exe\n%end\n[.*]\na.exe\n%end\n[.*]\nb.exe\n%end\n",
                        {}, kBasicEdition);
  EXPECT_EQ(Warnings(b), (Strings{"1 unreachable", "4 unreachable", "16 unreachable"}));
}

TEST_F(CheckerTest, LastLineWithoutLineBreak) {
  EXPECT_EQ(Warnings(Check("[$.txt]\na.exe\n%end", {})), Strings{"3 last-line"});
  EXPECT_TRUE(Check("[$.txt]\na.exe\n%end\n", {}).warnings.empty());
}

TEST_F(CheckerTest, ArgumentsAndOutput) {
  CheckOptions o;
  std::string error;
  ASSERT_TRUE(ParseCheckArguments({"--json", "c.ini", "--edition", "basic", "a b", "/#y", "--",
                                   "--odd"},
                                  "zolto5_check", o, error));
  EXPECT_TRUE(o.json);
  EXPECT_EQ(o.edition, &kBasicEdition);
  EXPECT_EQ(o.configPath, "c.ini");
  EXPECT_EQ(o.arguments, (Strings{"a b", "/#y", "--odd"}));
  ASSERT_TRUE(ParseCheckArguments({"c.ini"}, "/x/zolto5_basic_check", o, error));
  EXPECT_EQ(o.edition, &kBasicEdition);
  EXPECT_FALSE(ParseCheckArguments({}, "zolto5_check", o, error));
  EXPECT_FALSE(ParseCheckArguments({"--edition", "pro", "c.ini"}, "zolto5_check", o, error));
  EXPECT_FALSE(ParseCheckArguments({"--clipboard"}, "zolto5_check", o, error));
  EXPECT_FALSE(ParseCheckArguments({"--what", "c.ini"}, "zolto5_check", o, error));

  // Quotes, backslashes and control bytes in the configuration stay valid JSON.
  CheckReport r = Check("[$.txt]\n\"a\\\"b\x01\x7f\n%end\n", {"C:\\d\\x.txt"});
  const std::string json = FormatReportJson(r);
  EXPECT_TRUE(JsonValidator(json).Valid()) << json;
  EXPECT_NE(json.find("\"decision\":\"open\""), std::string::npos);
  EXPECT_FALSE(JsonValidator("{\"a\":1,}").Valid());  // the validator does reject
}

}  // namespace
}  // namespace zolto
