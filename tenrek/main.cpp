// tenrek: an interactive BASIC prompt, a program runner and a host
// simulator.
#include <cstdio>
#include <cstring>

#include "tenrek/commands.h"

namespace {

void PrintUsage(std::FILE* out) {
  std::fputs(
      "usage: tenrek                 interactive BASIC prompt (reads a script from a pipe)\n"
      "       tenrek run FILE        enter the numbered lines of FILE and RUN them\n"
      "       tenrek host FILE|-     play a host script and print its transcript\n",
      out);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc == 1) return tenrek::RunPrompt();
  if (std::strcmp(argv[1], "run") == 0 && argc == 3) return tenrek::RunProgramFile(argv[2]);
  if (std::strcmp(argv[1], "host") == 0) return tenrek::RunHostCommand(argc - 1, argv + 1);
  if (std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0) {
    PrintUsage(stdout);
    return 0;
  }
  PrintUsage(stderr);
  return 2;
}
