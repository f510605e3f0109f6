// The entry table: what the menu sections chosen for a target offer.
#pragma once

#include <array>
#include <string>
#include <string_view>

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

// Entry i is menu item 1000 + i.
struct EntryTable {
  std::array<Entry, kMaxEntries> entries;
  int entryCount = 0;
  int ordinaryCount = 0;
  int firstOrdinary = 0;

  void Clear() { entryCount = ordinaryCount = firstOrdinary = 0; }
  bool Full() const { return entryCount >= kMaxEntries; }
};

// Appends the entries of the section whose header line starts at byte
// header of text; stops at "%end", the end of the text or a full table.
void ParseEntryLines(RunState& run, size_t header, std::string_view text);

}  // namespace zolto
