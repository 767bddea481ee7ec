#include "sim/native/native_exports.h"

#include "host/exports.h"

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

}  // namespace tenrek::host
