// Our own small stand-in for USER32, enough for the run-time object: a
// window table with properties and child identifiers, one window class,
// and a message queue. Posting queues a message; the host's message loop
// (DispatchPending) hands each one to the procedure the host set for its
// window, as a real loop dispatches to a window procedure. Messages for a
// window that no longer exists, or that has no procedure, are dropped.
#pragma once

#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <string>

#include "host/window_system.h"

namespace tenrek::host {

class NativeWindowSystem : public WindowSystem {
 public:
  using Procedure = std::function<void(WindowHandle window, uint32_t message)>;

  // ---- the module's side ----
  bool RegisterMessageClass(ModuleHandle instance) override;
  void UnregisterMessageClass(ModuleHandle instance) override;
  // Fails while "BasicClass" is not registered, as CreateWindowExA does.
  WindowHandle CreateMessageWindow(WindowHandle parent, int32_t identifier,
                                   ModuleHandle instance) override;
  void DestroyMessageWindow(WindowHandle window) override { DestroyWindow(window); }
  void* GetWindowProperty(WindowHandle window, const char* name) override;
  bool PostWindowMessage(WindowHandle window, uint32_t message) override;
  void PaintBlank(WindowHandle) override {}
  void* SetWaitCursor() override { return nullptr; }
  void CaptureMouse(WindowHandle) override {}
  void RestoreCursor(void*) override {}
  void ReleaseMouse() override {}

  // ---- the host's side ----
  WindowHandle CreateTopLevelWindow();
  void DestroyWindow(WindowHandle window);
  bool IsWindow(WindowHandle window) const;
  bool IsClassRegistered() const { return classRegistered_; }
  void SetWindowProperty(WindowHandle window, const char* name, void* value);
  void SetProcedure(WindowHandle window, Procedure procedure);
  // Runs the message loop until nothing is pending, including what the
  // procedures post meanwhile.
  void DispatchPending();
  std::size_t PendingCount() const { return queue_.size(); }

 private:
  struct Window {
    WindowHandle parent = nullptr;
    int32_t identifier = 0;
    std::map<std::string, void*> properties;
    Procedure procedure;
  };
  struct Message {
    WindowHandle window;
    uint32_t message;
  };

  WindowHandle NewWindow(WindowHandle parent, int32_t identifier);
  Window* Find(WindowHandle window);

  std::map<uintptr_t, Window> windows_;
  uintptr_t nextHandle_ = 0x10010;
  std::deque<Message> queue_;
  bool classRegistered_ = false;
};

}  // namespace tenrek::host
