#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "test_run.h"

namespace zolto {
namespace {

class EntryLinesTest : public RunTest {
 protected:
  EntryLinesTest() {
    fs.AddFile("C:\\Tools\\viewer.exe");
    fs.AddFile("C:\\Tools\\a.exe");
    fs.AddFile("C:\\Tools\\b.exe");
    fs.AddFile("C:\\Windows\\system32\\notepad.exe");
  }
  // Parses the section that starts the text (a header line, then entries).
  const EntryTable& Parse(const std::string& section, bool clear = true) {
    if (clear) run.entries.Clear();
    text_ = section;
    ParseEntryLines(run, 0, text_);
    return run.entries;
  }
  // "kind:level:command:label" for each entry.
  std::vector<std::string> Summary() const {
    std::vector<std::string> out;
    for (int i = 0; i < run.entries.entryCount; ++i) {
      const Entry& e = run.entries.entries[static_cast<size_t>(i)];
      out.push_back(std::to_string(e.kind) + ":" + std::to_string(e.level) + ":" + e.command +
                    ":" + e.label);
    }
    return out;
  }
  std::string text_;
};

using Strings = std::vector<std::string>;

TEST_F(EntryLinesTest, ProgramLines) {
  Parse("[x]\nC:\\Tools\\viewer.exe | View\nnotepad\nmissing.exe | M\nC:\\Tools | F\n"
        "C:\\Tools\\..\\Tools\\.\\a.exe | A\nnotepad.exe %P | args belong in templates\n");
  EXPECT_EQ(Summary(), (Strings{"0:0:C:\\Tools\\viewer.exe:View",
                                "0:0:C:\\Windows\\system32\\notepad.exe:notepad",
                                "0:0:C:\\Tools\\a.exe:A"}));
  EXPECT_EQ(run.entries.ordinaryCount, 3);
  EXPECT_EQ(run.entries.firstOrdinary, 0);
}

TEST_F(EntryLinesTest, ParameterLines) {
  const EntryTable& t = Parse("[x]\n>%P | orphan\nviewer | V\n>-r %P\n]%P | Each\n;]no\n%end\n>late\n");
  EXPECT_EQ(Summary(), (Strings{"0:0:C:\\Tools\\viewer.exe:V", "1:0:-r %P:-r %P", "1:0:%P:Each"}));
  EXPECT_EQ(t.entries[0].paramCount, 2);
  EXPECT_EQ(t.entries[0].firstParam, 1);
  EXPECT_EQ(t.entries[1].perTarget, 0);
  EXPECT_EQ(t.entries[2].perTarget, 1);
  EXPECT_EQ(t.entries[2].parentIndex, 0);
}

TEST_F(EntryLinesTest, GroupsLevelsAndSeparators) {
  Parse("[x]\n-\n+\n{Tools\na.exe | A\n+\n}\n}\n{\nb.exe | B\n>%P\n");
  EXPECT_EQ(Summary(), (Strings{"8:0::Tools", "0:1:C:\\Tools\\a.exe:A", "2:1::", "9:1::",
                                "0:0:C:\\Tools\\b.exe:B", "1:0:%P:%P"}));
  // A parameter line right after a group closes has no program.
  Parse("[x]\na.exe | A\n{G\n>%P\n}\n>%P\n");
  EXPECT_EQ(Summary(), (Strings{"0:0:C:\\Tools\\a.exe:A", "8:0::G", "9:1::"}));
}

TEST_F(EntryLinesTest, SecondSectionMayStartWithABreak) {
  Parse("[x]\na.exe | A\n%end\n");
  Parse("[y]\n-\nb.exe | B\n", false);
  EXPECT_EQ(Summary(), (Strings{"0:0:C:\\Tools\\a.exe:A", "3:0::", "0:0:C:\\Tools\\b.exe:B"}));
  EXPECT_EQ(run.entries.ordinaryCount, 2);
}

TEST_F(EntryLinesTest, TableHoldsTwoHundred) {
  std::string section = "[x]\n";
  for (int i = 0; i < 250; ++i) section += "a.exe | A" + std::to_string(i) + "\n";
  Parse(section);
  EXPECT_EQ(run.entries.entryCount, 200);
  EXPECT_EQ(run.entries.entries[199].label, "A199");
  Parse("[y]\nb.exe\n", false);  // a full table takes nothing more
  EXPECT_EQ(run.entries.entryCount, 200);
}

TEST_F(EntryLinesTest, SystemEntries) {
  fs.AddFile("C:\\d\\b.txt");
  fs.AddFile("C:\\d\\setup.exe");
  fs.AddFile("C:\\Windows\\explorer.exe");
  fs.AddFile("C:\\Apps\\Note Pad.exe");
  fs.associations[".txt"] = "\"C:\\Apps\\Note Pad.exe\"";
  fs.associations[".doc"] = "C:\\Apps\\viewer.dll";
  run.targets.Clear();
  run.targets.Add("C:\\d\\b.txt");
  Parse("[x]\n@system | Open\n@SYSTEM\n");
  EXPECT_EQ(Summary(), (Strings{"0:0:C:\\Apps\\Note Pad.exe:Open", "0:0:C:\\Apps\\Note Pad.exe:Note Pad"}));

  run.targets.working[0] = "C:\\d";
  Parse("[x]\n@system\n");
  EXPECT_EQ(Summary(), Strings{"0:0:C:\\Windows\\explorer.exe:explorer"});

  run.targets.working[0] = "C:\\d\\setup.exe";  // the program is the target
  Parse("[x]\n@system | Run\n");
  EXPECT_EQ(Summary(), Strings{"0:0:@system:Run"});

  fs.AddFile("C:\\d\\x.doc");
  run.targets.working[0] = "C:\\d\\x.doc";  // not an .exe association
  Parse("[x]\n@system\n");
  EXPECT_EQ(Summary(), Strings{"0:0:@system:@system"});
}

TEST_F(EntryLinesTest, MacrosAndDelimiter) {
  run.settings.ParamMacrosOn = true;
  run.settings.UserMacros = {{"%t%", "C:\\Tools"}};
  run.settings.Delimiter = "::";
  Parse("[x]\n%t%\\a.exe::Tool\n>%t%::kept\n");
  EXPECT_EQ(Summary(), (Strings{"0:0:C:\\Tools\\a.exe:Tool", "1:0:%t%:kept"}));
}

TEST_F(EntryLinesTest, LongTextsAreCut) {
  Parse("[x]\na.exe | " + std::string(400, 'L') + "\n>" + std::string(400, 'T') + "\n");
  EXPECT_EQ(run.entries.entries[0].label.size(), 259u);
  EXPECT_EQ(run.entries.entries[1].command.size(), 259u);
}

}  // namespace
}  // namespace zolto
