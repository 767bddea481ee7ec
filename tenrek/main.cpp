// tenrek: an interactive BASIC prompt, a program runner, a checker of
// programs and a host simulator.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "interp/memory_budget.h"
#include "tenrek/subcommands.h"

namespace {

constexpr int kUsageError = 2;

// At most 80 columns, for the narrowest terminal.
void PrintUsage(std::FILE* out) {
  std::fputs(
      "usage: tenrek [OPTIONS]              the BASIC prompt (or a script from a pipe)\n"
      "       tenrek [OPTIONS] FILE|-       run a program: its numbered lines, then RUN\n"
      "       tenrek [OPTIONS] run FILE|-   the same; FILE may leave out .BAS\n"
      "       tenrek check FILE...          point out the dialect's traps, run nothing\n"
      "       tenrek dis FILE               list the compiled instructions, run nothing\n"
      "       tenrek host FILE|-            play a host script, print its transcript\n"
      "       tenrek --version | --help\n"
      "Options may stand anywhere:\n"
      "  --seed N     start RANDOM's sequence at N (0 to 4294967295), to repeat a run\n"
      "  --memory MB  the interpreter's memory budget (default 256); past it a run\n"
      "               ends with error -2 (out of memory)\n"
      "  --check      run the program only when tenrek check finds nothing\n"
      "Exit status: 0 ok, 1 an error was reported (or check warned), 2 usage error\n"
      "or a file that cannot be read.\n"
      "The manual: " TENREK_DOC_DIR
      "/Basic.pdf\n"
      "The language: man tenrek-basic\n",
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

// The command line taken apart: options wherever they stand, and the
// other words in their order.
struct CommandLine {
  tenrek::Options options;
  const char* firstOption = nullptr;  // named when a subcommand takes none
  bool help = false;
  bool version = false;
  std::vector<char*> words;
  std::string problem;  // a usage error, when not empty
};

bool TakeOption(CommandLine& line, const char* option, const char* value, int& used) {
  if (Is(option, "--seed")) {
    uint32_t seed = 0;
    if (value == nullptr || !ParseSeed(value, seed)) {
      line.problem = "--seed needs a whole number from 0 to 4294967295";
      return false;
    }
    line.options.seed = seed;
    used = 2;
  } else if (Is(option, "--memory")) {
    if (value == nullptr || !ParseMegabytes(value, line.options.memoryBudget)) {
      line.problem = "--memory needs a whole number of megabytes from 1 to 1000000";
      return false;
    }
    used = 2;
  } else if (Is(option, "--check")) {
    line.options.checkFirst = true;
  } else if (Is(option, "--help") || Is(option, "-h")) {
    line.help = true;
  } else if (Is(option, "--version")) {
    line.version = true;
  } else {
    line.problem = std::string("unknown argument: ") + option;
    return false;
  }
  if (line.firstOption == nullptr && used == 2) line.firstOption = option;
  if (line.firstOption == nullptr && Is(option, "--check")) line.firstOption = option;
  return true;
}

CommandLine Parse(int argc, char** argv) {
  CommandLine line;
  bool optionsEnd = false;
  for (int i = 1; i < argc; ++i) {
    char* word = argv[i];
    if (!optionsEnd && Is(word, "--")) {
      optionsEnd = true;
    } else if (optionsEnd || word[0] != '-' || Is(word, "-")) {
      line.words.push_back(word);
    } else {
      int used = 1;
      if (!TakeOption(line, word, i + 1 < argc ? argv[i + 1] : nullptr, used)) return line;
      i += used - 1;
    }
  }
  return line;
}

int RunFile(const CommandLine& line, std::size_t at, const char* missing) {
  if (line.words.size() <= at) return UsageError(missing);
  if (line.words.size() > at + 1) {
    return UsageError(std::string("unexpected argument: ") + line.words[at + 1]);
  }
  return tenrek::RunProgramFile(line.words[at], line.options);
}

int RunSubcommand(const CommandLine& line) {
  const char* command = line.words[0];
  const bool takesOptions = !Is(command, "host") && !Is(command, "check");
  if (!takesOptions && line.firstOption != nullptr) {
    return UsageError(std::string(line.firstOption) + " is for the prompt and run, not " + command);
  }
  if (Is(command, "run")) return RunFile(line, 1, "run needs a FILE (or - for standard input)");
  if (Is(command, "dis")) {
    if (line.words.size() != 2) return UsageError("dis needs one FILE");
    return tenrek::DisassembleProgramFile(line.words[1], line.options);
  }
  std::vector<char*> rest(line.words.begin(), line.words.end());
  if (Is(command, "host"))
    return tenrek::RunHostCommand(static_cast<int>(rest.size()), rest.data());
  if (Is(command, "check")) {
    if (rest.size() < 2) return UsageError("check needs at least one FILE");
    return tenrek::RunCheckCommand(static_cast<int>(rest.size() - 1), rest.data() + 1);
  }
  return RunFile(line, 0, "");
}

}  // namespace

int main(int argc, char** argv) {
  const CommandLine line = Parse(argc, argv);
  if (!line.problem.empty()) return UsageError(line.problem);
  if (line.help) {
    PrintUsage(stdout);
    return 0;
  }
  if (line.version) {
    std::printf("tenrek %s\n", TENREK_VERSION);
    return 0;
  }
  if (line.words.empty()) {
    if (line.options.checkFirst) return UsageError("--check needs a FILE to run");
    return tenrek::RunPrompt(line.options);
  }
  return RunSubcommand(line);
}
