// zolto5_check: explains what the launcher would do with a configuration
// file and a command line, and warns about likely mistakes. See kCheckUsage.
#include <cstdio>
#include <string>
#include <vector>

#include "checker/checker.h"
#include "checker_system.h"

int main(int argc, char** argv) {
  using namespace zolto;
  const std::vector<std::string> args = ProgramArguments(argc, argv);
  for (const std::string& a : args) {
    if (a == "--help" || a == "-h") {
      std::fputs(kCheckUsage, stdout);
      return kCheckClean;
    }
  }
  CheckOptions options;
  std::string error;
  if (!ParseCheckArguments(args, argc > 0 ? argv[0] : "zolto5_check", options, error)) {
    std::fprintf(stderr, "zolto5_check: %s\n%s", error.c_str(), kCheckUsage);
    return kCheckFailed;
  }
  std::unique_ptr<Platform> platform = MakeCheckerPlatform(options, error);
  if (!platform) {
    std::fprintf(stderr, "zolto5_check: %s\n", error.c_str());
    return kCheckFailed;
  }
  const CheckReport report = CheckConfiguration(*platform, options);
  if (!report.readable) {
    std::fprintf(stderr, "zolto5_check: cannot read the configuration file %s\n",
                 AnsiToConsole(report.configPath).c_str());
    return kCheckFailed;
  }
  const std::string out = options.json ? FormatReportJson(report, AnsiToUtf8)
                                       : FormatReportText(report, AnsiToConsole);
  std::fwrite(out.data(), 1, out.size(), stdout);
  return report.status;
}
