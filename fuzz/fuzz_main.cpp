// The fuzz targets as one table and one driver. Each executable <name>_fuzz of
// fuzz/CMakeLists.txt is this file compiled with ZOLTO_FUZZ_TARGET="<name>";
// its seeds are fuzz/corpus/<name>/, and scripts/fuzz.sh knows its input
// size and dictionary. The functions say how they read the input and what
// they check; a broken promise stops the run through FUZZ_CHECK.
#include <cstddef>
#include <cstdint>
#include <string_view>

namespace zolto::fuzz {

void FuzzConfiguration(std::string_view input);
void FuzzTargets(std::string_view input);
void FuzzHeaders(std::string_view input);
void FuzzPathMacros(std::string_view input);
void FuzzTemplates(std::string_view input);
void FuzzShortcut(std::string_view input);
void FuzzCaptureBitmap(std::string_view input);
void FuzzShellFilter(std::string_view input);
void FuzzBregexp(std::string_view input);

struct Target {
  std::string_view name;
  void (*run)(std::string_view input);
};

constexpr Target kTargets[] = {
    // name          function               the input
    {"config", FuzzConfiguration},         // a configuration file
    {"targets", FuzzTargets},              // options, a command line or clipboard text
    {"headers", FuzzHeaders},              // a section header and a subject
    {"path_macros", FuzzPathMacros},       // a text and user macros
    {"templates", FuzzTemplates},          // options, a command template, clipboard, answers
    {"shortcut", FuzzShortcut},            // an Internet shortcut file
    {"capture_bmp", FuzzCaptureBitmap},    // the page-capture program's picture
    {"shell_filter", FuzzShellFilter},     // an Explorer item filter and items
    {"bregexp", FuzzBregexp},              // an expression and a subject
};

constexpr const Target* Find(std::string_view name) {
  for (const Target& target : kTargets)
    if (target.name == name) return &target;
  return nullptr;
}

constexpr const Target* kChosen = Find(ZOLTO_FUZZ_TARGET);
static_assert(kChosen != nullptr, "ZOLTO_FUZZ_TARGET names no row of kTargets");

}  // namespace zolto::fuzz

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  zolto::fuzz::kChosen->run({reinterpret_cast<const char*>(data), size});
  return 0;
}
