#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "menu/menu.h"
#include "test_run.h"

namespace zolto {
namespace {

using Strings = std::vector<std::string>;

class ShellMenuTest : public RunTest {
 protected:
  // Items as "text" or "-" for a separator; returns what stays, with the
  // launcher's own items before `first` included.
  Strings Filtered(const Strings& texts, int first = 0) {
    std::vector<ShellItem> items;
    for (const std::string& t : texts) items.push_back({t == "-", t == "-" ? "" : t});
    std::vector<bool> gone(texts.size(), false);
    int previous = static_cast<int>(texts.size());
    for (int position : ShellItemsToDelete(run, items, first)) {
      EXPECT_LT(position, previous);  // descending, so earlier positions stay valid
      previous = position;
      gone[static_cast<size_t>(position)] = true;
    }
    Strings kept;
    for (size_t i = 0; i < texts.size(); ++i)
      if (!gone[i]) kept.push_back(texts[i]);
    return kept;
  }
};

TEST_F(ShellMenuTest, KeepAndDropLists) {
  const Strings shell = {"&Open", "Open &with", "-", "Cu&t", "&Copy", "-", "P&roperties"};
  EXPECT_EQ(Filtered(shell), shell);  // no list: everything stays
  run.settings.ExplorerFilter = {1, {"&copy"}};
  EXPECT_EQ(Filtered(shell), Strings{"&Copy"});
  run.settings.ExplorerFilter = {1, {"&Open", "open"}};  // prefixes, any case
  EXPECT_EQ(Filtered(shell), (Strings{"&Open", "Open &with"}));
  run.settings.ExplorerFilter = {2, {"cu&t", "&Copy", "p&roperties"}};
  EXPECT_EQ(Filtered(shell), (Strings{"&Open", "Open &with"}));
  run.settings.ExplorerFilter = {2, {"Copy"}};  // "&" counts as written
  EXPECT_EQ(Filtered(shell), shell);
}

TEST_F(ShellMenuTest, SeparatorCleanUp) {
  EXPECT_EQ(Filtered({"-", "-", "a", "-", "-", "-", "b", "-", "-"}), (Strings{"a", "-", "b"}));
  EXPECT_EQ(Filtered({"-"}), Strings{});
  EXPECT_EQ(Filtered({}), Strings{});
  run.settings.ExplorerFilter = {1, {"x"}};
  EXPECT_EQ(Filtered({"a", "-", "b"}), Strings{});  // the filter took all
}

TEST_F(ShellMenuTest, LauncherItemsBeforeTheShellBlockStay) {
  // Merged at the end: the launcher's own separator 1300 and entries stay.
  EXPECT_EQ(Filtered({"Entry", "-", "-", "Open", "-"}, 2), (Strings{"Entry", "-", "Open"}));
  // A failed item count (-1) reads no item before the first one.
  EXPECT_EQ(Filtered({"-", "Open", "-"}, -1), Strings{"Open"});
}

TEST_F(ShellMenuTest, SameFolderTargets) {
  run.targets.Clear();
  for (const char* t : {"C:\\d\\a.txt", "C:\\other\\b.txt", "C:\\d\\c.txt", "C:\\D\\e.txt"})
    run.targets.Add(t);
  std::string base;
  EXPECT_EQ(CollectSameFolderTargets(run, base), (Strings{"C:\\d\\a.txt", "C:\\d\\c.txt"}));
  EXPECT_EQ(base, "C:\\d\\");
  run.targets.working[0] = "C:";
  EXPECT_TRUE(CollectSameFolderTargets(run, base).empty());  // a drive root
  run.targets.working[0] = "C:\\";
  EXPECT_TRUE(CollectSameFolderTargets(run, base).empty());
}

}  // namespace
}  // namespace zolto
