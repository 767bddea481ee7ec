#include "sim/native/native_window_system.h"

#include <vector>

namespace tenrek::host {

namespace {

uintptr_t Key(WindowHandle window) { return reinterpret_cast<uintptr_t>(window); }

// A property name is a string, or an atom: a value below 0x10000 in the
// pointer, as MAKEINTATOM makes it.
std::string PropertyKey(const char* name) {
  const uintptr_t value = reinterpret_cast<uintptr_t>(name);
  if (value < 0x10000) return "#" + std::to_string(value);
  return name;
}

}  // namespace

bool NativeWindowSystem::RegisterMessageClass(ModuleHandle) {
  if (classRegistered_) return false;  // RegisterClassExA fails for a class that exists
  classRegistered_ = true;
  return true;
}

void NativeWindowSystem::UnregisterMessageClass(ModuleHandle) { classRegistered_ = false; }

WindowHandle NativeWindowSystem::CreateMessageWindow(WindowHandle parent, int32_t identifier,
                                                     ModuleHandle) {
  if (!classRegistered_) return nullptr;
  if (parent != nullptr && !IsWindow(parent)) return nullptr;
  return NewWindow(parent, identifier);
}

WindowHandle NativeWindowSystem::CreateTopLevelWindow() { return NewWindow(nullptr, 0); }

WindowHandle NativeWindowSystem::NewWindow(WindowHandle parent, int32_t identifier) {
  const uintptr_t handle = nextHandle_;
  nextHandle_ += 0x10;
  Window& window = windows_[handle];
  window.parent = parent;
  window.identifier = identifier;
  return reinterpret_cast<WindowHandle>(handle);
}

NativeWindowSystem::Window* NativeWindowSystem::Find(WindowHandle window) {
  auto it = windows_.find(Key(window));
  return it != windows_.end() ? &it->second : nullptr;
}

bool NativeWindowSystem::IsWindow(WindowHandle window) const {
  return windows_.count(Key(window)) != 0;
}

// Children go with their parent, as with DestroyWindow.
void NativeWindowSystem::DestroyWindow(WindowHandle window) {
  if (windows_.erase(Key(window)) == 0) return;
  std::vector<WindowHandle> children;
  for (const auto& [handle, child] : windows_) {
    if (child.parent == window) children.push_back(reinterpret_cast<WindowHandle>(handle));
  }
  for (WindowHandle child : children) DestroyWindow(child);
}

void* NativeWindowSystem::GetWindowProperty(WindowHandle window, const char* name) {
  Window* found = Find(window);
  if (found == nullptr || name == nullptr) return nullptr;
  auto it = found->properties.find(PropertyKey(name));
  return it != found->properties.end() ? it->second : nullptr;
}

void NativeWindowSystem::SetWindowProperty(WindowHandle window, const char* name, void* value) {
  if (Window* found = Find(window); found != nullptr && name != nullptr) {
    found->properties[PropertyKey(name)] = value;
  }
}

void NativeWindowSystem::SetProcedure(WindowHandle window, Procedure procedure) {
  if (Window* found = Find(window)) found->procedure = std::move(procedure);
}

bool NativeWindowSystem::PostWindowMessage(WindowHandle window, uint32_t message) {
  if (!IsWindow(window)) return false;
  queue_.push_back({window, message});
  return true;
}

void NativeWindowSystem::DispatchPending() {
  while (!queue_.empty()) {
    const Message next = queue_.front();
    queue_.pop_front();
    Window* window = Find(next.window);
    if (window == nullptr || !window->procedure) continue;
    // A copy: the procedure may replace itself or destroy its window.
    const Procedure procedure = window->procedure;
    procedure(next.window, next.message);
  }
}

}  // namespace tenrek::host
