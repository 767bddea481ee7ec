// The platform of Tenrek.mfx: real message boxes, the INPUT dialog of the
// module's resources, notifications posted to the message window, and the
// local clock.
#pragma once

#include "platform/platform.h"

namespace tenrek {

class Win32Platform : public Platform {
 public:
  // `module` owns the INPUT dialog template.
  explicit Win32Platform(ModuleHandle module) : module_(module) {}

  void ShowMessageBox(std::string_view caption, std::string_view text, int32_t style) override;
  // Answers nothing only when the dialog cannot be shown at all.
  std::optional<std::string> AskInput(const InputRequest& request) override;
  void PostNotification(WindowHandle window, HostNotice notice) override;
  LocalTime Now() override;
  void WriteOutput(std::string_view text) override;

 private:
  ModuleHandle module_;
};

}  // namespace tenrek
