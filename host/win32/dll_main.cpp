// The library's entry point. On process attach it records the module
// instance (the owner of every resource and of the window class) and
// installs the Win32 platform and window system that every instance uses.
#include "platform/win32/windows_include.h"

#include "host/guard.h"
#include "host/module.h"
#include "host/win32/win32_window_system.h"
#include "platform/win32/win32_platform.h"

namespace {

// One of each per loaded module, alive as long as the library is.
tenrek::Win32Platform& ModulePlatform(HINSTANCE instance) {
  static tenrek::Win32Platform platform(instance);
  return platform;
}

tenrek::host::Win32WindowSystem& ModuleWindows() {
  static tenrek::host::Win32WindowSystem windows;
  return windows;
}

}  // namespace

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
  if (reason != DLL_PROCESS_ATTACH) return TRUE;
  // A module that could not set itself up refuses to load.
  return tenrek::host::Guarded(FALSE, [instance] {
    tenrek::host::InstallHostModule(instance, &ModulePlatform(instance), &ModuleWindows());
    return TRUE;
  });
}
