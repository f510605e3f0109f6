// The help texts shipped beside the executables (help/<edition>.txt, UTF-8
// sources converted to code page 932 by the build): each must convert, and
// must describe every [system] key its edition reads and every switch.
#include <gtest/gtest.h>
#include <iconv.h>

#include <fstream>
#include <sstream>
#include <string>

#include "app/app.h"
#include "config/config.h"
#include "editions/edition.h"

namespace zolto {
namespace {

std::string ReadHelpSource(const std::string& name) {
  std::ifstream file(std::string(ZOLTO_SOURCE_DIR) + "/help/" + name, std::ios::binary);
  std::ostringstream text;
  text << file.rdbuf();
  return text.str();
}

// The text in code page 932, as the build converts it; on a character that
// has no place there, false and the line that holds it.
bool ToCp932(const std::string& utf8, std::string& out, std::string& badLine) {
  iconv_t cd = iconv_open("CP932", "UTF-8");
  if (cd == reinterpret_cast<iconv_t>(-1)) {
    badLine = "(this system's iconv has no CP932)";
    return false;
  }
  std::string in = utf8;
  out.assign(in.size() * 2 + 16, '\0');
  char* inPtr = in.data();
  size_t inLeft = in.size();
  char* outPtr = out.data();
  size_t outLeft = out.size();
  const size_t result = iconv(cd, &inPtr, &inLeft, &outPtr, &outLeft);
  iconv_close(cd);
  if (result == static_cast<size_t>(-1)) {
    const size_t at = static_cast<size_t>(inPtr - in.data());
    const size_t start = in.rfind('\n', at) == std::string::npos ? 0 : in.rfind('\n', at) + 1;
    badLine = in.substr(start, in.find('\n', at) - start);
    return false;
  }
  out.resize(out.size() - outLeft);
  return true;
}

TEST(HelpTextTest, EachEditionsHelpIsCp932AndDescribesItsKeysAndSwitches) {
  for (const Edition* edition : {&kFullEdition, &kBasicEdition}) {
    SCOPED_TRACE(edition->helpTextName);
    const std::string source = ReadHelpSource(edition->helpTextName);
    ASSERT_FALSE(source.empty()) << "no help source";
    std::string text, badLine;
    ASSERT_TRUE(ToCp932(source, text, badLine)) << "not in code page 932: " << badLine;

    EXPECT_NE(text.find(edition->programName), std::string::npos);
    for (std::string_view key : SystemKeys(edition->webPreview))
      EXPECT_NE(text.find(key), std::string::npos) << "the help does not describe " << key;
    for (std::string_view key : SystemKeys(true)) {
      bool read = false;
      for (std::string_view own : SystemKeys(edition->webPreview)) read |= own == key;
      if (!read) {
        EXPECT_EQ(text.find(key), std::string::npos) << "the help describes " << key
                                                     << ", which this edition does not read";
      }
    }
    for (std::string_view option : kSwitches)
      EXPECT_NE(text.find(option), std::string::npos) << "the help does not describe " << option;
  }
}

}  // namespace
}  // namespace zolto
