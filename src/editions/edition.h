// The two programs built from one source differ in a few names and in which
// features exist. Each executable picks its Edition once, in its entry; the
// core reads the table instead of testing the edition in its code paths.
#pragma once

#include <string_view>

namespace zolto {

struct RunState;

struct Edition {
  const char* programName;         // the edition's own name
  const char* secondConfigName;    // configuration file tried after <exe>.ini
  const char* helpTextName;        // help text beside the program
  const char* configErrorCaption;  // caption of "設定ファイル異常" (UTF-8)
  bool webTargets;                 // web addresses are targets
  bool headerPatterns;             // pattern, kind and expression headers
  bool webPreview;                 // "@browse" and the page capture
  bool previewBitmapFiles;         // a temp folder for captured pages
  const char* aboutText;           // the about box (UTF-8)
  bool targetMacrosNeedTarget;     // only "%P" for a target that does not exist
  // How menu sections are chosen for the first target.
  int (*selectSections)(RunState& run, std::string_view text);
};

extern const Edition kFullEdition;
extern const Edition kBasicEdition;

}  // namespace zolto
