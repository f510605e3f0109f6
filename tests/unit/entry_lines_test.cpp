// The entry lines of menu sections, parsed into the entry table.
#include <gtest/gtest.h>

#include "test_run.h"

namespace zolto {
namespace {

struct EntryRow {
  std::vector<std::string> sections;  // parsed one after the other into one table
  std::string expect;  // Summary() of the table
};

const EntryRow kEntries[] = {
    {{"[x]\nC:\\Tools\\b.exe | View\nnotepad\nmissing.exe | M\nC:\\Tools | F\n"
      "C:\\Tools\\..\\Tools\\.\\a.exe | A\nnotepad.exe %P | args belong in templates\n"},
     "3@0: 0:0:C:\\Tools\\b.exe:View, 0:0:C:\\Windows\\notepad.exe:notepad, 0:0:C:\\Tools\\a.exe:A"},
    {{"[x]\n>%P | orphan\nb | V\n>-r %P\n]%P | Each\n;]no\n%end\n>late\n"},
     "1@0: 0:0:C:\\Tools\\b.exe:V/2@1, 1:0:-r %P:-r %P^0, 1:0:%P:Each^0*"},
    {{"[x]\n-\n+\n{Tools\na.exe | A\n+\n}\n}\n{\nb.exe | B\n>%P\n"},
     "2@1: 8:0::Tools, 0:1:C:\\Tools\\a.exe:A, 2:1::, 9:1::, 0:0:C:\\Tools\\b.exe:B/1@5, 1:0:%P:%P^4"},
    // A parameter line right after a group closes has no program.
    {{"[x]\na.exe | A\n{G\n>%P\n}\n>%P\n"}, "1@0: 0:0:C:\\Tools\\a.exe:A, 8:0::G, 9:1::"},
    // A later section may start with a break; it has no program of its own yet.
    {{"[x]\na.exe | A\n%end\n", "[y]\n-\n>%P\nb.exe | B\n"},
     "2@0: 0:0:C:\\Tools\\a.exe:A, 3:0::, 0:0:C:\\Tools\\b.exe:B"},
    // The table holds 200 entries; a full table takes nothing more.
    {{"[x]\n" + Numbered("a.exe | A#\n", 250, ""), "[y]\nb.exe\n"},
     "200@0: " + Numbered("0:0:C:\\Tools\\a.exe:A#", 200, ", ")},
    {{"[x]\na.exe | " + std::string(400, 'L') + "\n>" + std::string(400, 'T') + "\n"},
     "1@0: 0:0:C:\\Tools\\a.exe:" + std::string(259, 'L') + "/1@1, 1:0:" + std::string(259, 'T') + ":" +
         std::string(259, 'T') + "^0"},
    // "@system": the target's associated program, or the shell's own opening.
    {{"[x]\n@system | Open\n@SYSTEM\n"},
     "2@0: 0:0:C:\\Apps\\Note Pad.exe:Open, 0:0:C:\\Apps\\Note Pad.exe:Note Pad"},
};

// "<ordinary entries>@<first ordinary>: " and each entry as
// "kind:level:command:label", with "/<parameter lines>" after a program that
// has some, "^<program>" after a parameter line and "*" when it runs once
// per target.
std::string Summary(const EntryTable& table) {
  Strings out;
  for (int i = 0; i < table.entryCount; ++i) {
    const Entry& e = table.entries[static_cast<size_t>(i)];
    std::string entry = std::to_string(e.kind) + ":" + std::to_string(e.level) + ":" + e.command + ":" + e.label;
    if (e.paramCount) entry += "/" + std::to_string(e.paramCount) + "@" + std::to_string(e.firstParam);
    if (e.kind == kParameter) entry += "^" + std::to_string(e.parentIndex) + (e.perTarget ? "*" : "");
    out.push_back(entry);
  }
  return std::to_string(table.ordinaryCount) + "@" + std::to_string(table.firstOrdinary) + ": " + Join(out, ", ");
}

TEST(EntryLines, SectionsFillTheTable) {
  for (const EntryRow& row : kEntries) {
    SCOPED_TRACE(row.sections[0].substr(0, 60));
    TestRun t;
    t.fs.AddFile("C:\\Apps\\Note Pad.exe");
    t.fs.associations[".txt"] = "\"C:\\Apps\\Note Pad.exe\"";
    t.SetTargets({"C:\\d\\x.txt"});
    for (const std::string& section : row.sections) ParseEntryLines(t.run, 0, section);
    EXPECT_EQ(Summary(t.run.entries), row.expect);
  }
}

// "@system" for other targets: a folder opens in Explorer; a target that is
// itself the program, or one without a program of its own, opens through the
// shell.
struct SystemRow {
  std::string target;
  std::string expect;  // command:label
};

const SystemRow kSystem[] = {
    {"C:\\d\\x.txt", "C:\\Windows\\notepad.exe:notepad"},
    {"C:\\d", "C:\\Windows\\explorer.exe:explorer"},
    {"C:\\d\\setup.exe", "@system:@system"},
    {"C:\\d\\x.doc", "@system:@system"},
    {"C:\\d\\q.zz9", "@system:@system"},
};

TEST(EntryLines, SystemEntryFollowsTheFirstTarget) {
  for (const SystemRow& row : kSystem) {
    SCOPED_TRACE(row.target);
    TestRun t;
    t.fs.AddFile("C:\\d\\setup.exe");
    t.fs.AddFile("C:\\d\\x.doc");
    t.fs.associations[".doc"] = "C:\\Apps\\viewer.dll";
    t.SetTargets({row.target});
    ParseEntryLines(t.run, 0, "[x]\n@system\n");
    const Entry& e = t.run.entries.entries[0];
    EXPECT_EQ(e.command + ":" + e.label, row.expect);
  }
}

TEST(EntryLines, MacrosAndDelimiter) {
  TestRun t;
  t.run.settings.ParamMacrosOn = true;
  t.run.settings.UserMacros = {{"%t%", "C:\\Tools"}};
  t.run.settings.Delimiter = "::";
  ParseEntryLines(t.run, 0, "[x]\n%t%\\a.exe::Tool\n>%t%::kept\n");
  EXPECT_EQ(Summary(t.run.entries), "1@0: 0:0:C:\\Tools\\a.exe:Tool/1@1, 1:0:%t%:kept^0");
}

}  // namespace
}  // namespace zolto
