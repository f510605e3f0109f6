// The target's own Explorer menu: which of its items stay, and which
// targets share the first target's folder.
#include <gtest/gtest.h>

#include "menu/menu.h"
#include "test_run.h"

namespace zolto {
namespace {

struct FilterRow {
  int mode;  // 0 no list, 1 "[add]" keeps the listed items, 2 "[del]" drops them
  Strings prefixes;
  Strings items;  // "-" a separator
  int first;      // the launcher's own items come before it
  Strings expect;
};

const Strings kShell = {"&Open", "Open &with", "-", "Cu&t", "&Copy", "-", "P&roperties"};
const FilterRow kFilters[] = {
    {0, {}, kShell, 0, kShell},
    {1, {"&copy"}, kShell, 0, {"&Copy"}},
    {1, {"&Open", "open"}, kShell, 0, {"&Open", "Open &with"}},  // prefixes in any case
    {2, {"cu&t", "&Copy", "p&roperties"}, kShell, 0, {"&Open", "Open &with"}},
    {2, {"Copy"}, kShell, 0, kShell},  // "&" counts as written
    {0, {}, {"-", "-", "a", "-", "-", "-", "b", "-", "-"}, 0, {"a", "-", "b"}},
    {0, {}, {"-"}, 0, {}},
    {0, {}, {}, 0, {}},
    {1, {"x"}, {"a", "-", "b"}, 0, {}},
    {0, {}, {"Entry", "-", "-", "Open", "-"}, 2, {"Entry", "-", "Open"}},  // merged after the entries
    {1, {"x"}, {"Entry", "-", "-", "Open", "-"}, 2, {"Entry", "-"}},
    {0, {}, {"-", "Open", "-"}, -1, {"Open"}},  // a failed item count reads no item before the first
};

TEST(ShellMenu, FilterAndSeparatorCleanUp) {
  for (const FilterRow& row : kFilters) {
    SCOPED_TRACE(Join(row.items, " ") + " / " + Join(row.prefixes, " "));
    TestRun t;
    t.run.settings.ExplorerFilter = {row.mode, row.prefixes};
    std::vector<ShellItem> items;
    for (const std::string& text : row.items) items.push_back({text == "-", text == "-" ? "" : text});
    Strings kept = row.items;
    int previous = static_cast<int>(kept.size());
    for (int position : ShellItemsToDelete(t.run, items, row.first)) {
      ASSERT_LT(position, previous);  // descending, so earlier positions stay valid
      ASSERT_GE(position, std::max(row.first, 0));
      kept.erase(kept.begin() + position);
      previous = position;
    }
    EXPECT_EQ(kept, row.expect);
  }
}

TEST(ShellMenu, TargetsInTheFirstTargetsFolder) {
  TestRun t;
  t.SetTargets({"C:\\d\\a.txt", "C:\\other\\b.txt", "C:\\d\\c.txt", "C:\\D\\e.txt", "C:\\d\\sub\\f.txt"});
  std::string base;
  EXPECT_EQ(CollectSameFolderTargets(t.run, base), (Strings{"C:\\d\\a.txt", "C:\\d\\c.txt"}));
  EXPECT_EQ(base, "C:\\d\\");
  for (const char* root : {"C:", "C:\\"}) {
    t.run.targets.working[0] = root;
    EXPECT_TRUE(CollectSameFolderTargets(t.run, base).empty()) << root;
  }
}

}  // namespace
}  // namespace zolto
