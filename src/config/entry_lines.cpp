// Entry lines of a menu section: programs, their parameter templates,
// separators, column breaks and groups.
#include "app/run.h"
#include "config/entries.h"
#include "launch/launch.h"
#include "text/text.h"

namespace zolto {
namespace {

// Parse state of one section; nothing carries over to the next section.
struct SectionState {
  int lastOrdinary = -1;
  int level = 0;
  int openGroups = 0;
  bool separators = false;
};

Entry& Append(EntryTable& table, int kind, int level) {
  Entry& entry = table.entries[static_cast<size_t>(table.entryCount++)];
  entry = Entry{};
  entry.kind = kind;
  entry.level = level;
  return entry;
}

Entry& AddOrdinary(EntryTable& table, SectionState& state, std::string_view command,
                   std::string_view label) {
  const int index = table.entryCount;
  Entry& entry = Append(table, kOrdinary, state.level);
  entry.command = CutToBytes(command, kMaxEntryText);
  entry.label = CutToBytes(label, kMaxEntryText);
  state.lastOrdinary = index;
  if (table.ordinaryCount == 0) table.firstOrdinary = index;
  ++table.ordinaryCount;
  state.separators = true;
  return entry;
}

void AddParameter(RunState& run, SectionState& state, std::string_view line) {
  const std::string& delimiter = run.settings.Delimiter;
  const std::string_view body = line.substr(1);
  const size_t d = Find(body, delimiter);
  EntryTable& table = run.entries;
  const int index = table.entryCount;
  Entry& entry = Append(table, kParameter, state.level);
  entry.command = CutToBytes(d == std::string_view::npos ? body : body.substr(0, d), kMaxEntryText);
  entry.label = CutToBytes(d == std::string_view::npos ? body : body.substr(d + delimiter.size()),
                           kMaxEntryText);
  entry.parentIndex = state.lastOrdinary;
  entry.perTarget = line[0] == ']' ? 1 : 0;
  Entry& program = table.entries[static_cast<size_t>(state.lastOrdinary)];
  ++program.paramCount;
  if (program.firstParam == 0) program.firstParam = index;
}

const ResolvedProgram& LookUpProgram(RunState& run, std::string_view program) {
  auto [slot, added] = run.entries.programs.try_emplace(std::string(program));
  ResolvedProgram& resolved = slot->second;
  if (!added) return resolved;
  bool found = false;
  const std::string path = ResolveProgram(run, program, true, found);
  if (!found || run.platform.IsDirectory(path)) return resolved;
  const std::string canonical = PathCanonicalize(path);
  resolved.usable = true;
  resolved.path = canonical.empty() ? path : canonical;
  resolved.name = std::string(SplitPath(path).name);
  return resolved;
}

// A program line: "program | label", "program", "@system | label" or
// "@system". A program that is not found, or is a folder, drops the line.
void AddProgramLine(RunState& run, SectionState& state, std::string_view raw) {
  const std::string line =
      run.settings.ParamMacrosOn ? ExpandPathMacros(run, raw) : std::string(raw);
  const std::string& delimiter = run.settings.Delimiter;
  const size_t d = Find(line, delimiter);
  const std::string_view program =
      d == std::string::npos ? std::string_view(line) : std::string_view(line).substr(0, d);
  const std::string_view label =
      d == std::string::npos ? std::string_view() : std::string_view(line).substr(d + delimiter.size());
  if (StartsWithI(program, "@system")) {
    AddOrdinary(run.entries, state, "@system", "@system");
    ResolveSystemEntry(run, state.lastOrdinary);
    if (d != std::string::npos)
      run.entries.entries[static_cast<size_t>(state.lastOrdinary)].label =
          CutToBytes(label, kMaxEntryText);
    return;
  }
  const ResolvedProgram& found = LookUpProgram(run, program);
  if (!found.usable) return;
  AddOrdinary(run.entries, state, found.path, d == std::string::npos ? std::string_view(found.name) : label);
}

}  // namespace

size_t ParseEntryLines(RunState& run, size_t header, std::string_view text) {
  EntryTable& table = run.entries;
  SectionState state;
  state.separators = table.entryCount > 0;
  LineCursor lines(text, header);
  lines.SkipLine();
  while (!table.Full()) {
    if (!lines.Next()) return text.size();
    const std::string_view l = TrimLeadingBlanksAndTabs(lines.Line());
    const char c = l.empty() ? '\0' : l[0];
    if (StartsWithI(l, "%end")) return lines.LineStart();
    if (c == ';') continue;
    if (c == '+' && state.separators) {
      Append(table, kSeparator, state.level);
    } else if (c == '-' && state.separators) {
      Append(table, kColumnBreak, state.level);
    } else if ((c == '>' || c == ']') && state.lastOrdinary >= 0) {
      AddParameter(run, state, l);
    } else if (c == '{' && l.size() >= 2) {
      Append(table, kSubmenuOpen, state.level).label = CutToBytes(l.substr(1), kMaxEntryText);
      ++state.level;
      ++state.openGroups;
      state.lastOrdinary = -1;
      state.separators = false;
    } else if (c == '}' && state.openGroups > 0) {
      Append(table, kSubmenuClose, state.level);
      --state.level;
      --state.openGroups;
      state.lastOrdinary = -1;
    } else {
      AddProgramLine(run, state, l);
    }
  }
  return std::string_view::npos;
}

void SectionReader::Take(RunState& run, size_t header, std::string_view text) {
  const int before = run.entries.entryCount;
  if (before == idleCount_ && header > idleFrom_ && header < idleTo_) return;
  const size_t end = ParseEntryLines(run, header, text);
  if (end != std::string_view::npos && run.entries.entryCount == before) {
    idleFrom_ = header;
    idleTo_ = end;
    idleCount_ = before;
  }
}

}  // namespace zolto
