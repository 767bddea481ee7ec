// Host scripts played by the runner, as `tenrek host` plays them.
#include <cstddef>
#include <cstdint>

#include "fuzz/fuzz_support.h"
#include "host/module.h"
#include "sim/native/native_environment.h"
#include "sim/native/native_exports.h"
#include "sim/runner/runner.h"
#include "sim/runner/script.h"

using namespace tenrek;
using namespace tenrek::host;

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  fuzz::EnterPrivateFolder();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  std::string error;
  const std::optional<Script> script =
      ParseScript(std::string_view(reinterpret_cast<const char*>(data), size), error);
  if (!script) return 0;
  NativeEnvironment environment;
  if (!environment.Ready()) return 0;
  ScopedHostModule module(&environment, &environment, &environment.Windows());
  Module().statementLimit = fuzz::kStatementLimit;
  Module().memoryBudget = fuzz::kMemoryBudget;
  TranscriptWriter transcript([](std::string_view) {});
  Runner runner(NativeExports(), environment, transcript);
  runner.Run(*script);
  return 0;
}
