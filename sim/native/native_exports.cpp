#include "sim/native/native_exports.h"

#include "host/exports.h"
#include "host/module.h"
#include "sim/native/native_environment.h"

namespace tenrek::host {

HostExports NativeExports() {
  HostExports exports;
  exports.getRunObjectDataSize = GetRunObjectDataSize;
  exports.createRunObject = CreateRunObject;
  exports.destroyRunObject = DestroyRunObject;
  exports.getRunObjectInfos = GetRunObjectInfos;
  exports.initialize = Initialize;
  exports.free = Free;
  exports.renumberEditText = RenumberEditText;
  return exports;
}

int PlayNatively(const Script& script, std::function<void(std::string_view)> sink,
                 std::string& failure) {
  NativeEnvironment environment;
  if (!environment.Ready()) {
    failure = environment.Problem();
    return 2;
  }
  ScopedHostModule module(&environment, &environment, &environment.Windows());
  TranscriptWriter transcript(std::move(sink));
  Runner runner(NativeExports(), environment, transcript);
  const int exitCode = runner.Run(script);
  failure = runner.Failure();
  return exitCode;
}

}  // namespace tenrek::host
