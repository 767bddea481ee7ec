// The module's instance handle, recorded when the process attaches it.
#pragma once

#include <windows.h>

namespace tenrek {

void SetModuleInstance(HINSTANCE instance);
HINSTANCE ModuleInstance();

}  // namespace tenrek
