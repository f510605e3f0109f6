// A run of the full edition installed in C:\Tools\ on the fake platform.
#pragma once

#include <gtest/gtest.h>

#include <string>

#include "app/app.h"
#include "app/run.h"
#include "platform/fake_platform.h"

namespace zolto {

// A front end that counts the menus it was asked to show and cancels every
// parameter dialog.
struct MenuRecorder : Frontend {
  int shown = 0;
  void ShowPopupMenu(int, int) override { ++shown; }
  int OpenParameterDialog() override { return 0; }
};

class RunTest : public ::testing::Test {
 protected:
  explicit RunTest(const Edition& edition = kFullEdition) : run(fs, edition) {
    fs.AddFolder("C:\\Tools");
    InitialiseNames(run, std::string("C:\\Tools\\") + edition.programName + ".exe", "");
    DerivePaths(run);
    run.start.ConfigPath = run.start.ProgramFolder + run.start.ConfigName;
  }

  // Reads a configuration file whose [system] part holds body.
  Settings& ReadSystem(const std::string& body) {
    fs.AddFile(run.start.ConfigPath, "[system]\r\n" + body + "%end\r\n");
    EXPECT_EQ(ReadConfiguration(run), 1);
    return run.settings;
  }

  FakePlatform fs;
  RunState run;
};

}  // namespace zolto
