// The boundary between the module and the host's own code. The host calls
// the exports, the window procedure and the dialog procedures from code
// that knows nothing of C++ exceptions; one escaping there ends the user's
// whole application. Each such entry point runs its body through Guarded,
// which turns any exception into the entry point's sound failure result.
#pragma once

#include <utility>

namespace tenrek::host {

template <typename Result, typename Body>
Result Guarded(Result failure, Body&& body) noexcept {
  try {
    return std::forward<Body>(body)();
  } catch (...) {
    return failure;
  }
}

template <typename Body>
void Guarded(Body&& body) noexcept {
  try {
    std::forward<Body>(body)();
  } catch (...) {
    // Nothing to hand back: what the body did so far stands.
  }
}

}  // namespace tenrek::host
