// The help texts shipped beside the executables (help/<edition>.txt) describe
// every [system] key their edition reads, no key it does not, and every switch.
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <sstream>

#include "app/app.h"
#include "config/config.h"

namespace zolto {
namespace {

TEST(HelpText, DescribesEachKeyOfItsEditionAndEachSwitch) {
  for (const Edition* edition : {&kFullEdition, &kBasicEdition}) {
    SCOPED_TRACE(edition->helpTextName);
    std::ifstream file(std::string(ZOLTO_SOURCE_DIR) + "/help/" + edition->helpTextName, std::ios::binary);
    std::ostringstream buffer;
    buffer << file.rdbuf();
    const std::string text = buffer.str();
    ASSERT_NE(text.find(edition->programName), std::string::npos);
    const std::vector<std::string_view> own = SystemKeys(edition->webPreview);
    for (std::string_view key : SystemKeys(true)) {
      const bool read = std::find(own.begin(), own.end(), key) != own.end();
      EXPECT_EQ(text.find(key) != std::string::npos, read) << key;
    }
    for (std::string_view option : kSwitches) EXPECT_NE(text.find(option), std::string::npos) << option;
  }
}

}  // namespace
}  // namespace zolto
