// The checker's arguments, and its report as text for a person and as JSON
// for scripts.
#include <nlohmann/json.hpp>

#include "checker/checker.h"
#include "menu/menu.h"
#include "text/text.h"

namespace zolto {

const char kCheckUsage[] =
    "usage: zolto5_check [--edition full|basic] [--json] [--clipboard TEXT]\n"
    "                    [--drives DIR] CONFIG [TARGET-OR-SWITCH...]\n"
    "Explains what the launcher would do with CONFIG for the command line made\n"
    "of the targets (and switches such as /#y), without starting anything.\n"
    "--drives DIR (native build): DIR/C stands for C:\\, DIR/D for D:\\ ...\n"
    "Exit status: 0 no warnings, 1 warnings, 2 bad usage or unreadable CONFIG.\n";

bool ParseCheckArguments(const std::vector<std::string>& args, std::string_view programName,
                         CheckOptions& options, std::string& error) {
  options = CheckOptions{};
  if (ContainsI(FileNamePart(programName), "basic")) options.edition = &kBasicEdition;
  bool optionsEnded = false;
  bool haveConfig = false;
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& a = args[i];
    auto value = [&](std::string& out) {
      if (i + 1 >= args.size()) {
        error = a + " needs a value";
        return false;
      }
      out = args[++i];
      return true;
    };
    if (!optionsEnded && a.rfind("--", 0) == 0) {
      std::string v;
      if (a == "--") {
        optionsEnded = true;
      } else if (a == "--json") {
        options.json = true;
      } else if (a == "--edition") {
        if (!value(v)) return false;
        if (v == "full") options.edition = &kFullEdition;
        else if (v == "basic") options.edition = &kBasicEdition;
        else return error = "--edition takes full or basic", false;
      } else if (a == "--clipboard") {
        if (!value(v)) return false;
        options.clipboard = v;
      } else if (a == "--drives") {
        if (!value(options.drives)) return false;
      } else {
        error = "unknown option " + a;
        return false;
      }
    } else if (!haveConfig) {
      options.configPath = a;
      haveConfig = true;
    } else {
      options.arguments.push_back(a);
    }
  }
  if (!haveConfig || options.configPath.empty()) {
    error = "no configuration file given";
    return false;
  }
  return true;
}

