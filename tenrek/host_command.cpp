// Placeholder: replaced by the host-script runner.
#include <cstdio>

#include "tenrek/commands.h"

namespace tenrek {

int RunHostCommand(int, char**) {
  std::fputs("tenrek host: not available in this build\n", stderr);
  return 2;
}

}  // namespace tenrek
