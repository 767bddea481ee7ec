// Plays host scripts in this process, on our own window system, as
// `tenrek host` does.
#pragma once

#include <string>
#include <string_view>

#include "sim/native/native_exports.h"
#include "sim/runner/script.h"

namespace tenrek::host::testing {

struct Played {
  int exitCode = 0;
  std::string transcript;
  std::string failure;  // the one-line message of a failed script
};

inline Played PlayScript(std::string_view text) {
  Played played;
  std::string error;
  const std::optional<Script> script = ParseScript(text, error);
  if (!script) return Played{2, "", error};
  played.exitCode = PlayNatively(
      *script, [&played](std::string_view t) { played.transcript.append(t); }, played.failure);
  return played;
}

}  // namespace tenrek::host::testing
