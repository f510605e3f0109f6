#include "capture.h"

#include <gtest/gtest.h>

#include <string>

namespace capture {
namespace {

// From the launcher's command line to the browser's, or to a refusal.
struct Case {
  const char* launcherLine;
  const char* browser;  // the program of the browser's line
  const char* tail;     // the browser's line from --user-data-dir on; null: refused
};

constexpr const char* kFixed =
    " --headless --disable-gpu --hide-scrollbars --mute-audio --force-device-scale-factor=1"
    " --no-first-run --no-default-browser-check --disable-background-networking"
    " --disable-component-update --disable-sync";
constexpr const char* kProfile = R"(C:\Users\Taro Yamada\Temp\zc.1\profile)";
constexpr const char* kShot = R"(C:\Users\Taro Yamada\Temp\zc.1\page.png)";
constexpr const char* kEdge = R"(C:\Program Files (x86)\Microsoft\Edge\Application\msedge.exe)";

class CaptureLine : public ::testing::TestWithParam<Case> {};

TEST_P(CaptureLine, BecomesTheBrowsersLineOrIsRefused) {
  const Case& c = GetParam();
  Request request;
  Options options;
  std::string error;
  const bool accepted = ParseCommandLine(c.launcherLine, &request, &error) &&
                        ReadOptions(request.extras, &options, &error) &&
                        CheckAddress(request.address, &error);
  if (c.tail == nullptr) {
    EXPECT_FALSE(accepted) << c.launcherLine;
    EXPECT_FALSE(error.empty());
    return;
  }
  ASSERT_TRUE(accepted) << c.launcherLine << ": " << error;
  const std::string program = options.browser.empty() ? kEdge : options.browser;
  EXPECT_EQ(BrowserCommandLine(program, options, kProfile, kShot, request.address),
            "\"" + std::string(c.browser) + "\"" + kFixed + c.tail);
  EXPECT_EQ(request.output, R"(C:\My Temp\o.bmp)");
}

// The profile and screenshot paths hold blanks: quoted.
#define DEFAULT_PATHS                                     \
  R"( "--user-data-dir=C:\Users\Taro Yamada\Temp\zc.1\profile")" \
  " --window-size=1024,768 --timeout=20000"               \
  R"( "--screenshot=C:\Users\Taro Yamada\Temp\zc.1\page.png" )"

INSTANTIATE_TEST_SUITE_P(
    Lines, CaptureLine,
    ::testing::Values(
        // As the launcher writes it: two blanks when there are no ARGS.
        Case{R"("C:\z\zolto_capture.exe"  -o"C:\My Temp\o.bmp" -b -fbmp -u"http://example.test/")",
             kEdge, DEFAULT_PATHS "http://example.test/"},
        // A file address as the launcher makes it, any letter case of scheme.
        Case{R"(cap.exe  -o"C:\My Temp\o.bmp" -b -fbmp -u"FILE:///C:\My%20Docs\page.html")", kEdge,
             DEFAULT_PATHS R"(FILE:///C:\My%20Docs\page.html)"},
        // Options; ARGS that look like the launcher's own are overridden.
        Case{R"(cap.exe --window=800x600 --width=200 --timeout=5 -ux -o"C:\My Temp\o.bmp" -b -fbmp )"
             R"(-u"https://h/a?b=--c&d=%22")",
             kEdge,
             R"( "--user-data-dir=C:\Users\Taro Yamada\Temp\zc.1\profile")"
             " --window-size=800,600 --timeout=4000"
             R"( "--screenshot=C:\Users\Taro Yamada\Temp\zc.1\page.png" https://h/a?b=--c&d=%22)"},
        Case{R"(cap.exe --browser="D:\Chrome Beta\chrome.exe" -o"C:\My Temp\o.bmp" -b -fbmp )"
             R"(-u"http://h/")",
             R"(D:\Chrome Beta\chrome.exe)", DEFAULT_PATHS "http://h/"},
        // Refused: launcher lines without their parts.
        Case{"", nullptr, nullptr},
        Case{R"(cap.exe -b -fbmp -u"http://h/")", nullptr, nullptr},
        Case{R"(cap.exe -oC:\o.bmp -b -fbmp)", nullptr, nullptr},
        Case{R"(cap.exe -oC:\o.bmp -fbmp -u"http://h/")", nullptr, nullptr},
        Case{R"(cap.exe -oC:\o.bmp -b -fbmp -fpng -u"http://h/")", nullptr, nullptr},
        // Refused: options unknown or out of range.
        Case{R"(cap.exe -w800 -oC:\o.bmp -b -fbmp -u"http://h/")", nullptr, nullptr},
        Case{R"(cap.exe --width=15 -oC:\o.bmp -b -fbmp -u"http://h/")", nullptr, nullptr},
        Case{R"(cap.exe --window=100x4097 -oC:\o.bmp -b -fbmp -u"http://h/")", nullptr, nullptr},
        Case{R"(cap.exe --timeout=26 -oC:\o.bmp -b -fbmp -u"http://h/")", nullptr, nullptr},
        Case{R"(cap.exe --browser= -oC:\o.bmp -b -fbmp -u"http://h/")", nullptr, nullptr},
        // Refused: addresses that could be read as options, run script,
        // reach a network share or split into arguments.
        Case{R"(cap.exe -oC:\o.bmp -b -fbmp -u"--renderer-cmd-prefix=calc")", nullptr, nullptr},
        Case{R"x(cap.exe -oC:\o.bmp -b -fbmp -u"javascript:alert(1)")x", nullptr, nullptr},
        Case{R"(cap.exe -oC:\o.bmp -b -fbmp -u"file://server/share/a.html")", nullptr, nullptr},
        Case{R"(cap.exe -oC:\o.bmp -b -fbmp -u"http://h/a b")", nullptr, nullptr},
        Case{"cap.exe -oC:\\o.bmp -b -fbmp -u\"http://h/\x01\"", nullptr, nullptr},
        Case{R"(cap.exe -oC:\o.bmp -b -fbmp -u"ftp://h/")", nullptr, nullptr}));

TEST(ScaledHeight, KeepsProportionsWithinLimits) {
  EXPECT_EQ(ScaledHeight(1024, 768, 320), 240);
  EXPECT_EQ(ScaledHeight(3, 2, 2), 1);       // 1.33 rounds down
  EXPECT_EQ(ScaledHeight(4000, 1, 16), 1);   // never 0 rows
  EXPECT_EQ(ScaledHeight(1, 8193, 1), 0);    // taller than a bitmap may be
  EXPECT_EQ(ScaledHeight(0, 10, 10), 0);
}

TEST(UnquotePath, AsTheRegistryMayHoldIt) {
  EXPECT_EQ(UnquotePath(R"(  "C:\Program Files\b.exe" )"), R"(C:\Program Files\b.exe)");
  EXPECT_EQ(UnquotePath("C:\\b.exe  "), "C:\\b.exe");
  EXPECT_EQ(UnquotePath("\"C:\\b.exe"), "C:\\b.exe");
  EXPECT_EQ(UnquotePath("  "), "");
}

}  // namespace
}  // namespace capture
