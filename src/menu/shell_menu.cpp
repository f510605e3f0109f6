// What the Explorer context menu needs beyond COM: which targets it is for,
// and which of the shell's items stay.
#include "config/config.h"
#include "menu/menu.h"
#include "targets/targets.h"
#include "text/text.h"

namespace zolto {

std::vector<std::string> CollectSameFolderTargets(const TargetList& list, std::string& baseFolder) {
  const PathParts first = SplitPath(list.Working[0]);
  baseFolder = first.drive + first.dir;
  if (list.WorkingCount < 1 || (first.name + first.ext).empty()) return {};
  std::vector<std::string> same;
  for (int k = 0; k < list.WorkingCount; ++k) {
    const std::string& target = list.Working[static_cast<size_t>(k)];
    const PathParts parts = SplitPath(target);
    if (parts.drive + parts.dir == baseFolder) same.push_back(target);
  }
  return same;
}

int ShellMenuFilter(const ExplorerItemFilter& filter, std::string_view text) {
  if (filter.mode == ExplorerItemFilter::Mode::None) return 1;
  bool listed = false;
  for (const std::string& prefix : filter.prefixes)
    if (StartsWithI(text, prefix)) listed = true;
  return (filter.mode == ExplorerItemFilter::Mode::KeepListed) == listed ? 1 : 0;
}

std::vector<int> ShellItemsToDelete(const ExplorerItemFilter& filter,
                                    const std::vector<ShellItem>& items, int first) {
  // A failed item count can hand in -1: the launcher's items still start
  // at 0 at the earliest.
  if (first < 0) first = 0;
  const int count = static_cast<int>(items.size());
  std::vector<bool> gone(items.size(), false);
  for (int i = count - 1; i >= first; --i)
    if (!items[static_cast<size_t>(i)].separator &&
        !ShellMenuFilter(filter, items[static_cast<size_t>(i)].text))
      gone[static_cast<size_t>(i)] = true;
  // Separators: none last, none doubled, none first.
  bool followingIsSeparator = false;
  bool atEnd = true;
  for (int i = count - 1; i >= first; --i) {
    if (gone[static_cast<size_t>(i)]) continue;
    const bool separator = items[static_cast<size_t>(i)].separator;
    if (separator && (atEnd || followingIsSeparator)) gone[static_cast<size_t>(i)] = true;
    followingIsSeparator = separator;
    atEnd = false;
  }
  for (int i = first; i < count; ++i) {
    if (gone[static_cast<size_t>(i)]) continue;
    if (items[static_cast<size_t>(i)].separator) gone[static_cast<size_t>(i)] = true;
    break;
  }
  std::vector<int> positions;
  for (int i = count - 1; i >= first; --i)
    if (gone[static_cast<size_t>(i)]) positions.push_back(i);
  return positions;
}

}  // namespace zolto
