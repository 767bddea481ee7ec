// The module's exports for a runner in the same process: the functions
// themselves, as GetProcAddress would find them in Tenrek.mfx.
#pragma once

#include <functional>
#include <string>
#include <string_view>

#include "sim/runner/runner.h"

namespace tenrek::host {

HostExports NativeExports();

// Plays `script` against these exports on our own window system, the
// transcript going to `sink`. 0 when it ran to its end; 2 when it failed,
// and `failure` says why in one line.
int PlayNatively(const Script& script, std::function<void(std::string_view)> sink,
                 std::string& failure);

}  // namespace tenrek::host
