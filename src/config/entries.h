// The entry table: what the menu sections chosen for a target offer.
#pragma once

#include <array>
#include <string>
#include <string_view>
#include <unordered_map>

namespace zolto {

struct RunState;

enum EntryKind : int {
  kOrdinary = 0,       // a program to run
  kParameter = 1,      // a command template of the nearest program above
  kSeparator = 2,
  kColumnBreak = 3,
  kSoloParameter = 5,  // the only template of its program (set by the menu)
  kSubmenuOpen = 8,
  kSubmenuClose = 9,
};

constexpr int kMaxEntries = 200;
constexpr size_t kMaxEntryText = 259;  // command and label; longer ones are cut

struct Entry {
  int kind = kOrdinary;
  int level = 0;
  std::string command;
  std::string label;
  int paramCount = 0;
  int firstParam = 0;
  int parentIndex = 0;
  int perTarget = 0;
};

// Where a program line's program was found: its path for the entry and the
// name that labels it, or unusable (not found, or a folder).
struct ResolvedProgram {
  bool usable = false;
  std::string path;
  std::string name;
};

// Entry i is menu item 1000 + i.
struct EntryTable {
  std::array<Entry, kMaxEntries> entries;
  int entryCount = 0;
  int ordinaryCount = 0;
  int firstOrdinary = 0;
  // Programs looked up during the current selection, by the name written on
  // the line: the same name on many lines costs one search of the disk.
  std::unordered_map<std::string, ResolvedProgram> programs;

  void Clear() { entryCount = ordinaryCount = firstOrdinary = 0; }
  bool Full() const { return entryCount >= kMaxEntries; }
};

// Appends the entries of the section whose header line starts at byte
// header of text; stops at "%end", the end of the text or a full table.
// Returns where the section ended (the start of its "%end" line, or the
// text's size), or npos when it stopped because the table is full.
size_t ParseEntryLines(RunState& run, size_t header, std::string_view text);

}  // namespace zolto

namespace zolto {

// Takes the sections of one selection pass. It remembers the last section
// that added nothing, from its header to its end, and the table's size
// then: a header inside that stretch starts a section made of the same
// lines read from the same state, which adds nothing either and is not
// read again. Without this, headers missing "%end" would each read on to
// the end of the text.
class SectionReader {
 public:
  void Take(RunState& run, size_t header, std::string_view text);

 private:
  size_t idleFrom_ = std::string_view::npos;
  size_t idleTo_ = 0;
  int idleCount_ = -1;
};

}  // namespace zolto
