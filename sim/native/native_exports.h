// The module's exports for a runner in the same process: the functions
// themselves, as GetProcAddress would find them in Tenrek.mfx.
#pragma once

#include "sim/runner/runner.h"

namespace tenrek::host {

HostExports NativeExports();

}  // namespace tenrek::host
