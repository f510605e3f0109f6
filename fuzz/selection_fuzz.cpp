// Section selection: the input is the configuration file. Fixed command lines
// run against it: in the full edition several files (the first a text file),
// a folder and, chosen by the input's length, an address, an Internet
// shortcut, a web page or a file without association; in the basic edition
// the files and a folder or the file without association; and the files once
// more target by target. The first run also tries the second configuration
// file. The front end answers the parameter dialog, and when the menu opens
// it is built and some of its items are chosen.
#include <algorithm>

#include "config/config.h"
#include "fuzz_common.h"
#include "targets/targets.h"

namespace {

constexpr const char* kFiles = "\"C:\\d\\My File.txt\" C:\\d\\y.txt C:\\d\\pic.png C:\\d\\sub";
constexpr const char* kFolder = "C:\\d\\sub";
constexpr const char* kOthers[] = {"https://me:pw@h.example/dir/page.html?q=1#top",
                                   "C:\\d\\link.url", "C:\\d\\page.html", "C:\\d\\q.zz9"};

void RunOnce(const zolto::Edition& edition, std::string_view config, const char* commandLine,
             int oneByOne, bool secondConfig) {
  using namespace zolto;
  using namespace zolto::fuzz;
  FuzzRun f(edition);
  f.fs.AddFile(f.run.start.ConfigPath, std::string(config));
  ScriptedFrontend frontend(f.run);
  frontend.answers = {{4, "-o %N"}, {3, "\"%P\" %X"}, {4, ""}};
  frontend.chooseEntries = 6;
  FUZZ_CHECK(ReadConfiguration(f.run) == 1);
  f.run.start.OneByOne = oneByOne;
  BuildTargetList(f.run, commandLine, 0);
  FUZZ_CHECK(RunTargets(f.run, 0, 0) == 1);
  FUZZ_CHECK(f.run.targets.workingCount == 0);
  if (secondConfig && f.run.settings.AltConfigPath != f.run.start.ConfigPath) {
    // The second configuration file ("@ext2="), as with Shift held.
    BuildTargetList(f.run, commandLine, 0);
    RunTargets(f.run, 1, 0);
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace zolto;
  const std::string_view config = zolto::fuzz::AsText(data, size);
  RunOnce(kFullEdition, config, kFiles, 0, true);
  RunOnce(kFullEdition, config, kFolder, 0, false);
  RunOnce(kFullEdition, config, kOthers[size % 4], 0, false);
  RunOnce(kBasicEdition, config, kFiles, 0, false);
  RunOnce(kBasicEdition, config, size % 2 ? kFolder : kOthers[3], 0, false);
  RunOnce(kFullEdition, config, kFiles, 1, false);
  return 0;
}
