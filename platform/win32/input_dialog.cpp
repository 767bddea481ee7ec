#include "platform/win32/input_dialog.h"

#include "resources/resource.h"

namespace tenrek {
namespace {

void InitInputDialog(HWND dialog, InputDialogRequest* request) {
  SetWindowLongPtrA(dialog, DWLP_USER, reinterpret_cast<LONG_PTR>(request));
  SetWindowTextA(dialog, request->title);
  SetDlgItemTextA(dialog, IDC_INPUT_PROMPT, request->prompt);
  CenterOverParent(dialog);
}

void ConfirmInputDialog(HWND dialog) {
  auto* request = reinterpret_cast<InputDialogRequest*>(GetWindowLongPtrA(dialog, DWLP_USER));
  if (request != nullptr) {
    GetDlgItemTextA(dialog, IDC_INPUT_ANSWER, request->answer, sizeof request->answer);
  }
  EndDialog(dialog, IDC_INPUT_OK);
}

}  // namespace

INT_PTR CALLBACK InputDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_INITDIALOG:
      InitInputDialog(dialog, reinterpret_cast<InputDialogRequest*>(lParam));
      return TRUE;  // the system puts the focus on the edit box
    case WM_COMMAND:
      // Only the hidden default button (Enter) ends the dialog; Escape and
      // the close box send IDCANCEL, which is left unhandled on purpose.
      if (LOWORD(wParam) == IDC_INPUT_OK) {
        ConfirmInputDialog(dialog);
        return TRUE;
      }
      return FALSE;
    default: return FALSE;
  }
}

std::optional<std::string> RunInputDialog(HINSTANCE module, const std::string& title,
                                          const std::string& prompt) {
  InputDialogRequest request;
  request.title = title.c_str();
  request.prompt = prompt.c_str();
  const INT_PTR result = DialogBoxParamA(module, MAKEINTRESOURCEA(IDD_INPUT), GetActiveWindow(),
                                         InputDialogProc, reinterpret_cast<LPARAM>(&request));
  if (result == -1 || result == 0) return std::nullopt;
  return std::string(request.answer);
}

void CenterOverParent(HWND window) {
  RECT own, parent, desktop;
  GetWindowRect(window, &own);
  const LONG width = own.right - own.left;
  const LONG height = own.bottom - own.top;
  // A dialog without an owner is centred over the desktop instead.
  HWND parentWindow = GetParent(window);
  GetWindowRect(GetDesktopWindow(), &desktop);
  if (parentWindow == nullptr || !GetWindowRect(parentWindow, &parent)) parent = desktop;

  LONG left = parent.left + ((parent.right - parent.left - width) >> 1);
  LONG top = parent.top + ((parent.bottom - parent.top - height) >> 1);
  if (top + height > desktop.bottom) top = desktop.bottom - height;
  if (left + width > desktop.right) left = desktop.right - width;
  if (left < 0) left = 0;
  if (top < 0) top = 0;
  MoveWindow(window, left, top, width, height, FALSE);
}

}  // namespace tenrek
