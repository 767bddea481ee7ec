// The INPUT dialog (template 104): a prompt, one edit box, and a hidden
// default button that Enter presses. There is no cancel.
#pragma once

#include "platform/win32/windows_include.h"

#include <optional>
#include <string>

namespace tenrek {

// What the dialog procedure works with; lives on the caller's stack for
// the dialog's lifetime.
struct InputDialogRequest {
  char answer[256] = {};
  const char* prompt = "";
  const char* title = "";
};

INT_PTR CALLBACK InputDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

// Shows the dialog owned by the active window and returns the typed text,
// or nothing when the dialog could not be created.
std::optional<std::string> RunInputDialog(HINSTANCE module, const std::string& title,
                                          const std::string& prompt);

// Centres `window` over its parent, then moves it back inside the desktop
// where it would cross the bottom or right edge, and never to a negative
// position.
void CenterOverParent(HWND window);

}  // namespace tenrek
