// The core's road from configuration text to menu, against a plain line scan
// of the same bytes, for configurations of growing size. The file-system
// probes each step makes are reported as a counter: on Windows they, not the
// text handling, are what costs.
#include <benchmark/benchmark.h>

#include <string>

#include "app/app.h"
#include "app/run.h"
#include "null_menu_builder.h"
#include "platform/fake_platform.h"

namespace zolto {
namespace {

// Counts the calls that would touch the disk on Windows, and the address
// parses (a library call there).
class CountingPlatform : public FakePlatform {
 public:
  long probes = 0;
  bool PathExists(const std::string& p) override { ++probes; return FakePlatform::PathExists(p); }
  bool IsDirectory(const std::string& p) override { ++probes; return FakePlatform::IsDirectory(p); }
  std::string FullPath(const std::string& p) override { ++probes; return FakePlatform::FullPath(p); }
  bool CrackUrl(const std::string& text, UrlParts& parts) override {
    ++probes;
    return FakePlatform::CrackUrl(text, parts);
  }
  std::string FindOnPath(const std::string* folders, const std::string& name) override {
    ++probes;
    return FakePlatform::FindOnPath(folders, name);
  }
};

// A configuration of `sections` sections mixing every header kind the full
// edition knows: begins-with, ends-with, all-parts, ordered-parts, kinds,
// exclusions, expressions and catch-alls, with parameter lines, separators,
// groups and comments. The target C:\Work\report.txt is taken by one
// section near the end and by "[all]".
std::string MakeConfig(int sections) {
  std::string t =
      "[system]\r\n@icon\r\n@menu=mouse\r\n@text=1,300,20,1,Courier,10\r\n"
      "@param\r\nuser | you\r\n%end\r\n"
      "; everything below is menu sections\r\n"
      "[all]\r\nnotepad.exe | &Notepad\r\nexplorer.exe | &Explorer\r\n%end\r\n";
  for (int i = 0; i < sections; ++i) {
    const std::string n = std::to_string(i);
    switch (i % 8) {
      case 0: t += "[$.ext" + n + "]\r\n"; break;
      case 1: t += "[^C:\\Data" + n + "\\]\r\n"; break;
      case 2: t += "[-proj" + n + "&&$.txt]\r\n"; break;
      case 3: t += "[+src" + n + "&&.c]\r\n"; break;
      case 4: t += "[!m/\\.x" + n + "$/i]\r\n"; break;
      case 5: t += "[$.doc" + n + "][url]\r\n"; break;
      case 6: t += "[^C:\\Arc" + n + "]_[$.zip]#\r\n"; break;
      case 7: t += "[.*]_[$.tmp" + n + "]\r\n"; break;
    }
    t += "; section " + n + "\r\n";
    t += "notepad.exe | Edit " + n + "\r\n";
    t += "> \"%P\" /n " + n + " | Open " + n + "\r\n";
    t += "+\r\n{Group " + n + "\r\n\texplorer.exe | Show\r\n\t] /select,\"%P\" | Select\r\n}\r\n";
    t += "%end\r\n";
    if (i == sections - 2) t += "[$.txt]\r\nnotepad.exe | Text\r\nwrite.exe\r\n%end\r\n";
  }
  return t;
}

struct Fixture {
  explicit Fixture(int sections) : text(MakeConfig(sections)), run(fs, kFullEdition) {
    fs.AddFolder("C:\\Tools");
    fs.AddFile("C:\\Windows\\system32\\notepad.exe");
    fs.AddFile("C:\\Windows\\system32\\write.exe");
    fs.AddFile("C:\\Windows\\explorer.exe");
    fs.AddFile("C:\\Work\\report.txt", "first line\r\nsecond line\r\n");
    fs.regexMatcher = [](const std::string&, const std::string&) { return 0; };
    InitialiseNames(run, "C:\\Tools\\zolto5_c.exe", "");
    DerivePaths(run);
    ApplyConfigurationText(run, text);
    Retarget();
    fs.probes = 0;
  }
  // A run that opened its target has emptied the list.
  void Retarget() {
    run.targets.Clear();
    run.targets.Add("C:\\Work\\report.txt");
  }
  std::string text;
  CountingPlatform fs;
  RunState run;
};

void Report(benchmark::State& state, const Fixture& f) {
  state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(f.text.size()));
  state.counters["probes"] = benchmark::Counter(static_cast<double>(f.fs.probes),
                                                benchmark::Counter::kAvgIterations);
}

// The baseline: finding every line of the text, nothing more.
void BM_PlainLineScan(benchmark::State& state) {
  const std::string text = MakeConfig(static_cast<int>(state.range(0)));
  for (auto _ : state) {
    size_t lines = 0;
    for (size_t p = text.find('\n'); p != std::string::npos; p = text.find('\n', p + 1)) ++lines;
    benchmark::DoNotOptimize(lines);
  }
  state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(text.size()));
}

void BM_ReadConfiguration(benchmark::State& state) {
  Fixture f(static_cast<int>(state.range(0)));
  for (auto _ : state) {
    ApplyConfigurationText(f.run, f.text);
    benchmark::DoNotOptimize(f.run.settings.ShowIcons);
  }
  Report(state, f);
}

void BM_SelectSections(benchmark::State& state) {
  Fixture f(static_cast<int>(state.range(0)));
  for (auto _ : state) {
    const int handled = SelectSections(f.run, f.text);
    if (handled != 0 || f.run.entries.ordinaryCount < 3) state.SkipWithError("no menu");
  }
  Report(state, f);
}

void BM_SelectAndBuildMenu(benchmark::State& state) {
  Fixture f(static_cast<int>(state.range(0)));
  NullMenuBuilder builder;  // the core's own cost
  for (auto _ : state) {
    SelectSections(f.run, f.text);
    const MenuHandle menu = BuildPopupMenu(f.run, builder, MenuKind::Targets);
    DestroyPopupMenu(f.run.menu, builder, menu);
  }
  Report(state, f);
}

// A configuration whose sections all lack "%end" and all take the target:
// each taken section runs on into every later one. The entry lines name
// programs that do not exist, so the table never fills and stops nothing.
void BM_SelectRunOnSections(benchmark::State& state) {
  Fixture f(0);
  f.text.clear();
  for (int i = 0; i < state.range(0); ++i)
    f.text += "[$.txt]\r\nmissing" + std::to_string(i) + ".exe | gone\r\n";
  for (auto _ : state) {
    f.Retarget();
    benchmark::DoNotOptimize(SelectSections(f.run, f.text));
  }
  Report(state, f);
}

void BM_ExpandTemplate(benchmark::State& state) {
  Fixture f(10);
  f.run.currentTarget = 0;
  const std::string templ = "/e,\"%D\" /n \"%N\" %A.bak \"%P\" %Desktop%\\%4y%-%0m%-%0d%";
  for (auto _ : state) {
    benchmark::DoNotOptimize(ExpandCommandTemplate(f.run, templ, "C:\\Windows\\explorer.exe"));
  }
  Report(state, f);
}

BENCHMARK(BM_PlainLineScan)->Arg(10)->Arg(1000)->Arg(10000);
BENCHMARK(BM_ReadConfiguration)->Arg(10)->Arg(1000)->Arg(10000);
BENCHMARK(BM_SelectSections)->Arg(10)->Arg(1000)->Arg(10000);
BENCHMARK(BM_SelectAndBuildMenu)->Arg(10)->Arg(1000)->Arg(10000);
BENCHMARK(BM_SelectRunOnSections)->Arg(10)->Arg(1000)->Arg(10000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ExpandTemplate);

}  // namespace
}  // namespace zolto
