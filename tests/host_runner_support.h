// Plays host scripts in this process, on our own window system, as
// `tenrek host` does.
#pragma once

#include <string>
#include <string_view>

#include "host/module.h"
#include "sim/native/native_environment.h"
#include "sim/native/native_exports.h"
#include "sim/runner/runner.h"
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
  NativeEnvironment environment;
  if (!environment.Ready()) return Played{2, "", environment.Problem()};
  ScopedHostModule module(&environment, &environment, &environment.Windows());
  TranscriptWriter transcript([&played](std::string_view t) { played.transcript.append(t); });
  Runner runner(NativeExports(), environment, transcript);
  played.exitCode = runner.Run(*script);
  played.failure = runner.Failure();
  return played;
}

}  // namespace tenrek::host::testing
