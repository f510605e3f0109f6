// The configuration checker: the input is the configuration file, checked
// for fixed command lines in both editions (files, a folder, an address and
// one-by-one mode). The checker runs the launcher's own code on a dry-run
// platform; it must never start, wait for or show anything itself, and its
// reports must be whole (JSON that opens and closes).
#include "checker/checker.h"
#include "fuzz_common.h"

namespace {

using zolto::fuzz::FixedPlatform;

void CheckOnce(std::string_view config, const zolto::Edition& edition,
               std::vector<std::string> words) {
  using namespace zolto;
  FakePlatform fs(FixedPlatform());
  const std::string path = std::string("C:\\Tools\\") + edition.programName + ".ini";
  fs.AddFile(path, std::string(config));
  CheckOptions options;
  options.configPath = path;
  options.arguments = std::move(words);
  options.edition = &edition;
  const CheckReport report = CheckConfiguration(fs, options);
  FUZZ_CHECK(fs.starts.empty() && fs.sleeps.empty() && fs.messages.empty() &&
             fs.waitedCommands.empty());
  FUZZ_CHECK(report.status >= kCheckClean && report.status <= kCheckFailed);
  std::string json = FormatReportJson(report);
  if (!json.empty() && json.back() == '\n') json.pop_back();
  FUZZ_CHECK(json.size() >= 2 && json.front() == '{' && json.back() == '}');
  FUZZ_CHECK(!FormatReportText(report).empty());
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace zolto;
  const std::string_view config = zolto::fuzz::AsText(data, size);
  CheckOnce(config, kFullEdition, {"C:\\d\\My File.txt", "C:\\d\\y.txt", "C:\\d\\sub"});
  CheckOnce(config, kFullEdition,
            {size % 2 ? "https://h.example/dir/page.html?q=1" : "C:\\d\\link.url"});
  CheckOnce(config, kFullEdition, {"/#y", "C:\\d\\x.txt", "C:\\d\\pic.png"});
  CheckOnce(config, kBasicEdition, {size % 2 ? "C:\\d\\sub" : "C:\\d\\q.zz9"});
  return 0;
}
