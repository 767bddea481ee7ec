// The window-system calls the run-time object makes, as a seam: USER32 on
// Windows (host/win32), our own small window and message-queue layer for
// the native runner (sim/native).
#pragma once

#include <cstdint>

#include "platform/platform.h"

namespace tenrek::host {

class WindowSystem {
 public:
  virtual ~WindowSystem() = default;

  // Registers the message window's class "BasicClass" (CS_HREDRAW |
  // CS_VREDRAW, DefWindowProcA, arrow cursor, background COLOR_SCROLLBAR+1)
  // for `instance`. True on success.
  virtual bool RegisterMessageClass(ModuleHandle instance) = 0;
  virtual void UnregisterMessageClass(ModuleHandle instance) = 0;

  // Creates the hidden message window: class "BasicClass", WS_CHILD |
  // WS_VISIBLE, no title, at (1, 1), 1 by 1, child of `parent` with child
  // identifier `identifier`, then hides it (SW_HIDE). Null on failure.
  virtual WindowHandle CreateMessageWindow(WindowHandle parent, int32_t identifier,
                                           ModuleHandle instance) = 0;
  virtual void DestroyMessageWindow(WindowHandle window) = 0;

  // GetPropA: the value the window holds under `name` (string or atom), or null.
  virtual void* GetWindowProperty(WindowHandle window, const char* name) = 0;

  // PostMessageA with wParam and lParam 0; never sends. False when the
  // window does not exist.
  virtual bool PostWindowMessage(WindowHandle window, uint32_t message) = 0;

  // WM_PAINT: BeginPaint, fill the update rectangle with the null brush, EndPaint.
  virtual void PaintBlank(WindowHandle window) = 0;

  // Initialize's wait cursor: SetCursor(IDC_WAIT) returning the previous
  // cursor (null when there was none), SetCapture, SetCursor back, ReleaseCapture.
  virtual void* SetWaitCursor() = 0;
  virtual void CaptureMouse(WindowHandle window) = 0;
  virtual void RestoreCursor(void* previous) = 0;
  virtual void ReleaseMouse() = 0;
};

}  // namespace tenrek::host
