// The setup dialog (template 20003): the program's edit box, Renum, the
// "Encrypt Program Block" check box, OK, and Escape to cancel.
#pragma once

#include "platform/win32/windows_include.h"

#include <string>

namespace tenrek::host {

// The program text an object can hold: the editor's working buffer is
// 24,576 bytes with the terminator.
inline constexpr std::size_t kMaxProgramText = 24575;
// The edit box is read into a 32,768-byte buffer.
inline constexpr int kEditBoxBuffer = 32768;

// What the dialog edits. `text` comes in plain and goes out as typed;
// `encrypt` is the check box state. Neither reaches the object data unless
// the dialog ends with OK (1).
struct SetupContext {
  std::string text;
  bool encrypt = false;
};

// Runs the dialog modally, owned by `owner`. Returns 1 after OK, -1 after
// Escape, and 0 or -1 when the dialog could not be shown.
INT_PTR RunSetupDialog(HINSTANCE module, HWND owner, SetupContext& context);

INT_PTR CALLBACK SetupDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

}  // namespace tenrek::host
