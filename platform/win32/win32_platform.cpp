#include "platform/win32/win32_platform.h"

#include "platform/win32/windows_include.h"

#include "host/notices.h"
#include "platform/win32/input_dialog.h"

namespace tenrek {

void Win32Platform::ShowMessageBox(std::string_view caption, std::string_view text, int32_t style) {
  // The views need not be terminated; the box needs terminated texts.
  const std::string captionText(caption);
  const std::string boxText(text);
  MessageBoxA(nullptr, boxText.c_str(), captionText.c_str(), static_cast<UINT>(style));
}

std::optional<std::string> Win32Platform::AskInput(const InputRequest& request) {
  HINSTANCE module = static_cast<HINSTANCE>(request.module ? request.module : module_);
  return RunInputDialog(module, std::string(request.title), std::string(request.prompt));
}

void Win32Platform::PostNotification(WindowHandle window, HostNotice notice) {
  if (window != nullptr) PostMessageA(static_cast<HWND>(window), host::MessageFor(notice), 0, 0);
}

LocalTime Win32Platform::Now() {
  SYSTEMTIME now;
  GetLocalTime(&now);
  return LocalTime{now.wYear, now.wMonth, now.wDay, now.wHour, now.wMinute, now.wSecond};
}

// Straight to the standard output handle, unbuffered, so the text keeps its
// place among whatever else the process writes. A host without a console
// has no such handle, and the text goes nowhere.
void Win32Platform::WriteOutput(std::string_view text) {
  HANDLE output = GetStdHandle(STD_OUTPUT_HANDLE);
  if (output == nullptr || output == INVALID_HANDLE_VALUE) return;
  while (!text.empty()) {
    DWORD written = 0;
    if (!WriteFile(output, text.data(), static_cast<DWORD>(text.size()), &written, nullptr) ||
        written == 0) {
      return;
    }
    text.remove_prefix(written);
  }
}

}  // namespace tenrek
