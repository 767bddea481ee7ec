#include "host/win32/setup_dialog.h"

#include <cstdio>
#include <vector>

#include "host/guard.h"
#include "host/renumber.h"
#include "resources/resource.h"

namespace tenrek::host {
namespace {

SetupContext* ContextOf(HWND dialog) {
  return reinterpret_cast<SetupContext*>(GetWindowLongPtrA(dialog, DWLP_USER));
}

// The edit box text, read as the dialog's 32,768-byte buffer holds it.
std::string ReadProgramBox(HWND dialog) {
  std::vector<char> buffer(kEditBoxBuffer, '\0');
  const int count = GetDlgItemTextA(dialog, IDC_SETUP_PROGRAM, buffer.data(), kEditBoxBuffer);
  return std::string(buffer.data(), count > 0 ? static_cast<std::size_t>(count) : 0);
}

void InitSetupDialog(HWND dialog, SetupContext* context) {
  SetWindowLongPtrA(dialog, DWLP_USER, reinterpret_cast<LONG_PTR>(context));
  CheckDlgButton(dialog, IDC_SETUP_ENCRYPT, context->encrypt ? BST_CHECKED : BST_UNCHECKED);
  SetDlgItemTextA(dialog, IDC_SETUP_PROGRAM, context->text.c_str());
  SetFocus(GetDlgItem(dialog, IDC_SETUP_PROGRAM));
}

// OK: keeps the text and the check box, unless the text would not fit the
// object; then the user is told and the dialog stays open with nothing lost.
void ConfirmSetup(HWND dialog, SetupContext& context) {
  std::string text = ReadProgramBox(dialog);
  if (text.size() > kMaxProgramText) {
    char message[160];
    std::snprintf(message, sizeof message,
                  "The program holds %u characters; an object keeps at most %u.",
                  static_cast<unsigned>(text.size()), static_cast<unsigned>(kMaxProgramText));
    ShowMessage(message);
    return;
  }
  context.encrypt = IsDlgButtonChecked(dialog, IDC_SETUP_ENCRYPT) == BST_CHECKED;
  context.text = std::move(text);
  EndDialog(dialog, IDOK);
}

// Renum: renumbers what the edit box holds and puts the result back, also
// when nothing changed. The object data is not touched.
void RenumberProgramBox(HWND dialog) {
  std::string text = ReadProgramBox(dialog);
  if (text.empty()) return;
  RenumberText(text);
  SetDlgItemTextA(dialog, IDC_SETUP_PROGRAM, text.c_str());
}

void OnSetupCommand(HWND dialog, int command) {
  SetupContext* context = ContextOf(dialog);
  if (context == nullptr) return;
  switch (command) {
    case IDOK: ConfirmSetup(dialog, *context); break;
    case IDCANCEL: EndDialog(dialog, -1); break;
    case IDC_SETUP_RENUM: RenumberProgramBox(dialog); break;
    default: break;
  }
}

}  // namespace

INT_PTR CALLBACK SetupDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  // Out of memory (or any failure) in Renum or OK: the dialog stays as
  // it was.
  Guarded([&] {
    if (message == WM_INITDIALOG) {
      InitSetupDialog(dialog, reinterpret_cast<SetupContext*>(lParam));
    } else if (message == WM_COMMAND) {
      OnSetupCommand(dialog, LOWORD(wParam));
    }
  });
  return 0;  // the focus is set by hand; everything else is left to the system
}

INT_PTR RunSetupDialog(HINSTANCE module, HWND owner, SetupContext& context) {
  return DialogBoxParamA(module, MAKEINTRESOURCEA(IDD_SETUP), owner, SetupDialogProc,
                         reinterpret_cast<LPARAM>(&context));
}

}  // namespace tenrek::host
