// The run-time object's window calls, made with USER32.
#pragma once

#include "host/window_system.h"

namespace tenrek::host {

class Win32WindowSystem : public WindowSystem {
 public:
  bool RegisterMessageClass(ModuleHandle instance) override;
  void UnregisterMessageClass(ModuleHandle instance) override;
  WindowHandle CreateMessageWindow(WindowHandle parent, int32_t identifier,
                                   ModuleHandle instance) override;
  void DestroyMessageWindow(WindowHandle window) override;
  void* GetWindowProperty(WindowHandle window, const char* name) override;
  bool PostWindowMessage(WindowHandle window, uint32_t message) override;
  void PaintBlank(WindowHandle window) override;
  void* SetWaitCursor() override;
  void CaptureMouse(WindowHandle window) override;
  void RestoreCursor(void* previous) override;
  void ReleaseMouse() override;
};

// The class name of the message window.
inline constexpr char kMessageClassName[] = "BasicClass";

}  // namespace tenrek::host
