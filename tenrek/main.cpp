// tenrek: an interactive BASIC prompt, a program runner and a host
// simulator.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "interp/memory_budget.h"
#include "tenrek/subcommands.h"

namespace {

constexpr int kUsageError = 2;

void PrintUsage(std::FILE* out) {
  std::fputs(
      "usage: tenrek [OPTIONS]                  interactive BASIC prompt (reads a script\n"
      "                                         from a pipe)\n"
      "       tenrek [OPTIONS] run FILE|-       enter the numbered lines of FILE (or standard\n"
      "                                         input) and RUN them; FILE may leave out .BAS\n"
      "       tenrek host FILE|-                play a host script and print its transcript\n"
      "       tenrek --version                  print the version\n"
      "       tenrek --help                     print this text\n"
      "OPTIONS: --seed N, --memory MB\n"
      "--seed N starts RANDOM's sequence at N (0 to 4294967295), so a run can be repeated.\n"
      "--memory MB sets the interpreter's memory budget (default 256); past it a run\n"
      "ends with error -2 (out of memory).\n"
      "The manual: " TENREK_DOC_DIR "/Basic.pdf; the language: man tenrek-basic.\n",
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

// A whole number of megabytes, 1 to 1,000,000.
bool ParseMegabytes(const char* text, std::size_t& bytes) {
  char* end = nullptr;
  const long megabytes = std::strtol(text, &end, 10);
  if (end == text || *end != '\0' || megabytes < 1 || megabytes > 1000000) return false;
  bytes = static_cast<std::size_t>(megabytes) << 20;
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  tenrek::Options options;
  int first = 1;
  const char* optionGiven = nullptr;  // the first option, named if host gets one
  for (; first < argc; first += 2) {
    const char* option = argv[first];
    const char* value = first + 1 < argc ? argv[first + 1] : nullptr;
    if (Is(option, "--seed")) {
      uint32_t seed = 0;
      if (value == nullptr || !ParseSeed(value, seed)) {
        return UsageError("--seed needs a whole number from 0 to 4294967295");
      }
      options.seed = seed;
    } else if (Is(option, "--memory")) {
      if (value == nullptr || !ParseMegabytes(value, options.memoryBudget)) {
        return UsageError("--memory needs a whole number of megabytes from 1 to 1000000");
      }
    } else {
      break;
    }
    if (optionGiven == nullptr) optionGiven = option;
  }
  if (argc == first) return tenrek::RunPrompt(options);
  const char* command = argv[first];
  if (Is(command, "run")) {
    if (argc < first + 2) return UsageError("run needs a FILE (or - for standard input)");
    if (argc > first + 2) return UsageError(std::string("unexpected argument: ") + argv[first + 2]);
    return tenrek::RunProgramFile(argv[first + 1], options);
  }
  if (Is(command, "host")) {
    if (optionGiven != nullptr) {
      return UsageError(std::string(optionGiven) + " is for the prompt and run, not host");
    }
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
