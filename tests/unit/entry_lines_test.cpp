// The entry lines of menu sections, parsed into the entry table.
#include <gtest/gtest.h>

#include "test_run.h"

namespace zolto {
namespace {

struct EntryRow {
  Strings sections;  // parsed one after the other into one table
  // Each entry "kind:level:command:label", parameter lines with "^<program>"
  // and "*" when they run once per target; ", " between them.
  std::string expect;
  std::string target = "C:\\d\\x.txt";  // associated with "C:\Apps\Note Pad.exe"
  std::string settings = "";
};

const EntryRow kEntries[] = {
    {{"[x]\nC:\\Tools\\b.exe | View\nnotepad\nmissing.exe | M\nC:\\Tools | F\n"
      "C:\\Tools\\..\\Tools\\.\\a.exe | A\nnotepad.exe %P | args belong in templates\n"},
     "0:0:C:\\Tools\\b.exe:View, 0:0:C:\\Windows\\notepad.exe:notepad, 0:0:C:\\Tools\\a.exe:A"},
    {{"[x]\n>%P | orphan\nb | V\n>-r %P\n]%P | Each\n;]no\n%end\n>late\n"},
     "0:0:C:\\Tools\\b.exe:V, 1:0:-r %P:-r %P^0, 1:0:%P:Each^0*"},
    {{"[x]\n-\n+\n{Tools\na.exe | A\n+\n}\n}\n{\nb.exe | B\n>%P\n"},
     "8:0::Tools, 0:1:C:\\Tools\\a.exe:A, 2:1::, 9:1::, 0:0:C:\\Tools\\b.exe:B, 1:0:%P:%P^4"},
    // A parameter line right after a group closes has no program.
    {{"[x]\na.exe | A\n{G\n>%P\n}\n>%P\n"}, "0:0:C:\\Tools\\a.exe:A, 8:0::G, 9:1::"},
    // A later section may start with a break; it has no program of its own yet.
    {{"[x]\na.exe | A\n%end\n", "[y]\n-\n>%P\nb.exe | B\n"},
     "0:0:C:\\Tools\\a.exe:A, 3:0::, 0:0:C:\\Tools\\b.exe:B"},
    // The table holds 200 entries; a full table takes nothing more.
    {{"[x]\n" + Numbered("a.exe | A#\n", 250, ""), "[y]\nb.exe\n"},
     Numbered("0:0:C:\\Tools\\a.exe:A#", 200, ", ")},
    {{"[x]\na.exe | " + std::string(400, 'L') + "\n>" + std::string(400, 'T') + "\n"},
     "0:0:C:\\Tools\\a.exe:" + std::string(259, 'L') + ", 1:0:" + std::string(259, 'T') + ":" +
         std::string(259, 'T') + "^0"},
    {{"[x]\n%t%\\a.exe::Tool\n>%t%::kept\n"}, "0:0:C:\\Tools\\a.exe:Tool, 1:0:%t%:kept^0",
     "C:\\d\\x.txt",
     "@dlm=::\n@param\n%t%::C:\\Tools"},
    // "@system": the first target's program, Explorer for a folder, else the shell's own opening.
    {{"[x]\n@system | Open\n@SYSTEM\n"},
     "0:0:C:\\Apps\\Note Pad.exe:Open, 0:0:C:\\Apps\\Note Pad.exe:Note Pad"},
    {{"[x]\n@system\n"}, "0:0:C:\\Windows\\explorer.exe:explorer", "C:\\d"},
    {{"[x]\n@system | Run\n"}, "0:0:@system:Run", "C:\\d\\setup.exe"},  // the target is the program
    {{"[x]\n@system\n"}, "0:0:@system:@system", "C:\\d\\x.doc"},     // its program is no .exe
};

TEST(EntryLines, SectionsFillTheTable) {
  for (const EntryRow& row : kEntries) {
    SCOPED_TRACE(row.sections[0].substr(0, 60) + " for " + row.target);
    TestRun t;
    for (const char* p : {"C:\\Apps\\Note Pad.exe", "C:\\d\\setup.exe", "C:\\d\\x.doc"})
      t.fs.AddFile(p);
    t.fs.associations[".txt"] = "\"C:\\Apps\\Note Pad.exe\"";
    t.fs.associations[".doc"] = "C:\\Apps\\viewer.dll";
    ASSERT_EQ(t.Configure("[system]\n" + row.settings + "\n%end\n"), 1);
    t.SetTargets({row.target});
    for (const std::string& section : row.sections) ParseEntryLines(t.run, 0, section);
    Strings entries;
    for (int i = 0; i < t.run.entries.entryCount; ++i) {
      const Entry& e = t.run.entries.entries[static_cast<size_t>(i)];
      entries.push_back(std::to_string(e.kind) + ":" + std::to_string(e.level) + ":" + e.command +
                        ":" + e.label);
      if (e.kind == kParameter)
        entries.back() += "^" + std::to_string(e.parentIndex) + (e.perTarget ? "*" : "");
    }
    EXPECT_EQ(Join(entries, ", "), row.expect);
  }
}

}  // namespace
}  // namespace zolto
