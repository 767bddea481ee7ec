// The machine a native runner plays host scripts on: our own window system
// (NativeWindowSystem) as the host's windows and message loop, and, as the
// module's Platform, boxes and the INPUT dialog that report to the runner
// and run their modal loop there. Install it into the module with
// ScopedHostModule(…, &environment, &environment.Windows()).
#pragma once

#include <string>

#include "host/notices.h"
#include "platform/platform.h"
#include "sim/native/native_window_system.h"
#include "sim/runner/runner.h"

namespace tenrek::host {

class NativeEnvironment : public HostEnvironment, public Platform {
 public:
  // Works in a fresh temporary folder, removed again at the end; the
  // process's current folder is that folder meanwhile (LOAD and SAVE use
  // it), and is put back afterwards.
  NativeEnvironment();
  ~NativeEnvironment() override;
  NativeEnvironment(const NativeEnvironment&) = delete;
  NativeEnvironment& operator=(const NativeEnvironment&) = delete;

  // False when no working folder could be made; Problem() says why.
  bool Ready() const { return problem_.empty(); }
  const std::string& Problem() const { return problem_; }
  NativeWindowSystem& Windows() { return windows_; }

  // HostEnvironment
  WindowHandle MainWindow() override { return mainWindow_; }
  void RouteWindowMessages(WindowHandle window, const char* propertyName, RunData* run,
                           RunHost* host, WindowProcedure procedure) override;
  void PumpMessages() override { windows_.DispatchPending(); }
  void PostWindowMessage(WindowHandle window, uint32_t message) override {
    windows_.PostWindowMessage(window, message);
  }
  std::string WorkingFolder() override { return folder_; }
  void SetObserver(ModalObserver* observer) override { observer_ = observer; }

  // Platform, for the module's Interpreters
  void ShowMessageBox(std::string_view caption, std::string_view text, int32_t style) override;
  std::optional<std::string> AskInput(const InputRequest& request) override;
  void PostNotification(WindowHandle window, HostNotice notice) override {
    windows_.PostWindowMessage(window, MessageFor(notice));
  }
  LocalTime Now() override;
  void WriteOutput(std::string_view text) override;

 private:
  NativeWindowSystem windows_;
  WindowHandle mainWindow_ = nullptr;
  ModalObserver* observer_ = nullptr;
  std::string folder_;
  std::string previousFolder_;
  std::string problem_;
};

}  // namespace tenrek::host