namespace {

std::string Enc(TextEncoder encode, std::string_view text) {
  return encode ? encode(text) : std::string(text);
}

const char* PassName(TracePass pass) {
  switch (pass) {
    case TracePass::First: return "first pass";
    case TracePass::CatchAll: return "catch-all";
    case TracePass::All: return "[all]";
    case TracePass::ExtensionKey: return "extension key";
  }
  return "";
}

const char* OutcomeName(const CheckTerm& term) {
  switch (term.outcome) {
    case TraceOutcome::Hit: return term.exclusion ? "excludes" : "hit";
    case TraceOutcome::Miss: return term.exclusion ? "does not exclude" : "no hit";
    case TraceOutcome::Skipped: return "skipped (text empty or too long)";
    case TraceOutcome::Ignored: return "ignored (not a term)";
  }
  return "";
}

const char* DecisionName(TraceDecision d) {
  switch (d) {
    case TraceDecision::Open: return "open";
    case TraceDecision::RunAtOnce: return "run at once";
    case TraceDecision::Menu: return "menu";
    case TraceDecision::Stopped: return "stopped";
  }
  return "";
}

const char* KindName(int kind) {
  switch (kind) {
    case kOrdinary: return "Ordinary";
    case kParameter: return "Parameter";
    case kSeparator: return "Separator";
    case kColumnBreak: return "ColumnBreak";
    case kSoloParameter: return "SoloParameter";
    case kSubmenuOpen: return "SubmenuOpen";
    case kSubmenuClose: return "SubmenuClose";
  }
  return "?";
}

const char* ActionName(CheckAction::Kind kind) {
  switch (kind) {
    case CheckAction::Start: return "start";
    case CheckAction::RunAndWait: return "run-and-wait";
    case CheckAction::Message: return "message";
    case CheckAction::Sleep: return "sleep";
    case CheckAction::CreateFolder: return "create-folder";
    case CheckAction::RemoveFile: return "remove-file";
  }
  return "";
}

const char* MenuKindName(CheckMenuItem::Kind kind) {
  switch (kind) {
    case CheckMenuItem::Item: return "item";
    case CheckMenuItem::Separator: return "separator";
    case CheckMenuItem::Preview: return "preview";
    case CheckMenuItem::Caption: return "caption";
    case CheckMenuItem::ShellMenu: return "explorer-menu";
  }
  return "";
}

// Why the run decided as it did, in words.
std::string DecisionText(const CheckSelection& s, TextEncoder encode) {
  const auto label = [&](int i) {
    return i >= 0 && i < static_cast<int>(s.entries.size())
               ? " \"" + Enc(encode, s.entries[static_cast<size_t>(i)].label) + "\""
               : std::string();
  };
  switch (s.decision) {
    case TraceDecision::Open:
      return "open the target with its associated program: the sections taken hold no "
             "program entry";
    case TraceDecision::RunAtOnce:
      if (s.ordinaryCount > 1)
        return "run at once the first of " + std::to_string(s.ordinaryCount) +
               " programs (one-by-one mode shows no menu): entry " +
               std::to_string(kIdEntryBase + s.decisionEntry) + label(s.decisionEntry);
      return "run at once the only program entry: entry " +
             std::to_string(kIdEntryBase + s.decisionEntry) + label(s.decisionEntry);
    case TraceDecision::Menu:
      if (s.ordinaryCount > 1)
        return "show the menu: " + std::to_string(s.ordinaryCount) + " program entries";
      if (s.oneByOne)
        return "nothing: the only program has two or more parameter lines, and one-by-one "
               "mode shows no menu";
      return "show the menu: the only program has two or more parameter lines";
    case TraceDecision::Stopped:
      return "stop: the regular-expression library is unavailable and a header did not "
             "match, so nothing runs";
  }
  return "";
}

std::string ActionText(const CheckAction& a, TextEncoder encode) {
  switch (a.kind) {
    case CheckAction::Start: {
      std::string t = "start " + Enc(encode, a.start.file);
      if (!a.start.parameters.empty()) t += " with " + Enc(encode, a.start.parameters);
      if (!a.start.directory.empty()) t += " in " + Enc(encode, a.start.directory);
      if (!a.accepted) t += " (the shell would refuse it)";
      return t;
    }
    case CheckAction::RunAndWait: return "run and wait for " + Enc(encode, a.text);
    case CheckAction::Message: return "show the message \"" + a.text + "\"";
    case CheckAction::Sleep: return "wait " + std::to_string(a.milliseconds) + " ms";
    case CheckAction::CreateFolder: return "create the folder " + Enc(encode, a.text);
    case CheckAction::RemoveFile: return "remove the file " + Enc(encode, a.text);
  }
  return "";
}

std::string AskText(const CheckAsk& ask, TextEncoder encode) {
  return "ask for a parameter (caption " +
         (ask.title.empty() ? std::string("the dialog's own") : "\"" + Enc(encode, ask.title) + "\"") +
         ", initial text \"" + Enc(encode, ask.defaultText) + "\"), answered with <%X>";
}

void MenuText(std::string& out, const std::vector<CheckMenuItem>& items, int depth,
              TextEncoder encode) {
  const std::string indent(static_cast<size_t>(4 + 2 * depth), ' ');
  for (const CheckMenuItem& item : items) {
    out += indent;
    if (item.columnBreak) out += "| new column | ";
    switch (item.kind) {
      case CheckMenuItem::Separator: out += "---- (" + std::to_string(item.id) + ")"; break;
      case CheckMenuItem::Preview: out += "[preview " + std::to_string(item.id) + "]"; break;
      case CheckMenuItem::ShellMenu: out += "[Explorer context menu]"; break;
      case CheckMenuItem::Caption:
      case CheckMenuItem::Item:
        out += std::to_string(item.id) + " " +
               (item.labelUtf8 ? item.label : Enc(encode, item.label));
        break;
    }
    if (!item.icon.empty()) out += "   (icon: " + Enc(encode, item.icon) + ")";
    if (item.hasSubmenu && item.submenu.empty()) out += " >  (empty)";
    else if (item.hasSubmenu) out += " >";
    out += "\n";
    MenuText(out, item.submenu, depth + 1, encode);
  }
}

void SelectionText(std::string& out, const CheckSelection& s, size_t number, TextEncoder encode) {
  out += "\nselection " + std::to_string(number) + " for " + Enc(encode, s.subject) + "\n";
  if (!s.key.empty()) out += "  extension key: " + Enc(encode, s.key) + "\n";
  if (!s.headers.empty()) out += "  headers tried:\n";
  for (const CheckHeader& h : s.headers) {
    out += "    line " + std::to_string(h.line) + " (" + PassName(h.pass) + ") " +
           Enc(encode, h.text) + "  -> " + (h.matched ? "matches" : "does not match");
    if (h.pass == TracePass::CatchAll) out += h.exclusion == -1 ? ", excluded" : ", not excluded";
    out += h.taken ? ", taken\n" : ", not taken\n";
    for (const CheckTerm& t : h.terms)
      out += "        " + std::string(t.exclusion ? "_" : "") + Enc(encode, t.text) + ": " +
             OutcomeName(t) + "\n";
  }
  out += s.sections.empty() ? "  sections taken: none\n" : "  sections taken:\n";
  for (const CheckSection& c : s.sections) {
    out += "    line " + std::to_string(c.line) + " (" + PassName(c.pass) + ") " +
           Enc(encode, c.header);
    if (c.discarded) out += "  (dropped again: no program entry, the catch-all is used)\n";
    else if (c.endEntry > c.firstEntry)
      out += "  entries " + std::to_string(kIdEntryBase + c.firstEntry) + "-" +
             std::to_string(kIdEntryBase + c.endEntry - 1) + "\n";
    else out += "  no entries\n";
  }
  out += "  entry table: " + std::to_string(s.entries.size()) + " entries, " +
         std::to_string(s.ordinaryCount) + " programs\n";
  for (size_t i = 0; i < s.entries.size(); ++i) {
    const Entry& e = s.entries[i];
    out += "    " + std::to_string(kIdEntryBase + static_cast<int>(i)) + " " + KindName(e.kind) +
           " level " + std::to_string(e.level);
    if (e.kind == kOrdinary)
      out += " \"" + Enc(encode, e.label) + "\" " + Enc(encode, e.command) + " (" +
             std::to_string(e.paramCount) + " parameter lines)";
    else if (e.kind == kParameter)
      out += " \"" + Enc(encode, e.label) + "\" template " + Enc(encode, e.command) +
             (e.perTarget ? " (for every target)" : " (once)");
    else if (e.kind == kSubmenuOpen)
      out += " \"" + Enc(encode, e.label) + "\"";
    out += "\n";
  }
  out += "  decision: " + DecisionText(s, encode) + "\n";
  for (const CheckAsk& a : s.asks) out += "    would " + AskText(a, encode) + "\n";
  for (const CheckAction& a : s.actions) out += "    would " + ActionText(a, encode) + "\n";
  if (!s.menu.empty()) {
    out += "  menu:\n";
    MenuText(out, s.menu, 0, encode);
  }
  if (!s.commands.empty()) out += "  commands, when chosen (\"<%X>\" stands for the typed text):\n";
  for (const CheckCommand& c : s.commands) {
    out += "    " + std::to_string(kIdEntryBase + c.entry) + " " + Enc(encode, c.label) + ":\n";
    for (const CheckAsk& a : c.asks) out += "        " + AskText(a, encode) + "\n";
    for (const CheckAction& a : c.actions) out += "        " + ActionText(a, encode) + "\n";
    if (c.actions.empty()) out += "        starts nothing (the expansion was cancelled)\n";
  }
}

// ---- JSON ----

using Json = nlohmann::ordered_json;  // keys in the order they are set

// Configuration text, and the paths and names taken from it, as UTF-8.
struct JsonText {
  TextEncoder encode;
  std::string operator()(std::string_view text) const { return Enc(encode, text); }
};

Json JsonAction(const CheckAction& a, const JsonText& text) {
  Json j{{"kind", ActionName(a.kind)}};
  if (a.kind == CheckAction::Start) {
    j["file"] = text(a.start.file);
    j["parameters"] = text(a.start.parameters);
    j["directory"] = text(a.start.directory);
    j["accepted"] = a.accepted;
  } else if (a.kind == CheckAction::Sleep) {
    j["milliseconds"] = a.milliseconds;
  } else {
    j["text"] = a.kind == CheckAction::Message ? a.text : text(a.text);  // messages: UTF-8
  }
  return j;
}

Json JsonActions(const std::vector<CheckAction>& actions, const JsonText& text) {
  Json list = Json::array();
  for (const CheckAction& a : actions) list.push_back(JsonAction(a, text));
  return list;
}

Json JsonAsks(const std::vector<CheckAsk>& asks, const JsonText& text) {
  Json list = Json::array();
  for (const CheckAsk& a : asks)
    list.push_back({{"title", text(a.title)}, {"default", text(a.defaultText)}});
  return list;
}

Json JsonMenu(const std::vector<CheckMenuItem>& items, const JsonText& text) {
  Json list = Json::array();
  for (const CheckMenuItem& item : items) {
    Json j{{"kind", MenuKindName(item.kind)},
           {"id", item.id},
           {"label", item.labelUtf8 ? item.label : text(item.label)}};
    if (!item.icon.empty()) j["icon"] = text(item.icon);
    j["columnBreak"] = item.columnBreak;
    if (item.hasSubmenu) j["submenu"] = JsonMenu(item.submenu, text);
    list.push_back(std::move(j));
  }
  return list;
}

Json JsonHeaders(const CheckSelection& s, const JsonText& text) {
  Json list = Json::array();
  for (const CheckHeader& h : s.headers) {
    Json terms = Json::array();
    for (const CheckTerm& t : h.terms)
      terms.push_back(
          {{"term", text(t.text)}, {"exclusion", t.exclusion}, {"outcome", OutcomeName(t)}});
    list.push_back({{"line", h.line},
                    {"pass", PassName(h.pass)},
                    {"text", text(h.text)},
                    {"terms", std::move(terms)},
                    {"matched", h.matched == 1},
                    {"exclusion", h.exclusion},
                    {"taken", h.taken}});
  }
  return list;
}

Json JsonEntries(const CheckSelection& s, const JsonText& text) {
  Json list = Json::array();
  for (size_t i = 0; i < s.entries.size(); ++i) {
    const Entry& e = s.entries[i];
    list.push_back({{"id", kIdEntryBase + static_cast<long long>(i)},
                    {"kind", KindName(e.kind)},
                    {"level", e.level},
                    {"label", text(e.label)},
                    {"command", text(e.command)},
                    {"paramCount", e.paramCount},
                    {"parentIndex", e.parentIndex},
                    {"perTarget", e.perTarget}});
  }
  return list;
}

Json JsonSelection(const CheckSelection& s, const JsonText& text) {
  Json j{{"subject", text(s.subject)}};
  if (!s.key.empty()) j["key"] = text(s.key);
  j["headers"] = JsonHeaders(s, text);
  Json sections = Json::array();
  for (const CheckSection& c : s.sections)
    sections.push_back({{"line", c.line},
                        {"pass", PassName(c.pass)},
                        {"header", text(c.header)},
                        {"firstEntry", c.firstEntry},
                        {"endEntry", c.endEntry},
                        {"discarded", c.discarded}});
  j["sections"] = std::move(sections);
  j["entries"] = JsonEntries(s, text);
  j["ordinaryCount"] = s.ordinaryCount;
  j["decision"] = DecisionName(s.decision);
  j["decisionEntry"] = s.decisionEntry;
  j["oneByOne"] = s.oneByOne;
  j["explanation"] = text(DecisionText(s, nullptr));
  j["asks"] = JsonAsks(s.asks, text);
  j["actions"] = JsonActions(s.actions, text);
  j["menu"] = JsonMenu(s.menu, text);
  Json commands = Json::array();
  for (const CheckCommand& c : s.commands)
    commands.push_back({{"id", kIdEntryBase + c.entry},
                        {"label", text(c.label)},
                        {"asks", JsonAsks(c.asks, text)},
                        {"actions", JsonActions(c.actions, text)}});
  j["commands"] = std::move(commands);
  return j;
}

}  // namespace

