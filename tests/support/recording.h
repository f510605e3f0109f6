// Test doubles that record what the core asks of the front end and of the
// menu implementation, as short texts a test compares with what it expects.
#pragma once

#include <map>
#include <string>
#include <vector>

#include "app/run.h"
#include "menu/menu.h"

namespace zolto {

// The parameter dialog's answers, as rows of the tables give them.
constexpr DialogResult kOk = DialogResult::Confirmed;
constexpr DialogResult kCtrlOk = DialogResult::ConfirmedWithControl;
constexpr DialogResult kCancel = DialogResult::Cancelled;

// The front end and the menu actions of a run. Logs "menu T R" for each menu
// shown (targetless, reopenInPlace), "ask <default>|<title or ->" for each
// parameter dialog, "about" and "shell N". Dialogs are answered from
// `answers` in turn (Rewind() starts them over); once they run out, every
// dialog is cancelled. The fuzz targets' front end builds on it.
class RecordingFrontend : public Frontend, public MenuActions {
 public:
  struct Answer {
    DialogResult result;
    std::string text;
  };
  explicit RecordingFrontend(RunState& run) : run_(run) { run.frontend = this; }

  std::vector<std::string> log;
  std::vector<Answer> answers;
  void Rewind() { next_ = 0; }

  void ShowPopupMenu(MenuKind kind, MenuPlace place) override {
    log.push_back(std::string("menu ") + (kind == MenuKind::Targetless ? "1" : "0") +
                  (place == MenuPlace::Anchor ? " 1" : " 0"));
  }
  DialogResult OpenParameterDialog() override {
    const LaunchState& l = run_.launch;
    log.push_back("ask " + l.ParameterDefault + "|" + (l.TitleGiven ? l.ParameterTitle : "-"));
    if (next_ >= answers.size()) return DialogResult::Cancelled;
    const Answer& a = answers[next_++];
    run_.launch.ParameterAnswer = a.text;
    return a.result;
  }
  void ShowAbout() override { log.push_back("about"); }
  void InvokeShellCommand(int id) override { log.push_back("shell " + std::to_string(id)); }

 protected:
  RunState& run_;

 private:
  size_t next_ = 0;
};

// A menu builder that keeps each menu's items as texts: "id:label",
// "id:~label@slot=icon" (an icon item), "---id" (a separator), "[owner id]"
// (a preview), "shell" (the Explorer menu); "|" after an item that starts a
// column; "?submenu id" where a submenu was attached to no item. Tree()
// shows a menu with each submenu in braces after its item.
class RecordingMenuBuilder : public MenuBuilder {
 public:
  struct Item {
    std::string text;
    MenuHandle submenu = 0;
  };
  std::map<MenuHandle, std::vector<Item>> menus;
  std::vector<MenuHandle> destroyed;
  int releases = 0;
  bool pictureLoads = true;
  bool captureLoads = true;

  std::string Tree(MenuHandle menu) {
    std::string out;
    for (const Item& item : menus[menu])
      out += (out.empty() ? "" : ", ") + item.text +
             (item.submenu ? "{" + Tree(item.submenu) + "}" : "");
    return out;
  }

  MenuHandle CreateMenu() override {
    menus[++last_];
    return last_;
  }
  void AppendItem(MenuHandle m, int id, const std::string& label, bool brk) override {
    menus[m].push_back({std::to_string(id) + ":" + label + (brk ? "|" : "")});
  }
  void AppendIconItem(MenuHandle m, int id, const std::string& text, const IconSource& icon,
                      int slot, bool brk) override {
    const std::string source = icon.kind == IconSource::SystemIcon ? "MYSYS" : icon.path;
    AppendItem(m, id, "~" + text + "@" + std::to_string(slot) + "=" + source, brk);
  }
  void AppendCaptionItem(MenuHandle m, int id, const std::string& text) override {
    AppendItem(m, id, text, false);
  }
  void AppendHeaderItem(MenuHandle m, const std::string& label, const IconSource* icon) override {
    if (icon) AppendIconItem(m, kIdHeader, label, *icon, 0, false);
    else AppendItem(m, kIdHeader, label, false);
  }
  void AppendSeparator(MenuHandle m, int id) override {
    menus[m].push_back({"---" + std::to_string(id)});
  }
  void AppendOwnerDrawn(MenuHandle m, int id, bool brk) override {
    menus[m].push_back({"[owner " + std::to_string(id) + "]" + (brk ? "|" : "")});
  }
  // The submenu belongs to the last item of menu with that id.
  void AttachSubmenu(MenuHandle m, int id, MenuHandle sub) override {
    for (auto item = menus[m].rbegin(); item != menus[m].rend(); ++item) {
      if (item->text.rfind(std::to_string(id) + ":", 0) == 0) {
        item->submenu = sub;
        return;
      }
    }
    menus[m].push_back({"?submenu " + std::to_string(id)});
  }
  void RemoveAllItems(MenuHandle m) override { menus[m].clear(); }
  void DestroySubmenus(MenuHandle) override {}
  void DestroyMenu(MenuHandle m) override { destroyed.push_back(m); }
  void AddShellMenu(MenuHandle m) override { menus[m].push_back({"shell"}); }
  bool LoadPicturePreview(const std::string&) override { return pictureLoads; }
  bool LoadCapturePreview(const std::string&) override { return captureLoads; }
  void ReleaseMenuResources() override { ++releases; }

 private:
  MenuHandle last_ = 0;
};

}  // namespace zolto
