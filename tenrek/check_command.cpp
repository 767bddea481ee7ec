// `tenrek check FILE...`: exit 0 when no program drew a warning, 1 when
// one did, 2 when a file could not be read.
#include <cstdio>
#include <string>

#include "tenrek/checker.h"
#include "tenrek/input_files.h"
#include "tenrek/program_source.h"
#include "tenrek/subcommands.h"

namespace tenrek {

int RunCheckCommand(int count, char** paths) {
  constexpr int kWarned = 1;
  constexpr int kUnreadable = 2;
  int status = 0;
  for (int i = 0; i < count; ++i) {
    const std::string path = FindProgramFile(paths[i]);
    ProgramSource source;
    std::string reason;
    if (!ReadProgramSource(path, source, reason)) {
      std::fprintf(stderr, "tenrek check: cannot read %s: %s\n", path.c_str(), reason.c_str());
      status = kUnreadable;
      continue;
    }
    if (CheckProgram(source, stdout) != 0 && status == 0) status = kWarned;
  }
  return status;
}

}  // namespace tenrek