std::string FormatReportText(const CheckReport& r, TextEncoder encode) {
  std::string out = "configuration: " + Enc(encode, r.configPath) + " (" + r.edition + ")\n";
  if (!r.readable) return out + "cannot be read\n";
  out += "command line: " + Enc(encode, r.commandLine) + "\n";
  out += "start-up: " + r.path + "\n";
  out += "targets: " + std::to_string(r.targets.size()) + "\n";
  for (size_t i = 0; i < r.targets.size(); ++i)
    out += "  " + Enc(encode, r.targets[i]) + "  (" + r.targetKinds[i] + ")\n";
  for (const CheckAction& a : r.otherActions) out += "  would " + ActionText(a, encode) + "\n";
  for (size_t i = 0; i < r.selections.size(); ++i)
    SelectionText(out, r.selections[i], i + 1, encode);
  out += "\nwarnings: " + std::to_string(r.warnings.size()) + "\n";
  for (const CheckWarning& w : r.warnings) {
    out += w.line > 0 ? "  line " + std::to_string(w.line) : std::string("  file");
    out += " [" + w.code + "] " + (w.code == "message" ? w.message : Enc(encode, w.message)) + "\n";
  }
  return out;
}

std::string FormatReportJson(const CheckReport& r, TextEncoder encode) {
  const JsonText text{encode};
  Json j{{"configuration", text(r.configPath)},
         {"edition", r.edition},
         {"readable", r.readable},
         {"commandLine", text(r.commandLine)},
         {"startup", r.path}};
  Json targets = Json::array();
  for (size_t i = 0; i < r.targets.size(); ++i)
    targets.push_back({{"target", text(r.targets[i])}, {"kind", r.targetKinds[i]}});
  j["targets"] = std::move(targets);
  j["actions"] = JsonActions(r.otherActions, text);
  Json selections = Json::array();
  for (const CheckSelection& s : r.selections) selections.push_back(JsonSelection(s, text));
  j["selections"] = std::move(selections);
  Json warnings = Json::array();
  for (const CheckWarning& w : r.warnings)
    warnings.push_back({{"line", w.line},
                        {"code", w.code},
                        {"message", w.code == "message" ? w.message : text(w.message)}});
  j["warnings"] = std::move(warnings);
  j["status"] = r.status;
  // Text that is not UTF-8 after all (a configuration in another code page)
  // is written with replacement characters rather than refused.
  return j.dump(-1, ' ', false, Json::error_handler_t::replace) + "\n";
}

}  // namespace zolto
