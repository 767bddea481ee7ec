// tenrek: an interactive BASIC prompt, a program runner and a host
// simulator.
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>

#include "tenrek/commands.h"

namespace {

constexpr int kUsageError = 2;

void PrintUsage(std::FILE* out) {
  std::fputs(
      "usage: tenrek [--seed N]                 interactive BASIC prompt (reads a script\n"
      "                                         from a pipe)\n"
      "       tenrek [--seed N] run FILE|-      enter the numbered lines of FILE (or standard\n"
      "                                         input) and RUN them; FILE may leave out .BAS\n"
      "       tenrek host FILE|-                play a host script and print its transcript\n"
      "       tenrek --version                  print the version\n"
      "       tenrek --help                     print this text\n"
      "--seed N starts RANDOM's sequence at N (0 to 4294967295), so a run can be repeated.\n",
      out);
}

int UsageError(const std::string& problem) {
  std::fprintf(stderr, "tenrek: %s\n", problem.c_str());
  PrintUsage(stderr);
  return kUsageError;
}

bool Is(const char* argument, const char* word) { return std::strcmp(argument, word) == 0; }

// A whole decimal number from 0 to 2^32 - 1.
bool ParseSeed(const char* text, uint32_t& seed) {
  if (*text == '\0' || std::strlen(text) > 10) return false;
  uint64_t value = 0;
  for (const char* c = text; *c != '\0'; ++c) {
    if (*c < '0' || *c > '9') return false;
    value = value * 10 + static_cast<uint64_t>(*c - '0');
  }
  if (value > UINT32_MAX) return false;
  seed = static_cast<uint32_t>(value);
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  tenrek::Options options;
  int first = 1;
  if (argc > 1 && Is(argv[1], "--seed")) {
    uint32_t seed = 0;
    if (argc < 3 || !ParseSeed(argv[2], seed)) {
      return UsageError("--seed needs a whole number from 0 to 4294967295");
    }
    options.seed = seed;
    first = 3;
  }
  if (argc == first) return tenrek::RunPrompt(options);
  const char* command = argv[first];
  if (Is(command, "run")) {
    if (argc < first + 2) return UsageError("run needs a FILE (or - for standard input)");
    if (argc > first + 2) return UsageError(std::string("unexpected argument: ") + argv[first + 2]);
    return tenrek::RunProgramFile(argv[first + 1], options);
  }
  if (Is(command, "host")) {
    if (options.seed) return UsageError("--seed is for the prompt and run, not host");
    return tenrek::RunHostCommand(argc - first, argv + first);
  }
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
