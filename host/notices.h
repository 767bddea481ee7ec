// The window messages that carry the interpreter's notices to the message
// window, posted with wParam and lParam 0.
#pragma once

#include <cstdint>

#include "platform/platform.h"

namespace tenrek::host {

inline constexpr uint32_t kWmUser = 0x0400;
inline constexpr uint32_t WM_BASIC_TAG = kWmUser + 1;
inline constexpr uint32_t WM_BASIC_ERROR = kWmUser + 2;
inline constexpr uint32_t WM_BASIC_RUNNING = kWmUser + 3;

constexpr uint32_t MessageFor(HostNotice notice) {
  switch (notice) {
    case HostNotice::Tag: return WM_BASIC_TAG;
    case HostNotice::Error: return WM_BASIC_ERROR;
    case HostNotice::Running: return WM_BASIC_RUNNING;
  }
  return WM_BASIC_ERROR;
}

}  // namespace tenrek::host
