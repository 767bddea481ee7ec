// The one place where the interpreter meets the outside world. The core
// never includes an operating-system header; each build supplies one
// implementation of this interface (console, recording for tests, Win32).
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace tenrek {

// Opaque handles owned by the host side. The core only stores and passes
// them back.
using WindowHandle = void*;
using ModuleHandle = void*;

struct LocalTime {
  int year = 1970;  // full year, e.g. 2026
  int month = 1;    // 1 to 12
  int day = 1;      // 1 to 31
  int hour = 0;     // 0 to 23
  int minute = 0;
  int second = 0;
};

// Message-box styles used by the core (the values of the Win32 MB_ flags).
inline constexpr int32_t kMbOk = 0;
inline constexpr int32_t kMbIconExclamation = 48;

// What the core tells the host's message window about.
enum class HostNotice {
  Tag,      // MMFTAG raised a tag
  Error,    // an error was reported
  Running,  // a program is running
};

struct InputRequest {
  std::string_view title;         // dialog caption (messageTitle)
  std::string_view prompt;        // text above the edit box
  ModuleHandle module = nullptr;  // owner of the dialog template
};

class Platform {
 public:
  virtual ~Platform() = default;

  // A modal message box (PRINT, LIST, the Renum error box). Returns when the
  // user has closed it; notifications pending meanwhile may be delivered.
  virtual void ShowMessageBox(std::string_view caption, std::string_view text, int32_t style) = 0;

  // The modal INPUT dialog. Returns the typed text (at most 255
  // characters are kept by the caller), or nothing when no answer can ever
  // come (end of input): the caller then ends the run as a break does.
  virtual std::optional<std::string> AskInput(const InputRequest& request) = 0;

  // Posts a notice to the message window; never sends it.
  virtual void PostNotification(WindowHandle window, HostNotice notice) = 0;

  virtual LocalTime Now() = 0;

  // Standard output (RENUM's warning).
  virtual void WriteOutput(std::string_view text) = 0;
};

}  // namespace tenrek
