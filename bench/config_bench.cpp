// Reading the [system] part against a plain scan of the same bytes.
#include <benchmark/benchmark.h>

#include <string>

#include "app/run.h"
#include "platform/fake_platform.h"

namespace zolto {
namespace {

std::string MakeConfig(int sections) {
  std::string text =
      "[system]\r\n@icon\r\n@menu=mouse\r\n@dist=100,200\r\n@pic=1,200\r\n"
      ">.png;.jpg\r\n@text=1,300,20,1,Courier,10\r\n@param\r\na | 1\r\nb | 2\r\n"
      "%end\r\n";
  for (int i = 0; i < sections; ++i) {
    text += "[^note" + std::to_string(i) + "*.txt]\r\n";
    text += "notepad.exe | Edit " + std::to_string(i) + "\r\n";
    text += "] \"%P\" | open\r\n%end\r\n";
  }
  return text;
}

void BM_PlainLineScan(benchmark::State& state) {
  const std::string text = MakeConfig(static_cast<int>(state.range(0)));
  for (auto _ : state) {
    size_t lines = 0;
    for (char c : text) lines += c == '\n';
    benchmark::DoNotOptimize(lines);
  }
  state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(text.size()));
}

void BM_ApplyConfigurationText(benchmark::State& state) {
  const std::string text = MakeConfig(static_cast<int>(state.range(0)));
  FakePlatform platform;
  for (auto _ : state) {
    RunState run(platform, kFullEdition);
    ApplyConfigurationText(run, text);
    benchmark::DoNotOptimize(run.settings.ShowIcons);
  }
  state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(text.size()));
}

BENCHMARK(BM_PlainLineScan)->Arg(10)->Arg(1000)->Arg(10000);
BENCHMARK(BM_ApplyConfigurationText)->Arg(10)->Arg(1000)->Arg(10000);

}  // namespace
}  // namespace zolto
