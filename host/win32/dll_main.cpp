// The library's entry point: remembers the module instance, which owns
// every resource (strings, menus, dialogs) and the window class.
#include <windows.h>

#include "host/win32/module_instance.h"

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
  if (reason == DLL_PROCESS_ATTACH) tenrek::SetModuleInstance(instance);
  return TRUE;
}
