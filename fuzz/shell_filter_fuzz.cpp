// The Explorer menu's item filter. The first byte gives `first` (where the
// shell's items start), the second the filter mode (0 none, 1 keep the
// listed items, 2 remove them); the rest is the prefix list, a NUL, then the
// items, one a line ("-" for a separator). The positions to delete must be
// descending, within the shell's items, and leave exactly what an
// independent reading of the rules keeps.
#include "fuzz_common.h"
#include "menu/menu.h"
#include "text/text.h"

namespace {

struct Item {
  bool separator;
  std::string text;
  bool operator==(const Item& o) const {
    return separator == o.separator && (separator || text == o.text);
  }
};

// The filter's own rule: a listed item starts with one of the prefixes.
bool Keeps(const zolto::ExplorerItemFilter& filter, const std::string& text) {
  if (filter.mode == 0) return true;
  bool listed = false;
  for (const std::string& prefix : filter.prefixes)
    if (zolto::StartsWithI(text, prefix)) listed = true;
  return filter.mode == 1 ? listed : !listed;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace zolto;
  using namespace zolto::fuzz;
  if (size < 2) return 0;
  const auto [prefixText, itemText] = CutAt(AsText(data + 2, size - 2), std::string_view("\0", 1));

  FakePlatform fs;
  RunState run(fs, kFullEdition);
  ExplorerItemFilter& filter = run.settings.ExplorerFilter;
  filter.mode = data[1] % 3;
  if (filter.mode != 0) {
    for (std::string_view prefix : Split(prefixText, '\n')) {
      if (filter.prefixes.size() >= kMaxFilterPrefixes) break;
      if (!prefix.empty()) filter.prefixes.push_back(CutToBytes(prefix, kMaxListItem));
    }
  }
  std::vector<ShellItem> items;
  if (!itemText.empty())
    for (std::string_view line : Split(itemText, '\n'))
      items.push_back({line == "-", line == "-" ? std::string() : std::string(line)});
  const int count = static_cast<int>(items.size());
  const int first = data[0] % (count + 2);  // up to one past the end

  const std::vector<int> positions = ShellItemsToDelete(run, items, first);
  std::vector<bool> gone(items.size(), false);
  int previous = count;
  for (int p : positions) {
    FUZZ_CHECK(p < previous);  // strictly descending
    FUZZ_CHECK(p >= first && p < count);
    gone[static_cast<size_t>(p)] = true;
    previous = p;
  }
  std::vector<Item> kept;
  for (int i = first; i < count; ++i)
    if (!gone[static_cast<size_t>(i)])
      kept.push_back({items[static_cast<size_t>(i)].separator, items[static_cast<size_t>(i)].text});

  // Expected: the items the filter keeps, separators between them kept once,
  // none first or last.
  std::vector<Item> expected;
  bool separatorPending = false;
  for (int i = first; i < count; ++i) {
    const ShellItem& item = items[static_cast<size_t>(i)];
    if (item.separator) {
      separatorPending = !expected.empty();
      continue;
    }
    if (!Keeps(filter, item.text)) continue;
    if (separatorPending) expected.push_back({true, ""});
    separatorPending = false;
    expected.push_back({false, item.text});
  }
  FUZZ_CHECK(kept == expected);
  return 0;
}
