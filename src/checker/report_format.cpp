// The checker's arguments, and its report as text for a person and as JSON
// for scripts.
#include <cstdio>

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

class Json {
 public:
  explicit Json(TextEncoder encode) : encode_(encode) {}
  std::string out;

  void Raw(std::string_view text) { out += text; }
  void Str(std::string_view text, bool convert = true) {
    const std::string s = convert ? Enc(encode_, text) : std::string(text);
    out += '"';
    for (unsigned char c : s) {
      if (c == '"' || c == '\\') {
        out += '\\';
        out += static_cast<char>(c);
      } else if (c < 0x20 || c == 0x7F) {
        char buf[8];
        std::snprintf(buf, sizeof buf, "\\u%04x", c);
        out += buf;
      } else {
        out += static_cast<char>(c);
      }
    }
    out += '"';
  }
  void Key(std::string_view key) {
    Sep();
    Str(key, false);
    out += ':';
    first_ = true;  // the value that follows needs no comma
    inValue_ = true;
  }
  void Begin(char bracket) {
    Sep();
    out += bracket;
    first_ = true;
  }
  void End(char bracket) {
    out += bracket;
    first_ = false;
  }
  void Value(std::string_view text, bool convert = true) {
    Sep();
    Str(text, convert);
  }
  void Number(long long n) {
    Sep();
    out += std::to_string(n);
  }
  void Bool(bool b) {
    Sep();
    out += b ? "true" : "false";
  }

 private:
  // Writes the comma before every element but the first of its container.
  void Sep() {
    if (inValue_) {
      inValue_ = false;
      first_ = false;
      return;
    }
    if (!first_) out += ',';
    first_ = false;
  }
  TextEncoder encode_;
  bool first_ = true;
  bool inValue_ = false;
};

void JsonAction(Json& j, const CheckAction& a) {
  j.Begin('{');
  j.Key("kind"); j.Value(ActionName(a.kind));
  if (a.kind == CheckAction::Start) {
    j.Key("file"); j.Value(a.start.file);
    j.Key("parameters"); j.Value(a.start.parameters);
    j.Key("directory"); j.Value(a.start.directory);
    j.Key("accepted"); j.Bool(a.accepted);
  } else if (a.kind == CheckAction::Sleep) {
    j.Key("milliseconds"); j.Number(a.milliseconds);
  } else {
    j.Key("text"); j.Value(a.text, a.kind != CheckAction::Message);
  }
  j.End('}');
}

void JsonActions(Json& j, const char* key, const std::vector<CheckAction>& actions) {
  j.Key(key);
  j.Begin('[');
  for (const CheckAction& a : actions) JsonAction(j, a);
  j.End(']');
}

void JsonAsks(Json& j, const std::vector<CheckAsk>& asks) {
  j.Key("asks");
  j.Begin('[');
  for (const CheckAsk& a : asks) {
    j.Begin('{');
    j.Key("title"); j.Value(a.title);
    j.Key("default"); j.Value(a.defaultText);
    j.End('}');
  }
  j.End(']');
}

void JsonMenu(Json& j, const std::vector<CheckMenuItem>& items) {
  j.Begin('[');
  for (const CheckMenuItem& item : items) {
    j.Begin('{');
    j.Key("kind"); j.Value(MenuKindName(item.kind));
    j.Key("id"); j.Number(item.id);
    j.Key("label"); j.Value(item.label, !item.labelUtf8);
    if (!item.icon.empty()) { j.Key("icon"); j.Value(item.icon); }
    j.Key("columnBreak"); j.Bool(item.columnBreak);
    if (item.hasSubmenu) { j.Key("submenu"); JsonMenu(j, item.submenu); }
    j.End('}');
  }
  j.End(']');
}

