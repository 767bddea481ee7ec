// The machine a host script plays on under Windows: a hidden main window,
// USER32's message loop, the object's message window routed to the
// procedure the module registered, and automation of every box and dialog
// the module shows.
//
// Boxes and dialogs are caught as they are created (a thread-local CBT
// hook subclasses every dialog window) and answered when their
// WM_INITDIALOG has returned, before their own modal loop has delivered
// anything: the runner is told (which prints the box and runs the queued
// host events inside it), the reply is typed in, and the default button is
// pressed. The module's imports of MessageBoxA (for the exact style),
// EndDialog (to know when a dialog has ended) and WriteFile (its standard
// output) are pointed at recording wrappers.
#pragma once

#include <functional>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "sim/runner/runner.h"
#include "windows/test_host/loaded_module.h"

namespace tenrek::testhost {

class Win32Environment : public host::HostEnvironment {
 public:
  explicit Win32Environment(LoadedModule& module);
  ~Win32Environment() override;
  Win32Environment(const Win32Environment&) = delete;
  Win32Environment& operator=(const Win32Environment&) = delete;

  bool Ready() const { return problem_.empty(); }
  const std::string& Problem() const { return problem_; }

  // HostEnvironment
  WindowHandle MainWindow() override { return mainWindow_; }
  void RouteWindowMessages(WindowHandle window, const char* propertyName, host::RunData* run,
                           host::RunHost* host, host::WindowProcedure procedure) override;
  void PumpMessages() override;
  void PostWindowMessage(WindowHandle window, uint32_t message) override;
  std::string WorkingFolder() override { return folder_; }
  void SetObserver(host::ModalObserver* observer) override { observer_ = observer; }

  // While the next setup dialog is up, `steps` is called with it; the
  // host then presses Escape unless the module has ended the dialog.
  void SetSetupSteps(std::function<void(HWND)> steps) { setupSteps_ = std::move(steps); }
  // True once the module ended `dialog` (EndDialog).
  bool DialogEnded(HWND dialog) const { return ended_.count(dialog) != 0; }

  // The setup dialog's Renum on `text` (a buffer of `capacity` bytes):
  // opens the dialog through EditObject, types the text, presses Renum,
  // reads the edit box back and leaves with Escape.
  void RenumberInSetupDialog(char* text, int32_t capacity);

  // Saves a picture of the first box or dialog, taken just before the host
  // answers it, as a 24-bit BMP file.
  void CaptureFirstDialog(std::string path) { screenshotPath_ = std::move(path); }

  static Win32Environment* Current() { return current_; }

 private:
  struct Route {
    WNDPROC original = nullptr;
    host::RunHost* host = nullptr;
    host::WindowProcedure procedure = nullptr;
    std::string propertyName;
  };

  static LRESULT CALLBACK MainWindowProc(HWND, UINT, WPARAM, LPARAM);
  static LRESULT CALLBACK RoutedWindowProc(HWND, UINT, WPARAM, LPARAM);
  static LRESULT CALLBACK DialogSubclassProc(HWND, UINT, WPARAM, LPARAM);
  static LRESULT CALLBACK CbtHook(int code, WPARAM wParam, LPARAM lParam);
  static int WINAPI RecordMessageBox(HWND owner, LPCSTR text, LPCSTR caption, UINT style);
  static BOOL WINAPI RecordEndDialog(HWND dialog, INT_PTR result);
  static BOOL WINAPI RecordWriteFile(HANDLE file, LPCVOID data, DWORD size, LPDWORD written,
                                     LPOVERLAPPED overlapped);

  bool MakeWorkingFolder();
  bool RedirectModuleImports();
  void OnDialogReady(HWND dialog);
  void AnswerMessageBox(HWND box);
  void AnswerInputDialog(HWND dialog);
  void RunSetupDialog(HWND dialog);
  void TakeScreenshot(HWND dialog);

  static Win32Environment* current_;

  LoadedModule& module_;
  HWND mainWindow_ = nullptr;
  HHOOK cbtHook_ = nullptr;
  host::ModalObserver* observer_ = nullptr;
  std::map<HWND, Route> routes_;
  std::set<HWND> ended_;
  std::vector<UINT> boxStyles_;  // of the boxes being shown, innermost last
  std::function<void(HWND)> setupSteps_;
  std::string screenshotPath_;
  std::string folder_;
  std::string previousFolder_;
  std::string problem_;

  decltype(&MessageBoxA) realMessageBox_ = nullptr;
  decltype(&EndDialog) realEndDialog_ = nullptr;
  decltype(&WriteFile) realWriteFile_ = nullptr;
};

// The text of a window or control.
std::string WindowText(HWND window);

}  // namespace tenrek::testhost
