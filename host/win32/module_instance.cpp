#include "host/win32/module_instance.h"

namespace tenrek {
namespace {
// Module-wide by nature: one value per loaded library, set once on
// process attach.
HINSTANCE gModuleInstance = nullptr;
}  // namespace

void SetModuleInstance(HINSTANCE instance) { gModuleInstance = instance; }
HINSTANCE ModuleInstance() { return gModuleInstance; }

}  // namespace tenrek
