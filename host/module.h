// What the loaded module knows about its surroundings. A DLL has such
// state by nature (its instance handle, whether its window class is
// registered); it is kept in this one record. The Windows entry point
// fills it when the process attaches the module; the native runner
// installs its own platform and window system.
#pragma once

#include <cstdint>

#include "host/window_system.h"
#include "interp/memory_budget.h"
#include "platform/platform.h"

namespace tenrek::host {

enum class ClassState : int32_t {
  NotRegistered = 0,
  Attempted = 2,  // registration failed; Initialize tries again
  Registered = 3,
};

struct HostModule {
  ModuleHandle instance = nullptr;
  ClassState classState = ClassState::NotRegistered;
  // Boxes, the INPUT dialog and notifications of every Interpreter the
  // module makes go through this platform.
  Platform* platform = nullptr;
  WindowSystem* windows = nullptr;
  // Bounds for every Interpreter the module makes, for harnesses that must
  // get control back (fuzzing): statements per command (0: no limit) and
  // the memory budget.
  uint64_t statementLimit = 0;
  std::size_t memoryBudget = kDefaultMemoryBudget;
};

// The module's record.
HostModule& Module();

// Installs the instance handle, platform and window system (the class
// state is reset). Returns the record that was installed before.
HostModule InstallHostModule(ModuleHandle instance, Platform* platform, WindowSystem* windows);

// Installs for the lifetime of a scope and puts the previous record back.
class ScopedHostModule {
 public:
  ScopedHostModule(ModuleHandle instance, Platform* platform, WindowSystem* windows)
      : previous_(InstallHostModule(instance, platform, windows)) {}
  ~ScopedHostModule() { Module() = previous_; }
  ScopedHostModule(const ScopedHostModule&) = delete;
  ScopedHostModule& operator=(const ScopedHostModule&) = delete;

 private:
  HostModule previous_;
};

}  // namespace tenrek::host
