#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "launch/launch.h"
#include "menu/menu.h"
#include "test_run.h"

namespace zolto {
namespace {

class TextPreviewReadTest : public RunTest {};

// The preview reads on until it has its lines, however long the lines before
// them: each is cut to the line reader's 517 characters and the rest of it
// skipped.
TEST_F(TextPreviewReadTest, LongLinesAreCutNotCounted) {
  run.settings.TextPreviewLines = 4;
  const std::string longLine(70 * 1024, 'x');
  fs.AddFile("C:\\d\\long.txt", longLine + "\r\n" + longLine + "\nthird\r\nfourth\nfifth\n");
  run.targets.Add("C:\\d\\long.txt");
  const std::vector<std::string> lines = TextPreviewLines(run);
  ASSERT_EQ(lines.size(), 4u);
  EXPECT_EQ(lines[0], std::string(517, 'x'));
  EXPECT_EQ(lines[1], std::string(517, 'x'));
  EXPECT_EQ(lines[2], "third");
  EXPECT_EQ(lines[3], "fourth");
}

// A special folder at a drive root gives "D:", so that "%My Documents%\a.txt"
// is "D:\a.txt" and not "D:\\a.txt".
TEST_F(TextPreviewReadTest, SpecialFolderAtADriveRoot) {
  fs.specialFolders[kFolderPersonal] = "D:\\";
  EXPECT_EQ(ExpandPathMacros(run, "%My Documents%\\a.txt"), "D:\\a.txt");
}

}  // namespace
}  // namespace zolto
