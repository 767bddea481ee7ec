// tenrek: an interactive BASIC prompt, a program runner and a host
// simulator.
#include <cstdio>
#include <cstring>
#include <string>

#include "tenrek/commands.h"

namespace {

constexpr int kUsageError = 2;

void PrintUsage(std::FILE* out) {
  std::fputs(
      "usage: tenrek                 interactive BASIC prompt (reads a script from a pipe)\n"
      "       tenrek run FILE|-      enter the numbered lines of FILE (or standard input)\n"
      "                              and RUN them; FILE may leave out its .BAS\n"
      "       tenrek host FILE|-     play a host script and print its transcript\n"
      "       tenrek --version       print the version\n"
      "       tenrek --help          print this text\n",
      out);
}

int UsageError(const std::string& problem) {
  std::fprintf(stderr, "tenrek: %s\n", problem.c_str());
  PrintUsage(stderr);
  return kUsageError;
}

bool Is(const char* argument, const char* word) { return std::strcmp(argument, word) == 0; }

}  // namespace

int main(int argc, char** argv) {
  if (argc == 1) return tenrek::RunPrompt();
  const char* command = argv[1];
  if (Is(command, "run")) {
    if (argc < 3) return UsageError("run needs a FILE (or - for standard input)");
    if (argc > 3) return UsageError(std::string("unexpected argument: ") + argv[3]);
    return tenrek::RunProgramFile(argv[2]);
  }
  if (Is(command, "host")) return tenrek::RunHostCommand(argc - 1, argv + 1);
  if (Is(command, "--help") || Is(command, "-h")) {
    PrintUsage(stdout);
    return 0;
  }
  if (Is(command, "--version")) {
    std::printf("tenrek %s\n", TENREK_VERSION);
    return 0;
  }
  return UsageError(std::string("unknown argument: ") + command);
}