void JsonSelection(Json& j, const CheckSelection& s) {
  j.Begin('{');
  j.Key("subject"); j.Value(s.subject);
  if (!s.key.empty()) { j.Key("key"); j.Value(s.key); }
  j.Key("headers");
  j.Begin('[');
  for (const CheckHeader& h : s.headers) {
    j.Begin('{');
    j.Key("line"); j.Number(h.line);
    j.Key("pass"); j.Value(PassName(h.pass));
    j.Key("text"); j.Value(h.text);
    j.Key("terms");
    j.Begin('[');
    for (const CheckTerm& t : h.terms) {
      j.Begin('{');
      j.Key("term"); j.Value(t.text);
      j.Key("exclusion"); j.Bool(t.exclusion);
      j.Key("outcome"); j.Value(OutcomeName(t));
      j.End('}');
    }
    j.End(']');
    j.Key("matched"); j.Bool(h.matched == 1);
    j.Key("exclusion"); j.Number(h.exclusion);
    j.Key("taken"); j.Bool(h.taken);
    j.End('}');
  }
  j.End(']');
  j.Key("sections");
  j.Begin('[');
  for (const CheckSection& c : s.sections) {
    j.Begin('{');
    j.Key("line"); j.Number(c.line);
    j.Key("pass"); j.Value(PassName(c.pass));
    j.Key("header"); j.Value(c.header);
    j.Key("firstEntry"); j.Number(c.firstEntry);
    j.Key("endEntry"); j.Number(c.endEntry);
    j.Key("discarded"); j.Bool(c.discarded);
    j.End('}');
  }
  j.End(']');
  j.Key("entries");
  j.Begin('[');
  for (size_t i = 0; i < s.entries.size(); ++i) {
    const Entry& e = s.entries[i];
    j.Begin('{');
    j.Key("id"); j.Number(kIdEntryBase + static_cast<long long>(i));
    j.Key("kind"); j.Value(KindName(e.kind));
    j.Key("level"); j.Number(e.level);
    j.Key("label"); j.Value(e.label);
    j.Key("command"); j.Value(e.command);
    j.Key("paramCount"); j.Number(e.paramCount);
    j.Key("parentIndex"); j.Number(e.parentIndex);
    j.Key("perTarget"); j.Number(e.perTarget);
    j.End('}');
  }
  j.End(']');
  j.Key("ordinaryCount"); j.Number(s.ordinaryCount);
  j.Key("decision"); j.Value(DecisionName(s.decision));
  j.Key("decisionEntry"); j.Number(s.decisionEntry);
  j.Key("oneByOne"); j.Bool(s.oneByOne);
  j.Key("explanation"); j.Value(DecisionText(s, nullptr));
  JsonAsks(j, s.asks);
  JsonActions(j, "actions", s.actions);
  j.Key("menu"); JsonMenu(j, s.menu);
  j.Key("commands");
  j.Begin('[');
  for (const CheckCommand& c : s.commands) {
    j.Begin('{');
    j.Key("id"); j.Number(kIdEntryBase + c.entry);
    j.Key("label"); j.Value(c.label);
    JsonAsks(j, c.asks);
    JsonActions(j, "actions", c.actions);
    j.End('}');
  }
  j.End(']');
  j.End('}');
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
  Json j(encode);
  j.Begin('{');
  j.Key("configuration"); j.Value(r.configPath);
  j.Key("edition"); j.Value(r.edition);
  j.Key("readable"); j.Bool(r.readable);
  j.Key("commandLine"); j.Value(r.commandLine);
  j.Key("startup"); j.Value(r.path);
  j.Key("targets");
  j.Begin('[');
  for (size_t i = 0; i < r.targets.size(); ++i) {
    j.Begin('{');
    j.Key("target"); j.Value(r.targets[i]);
    j.Key("kind"); j.Value(r.targetKinds[i]);
    j.End('}');
  }
  j.End(']');
  JsonActions(j, "actions", r.otherActions);
  j.Key("selections");
  j.Begin('[');
  for (const CheckSelection& s : r.selections) JsonSelection(j, s);
  j.End(']');
  j.Key("warnings");
  j.Begin('[');
  for (const CheckWarning& w : r.warnings) {
    j.Begin('{');
    j.Key("line"); j.Number(w.line);
    j.Key("code"); j.Value(w.code);
    j.Key("message"); j.Value(w.message, w.code != "message");
    j.End('}');
  }
  j.End(']');
  j.Key("status"); j.Number(r.status);
  j.End('}');
  j.Raw("\n");
  return j.out;
}

}  // namespace zolto
