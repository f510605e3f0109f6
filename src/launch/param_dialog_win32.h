// The parameter dialog "OPTION": one line of text for a "%X" prompt or for
// a template typed when an entry is chosen with Ctrl.
#pragma once

#include <windows.h>

#include "app/run.h"

namespace zolto {

// Opens the modal dialog at the menu's anchor; 0 cancelled, 4 accepted, 3
// accepted with Ctrl held (the answer is in run.launch.ParameterAnswer).
int OpenParamDialog(RunState& run, HINSTANCE instance, HWND owner);

// While the dialog is open, files dropped on the host window go into it.
bool ParamDialogIsOpen();
void DropIntoParamDialog(HDROP drop, HWND host);

}  // namespace zolto
