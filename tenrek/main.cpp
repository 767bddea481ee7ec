// tenrek: an interactive BASIC prompt, a program runner and a host
// simulator.
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "interp/memory_budget.h"
#include "tenrek/commands.h"

namespace {

void PrintUsage(std::FILE* out) {
  std::fputs(
      "usage: tenrek                 interactive BASIC prompt (reads a script from a pipe)\n"
      "       tenrek run FILE        enter the numbered lines of FILE and RUN them\n"
      "       tenrek host FILE|-     play a host script and print its transcript\n"
      "  --memory MB (before run or the prompt): the interpreter's memory budget\n"
      "              (default 256); past it a run ends with error -2 (out of memory)\n",
      out);
}

// "--memory MB": a whole number of megabytes, 1 to 1,000,000.
bool ReadMemoryOption(int& argc, char**& argv, std::size_t& budget) {
  if (argc < 3 || std::strcmp(argv[1], "--memory") != 0) return true;
  char* end = nullptr;
  const long megabytes = std::strtol(argv[2], &end, 10);
  if (end == argv[2] || *end != '\0' || megabytes < 1 || megabytes > 1000000) return false;
  budget = static_cast<std::size_t>(megabytes) << 20;
  argc -= 2;
  argv += 2;
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  std::size_t budget = tenrek::kDefaultMemoryBudget;
  if (!ReadMemoryOption(argc, argv, budget)) {
    PrintUsage(stderr);
    return 2;
  }
  if (argc == 1) return tenrek::RunPrompt(budget);
  if (std::strcmp(argv[1], "run") == 0 && argc == 3) return tenrek::RunProgramFile(argv[2], budget);
  if (std::strcmp(argv[1], "host") == 0) return tenrek::RunHostCommand(argc - 1, argv + 1);
  if (std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0) {
    PrintUsage(stdout);
    return 0;
  }
  PrintUsage(stderr);
  return 2;
}
