// Speed of the interpreter on loop-, array-, string-, subroutine- and
// jump-heavy programs, of a jump on a long program against a short one, of
// a long host session of commands, and of a 10,000-line program; and the
// heap a stored line costs.
#include <benchmark/benchmark.h>
#include <malloc.h>

#include <cstdlib>
#include <fstream>
#include <new>
#include <sstream>
#include <string>
#include <vector>

#include "interp/interpreter.h"
#include "text/lister.h"

// Every allocation of this program goes through here, so that the heap a
// piece of work leaves behind can be read before and after it. A block
// costs what the allocator hands out plus its header.
namespace {

constexpr std::size_t kAllocatorHeader = sizeof(std::size_t);
std::size_t liveHeapBytes = 0;

void* CountedAllocate(std::size_t size) {
  void* block = std::malloc(size == 0 ? 1 : size);
  if (block == nullptr) throw std::bad_alloc();
  liveHeapBytes += malloc_usable_size(block) + kAllocatorHeader;
  return block;
}

void CountedFree(void* block) noexcept {
  if (block == nullptr) return;
  liveHeapBytes -= malloc_usable_size(block) + kAllocatorHeader;
  std::free(block);
}

}  // namespace

void* operator new(std::size_t size) { return CountedAllocate(size); }
void* operator new[](std::size_t size) { return CountedAllocate(size); }
void operator delete(void* block) noexcept { CountedFree(block); }
void operator delete[](void* block) noexcept { CountedFree(block); }
void operator delete(void* block, std::size_t) noexcept { CountedFree(block); }
void operator delete[](void* block, std::size_t) noexcept { CountedFree(block); }

namespace tenrek {
namespace {

// Boxes and dialogs cost nothing here: only the interpreter is measured.
class SilentPlatform : public Platform {
 public:
  void ShowMessageBox(std::string_view, std::string_view, int32_t) override {}
  std::optional<std::string> AskInput(const InputRequest&) override { return std::string(); }
  void PostNotification(WindowHandle, HostNotice) override {}
  LocalTime Now() override { return {}; }
  void WriteOutput(std::string_view) override {}
};

void EnterProgram(Interpreter& interp, const std::string& path,
                  const char* folder = TENREK_BENCH_PROGRAMS) {
  std::ifstream in(std::string(folder) + "/" + path);
  std::string line;
  while (std::getline(in, line)) interp.ExecuteCommand(line);
}

void RunProgramFile(benchmark::State& state, const char* file) {
  SilentPlatform platform;
  Interpreter interp(platform);
  EnterProgram(interp, file);
  for (auto _ : state) {
    interp.ExecuteCommand("RUN");
    if (interp.errorNumber != 0) state.SkipWithError(interp.errorText.c_str());
  }
}

void BM_Loop(benchmark::State& s) { RunProgramFile(s, "loop.bas"); }
void BM_Array(benchmark::State& s) { RunProgramFile(s, "array.bas"); }
void BM_String(benchmark::State& s) { RunProgramFile(s, "string.bas"); }
void BM_Gosub(benchmark::State& s) { RunProgramFile(s, "gosub.bas"); }
void BM_Jump(benchmark::State& s) { RunProgramFile(s, "jump.bas"); }

// 10,000 jumps to the last line of a program of state.range(0) lines.
void BM_JumpOnProgramOfLength(benchmark::State& state) {
  SilentPlatform platform;
  Interpreter interp(platform);
  const int lines = static_cast<int>(state.range(0));
  interp.ExecuteCommand("1 I = 0");
  for (int n = 2; n < lines; ++n) interp.ExecuteCommand(std::to_string(n) + " REM");
  interp.ExecuteCommand(std::to_string(lines) + " I = I + 1: IF I < 10000 THEN GOTO " +
                        std::to_string(lines));
  for (auto _ : state) interp.ExecuteCommand("RUN");
}

// An event-driven host sends one command per event. A program left by a
// jump out of its FOR loop keeps the frame (as it must), so the frames
// pile up; state.range(0) says whether they do. Each iteration is 1,000
// commands: the time per command must not grow with the session.
void BM_HostSessionCommands(benchmark::State& state) {
  SilentPlatform platform;
  Interpreter interp(platform);
  const bool framesPileUp = state.range(0) != 0;
  interp.ExecuteCommand(framesPileUp ? "10 FOR I=1 TO 10: IF I=3 THEN 30"
                                     : "10 FOR I=1 TO 10: IF I=3 THEN 25");
  interp.ExecuteCommand("20 NEXT I");
  interp.ExecuteCommand("25 NEXT I");
  interp.ExecuteCommand("30 END");
  constexpr int kCommandsPerIteration = 1000;
  for (auto _ : state) {
    for (int n = 0; n < kCommandsPerIteration; ++n) interp.ExecuteCommand("GOTO 10");
  }
  state.counters["frames"] = static_cast<double>(interp.controlStack.size());
  state.SetItemsProcessed(state.iterations() * kCommandsPerIteration);
}

// A program of `lines` lines plus an end line, each an assignment with a
// jump: line n goes to its mirror line from the other end, which comes
// back to line n + 1, so every line runs once per RUN, zig-zagging
// between the two ends of the listing.
void EnterZigZagProgram(Interpreter& interp, int lines) {
  const int half = lines / 2;
  const auto number = [](int n) { return std::to_string(10 * n); };
  for (int n = 1; n <= half; ++n) {
    const int mirror = lines + 1 - n;
    const std::string value = " S=(S*3+" + std::to_string(n) + ") MOD 1000003: GOTO ";
    interp.ExecuteCommand(number(n) + value + number(mirror));
    interp.ExecuteCommand(number(mirror) + value + number(n == half ? lines + 1 : n + 1));
  }
  interp.ExecuteCommand(number(lines + 1) + " REM the end");
}

// A 10,000-line program: every line translated once, every jump taken by
// a remembered line.
void BM_TenThousandLineProgram(benchmark::State& state) {
  SilentPlatform platform;
  Interpreter interp(platform);
  EnterZigZagProgram(interp, 10000);
  for (auto _ : state) {
    interp.ExecuteCommand("RUN");
    if (interp.errorNumber != 0) state.SkipWithError(interp.errorText.c_str());
  }
  const Variable* s = interp.variableIndex.at("S");
  state.counters["S"] = s->number;
}

// Entering the same program, for the cost of storing a line.
void BM_StoreTenThousandLines(benchmark::State& state) {
  for (auto _ : state) {
    SilentPlatform platform;
    Interpreter interp(platform);
    EnterZigZagProgram(interp, 10000);
    benchmark::DoNotOptimize(interp.program.Size());
  }
}

// The heap one stored line of that program holds, once entered and again
// after a RUN has translated it, next to the length of its listing
// ("10 S=(S*3+1) MOD 1000003: GOTO 100000" and the like) and to what the
// memory budget counts for it.
void BM_BytesPerStoredLine(benchmark::State& state) {
  constexpr int kLines = 10000;
  double entered = 0;
  double afterRun = 0;
  double listed = 0;
  double budgeted = 0;
  for (auto _ : state) {
    SilentPlatform platform;
    Interpreter interp(platform);
    const std::size_t empty = liveHeapBytes;
    const std::size_t emptyBudget = interp.budget.Used();
    EnterZigZagProgram(interp, kLines);
    budgeted = static_cast<double>(interp.budget.Used() - emptyBudget) / kLines;
    entered = static_cast<double>(liveHeapBytes - empty) / kLines;
    interp.ExecuteCommand("RUN");
    afterRun = static_cast<double>(liveHeapBytes - empty) / kLines;
    std::size_t characters = 0;
    std::string text;
    for (const ProgramLine* line = interp.program.First(); line != nullptr; line = line->next) {
      text = std::to_string(line->number) + " ";
      ListTokensToText(text, line->tokens);
      characters += text.size();
    }
    listed = static_cast<double>(characters) / static_cast<double>(interp.program.Size());
  }
  state.counters["entered_bytes"] = entered;
  state.counters["after_run_bytes"] = afterRun;
  state.counters["listed_chars"] = listed;
  state.counters["budget_bytes"] = budgeted;
}

// Characters of the program's listing, as LIST shows it.
std::size_t ListedCharacters(const Interpreter& interp) {
  std::size_t characters = 0;
  std::string text;
  for (const ProgramLine* line = interp.program.First(); line != nullptr; line = line->next) {
    text = std::to_string(line->number) + " ";
    ListTokensToText(text, line->tokens);
    characters += text.size() + 1;  // and its line end
  }
  return characters;
}

// The heap the stored lines of an example program hold, per character of
// its listing: ordinary lines rather than one made to measure. The
// variables the lines name stay when the lines are deleted, so they are
// not counted.
void BM_BytesPerListedCharacter(benchmark::State& state, const char* file) {
  double perCharacter = 0;
  for (auto _ : state) {
    SilentPlatform platform;
    Interpreter interp(platform);
    EnterProgram(interp, file, TENREK_EXAMPLE_PROGRAMS);
    const std::size_t withLines = liveHeapBytes;
    const std::size_t characters = ListedCharacters(interp);
    std::vector<int32_t> numbers;
    for (const ProgramLine* line = interp.program.First(); line != nullptr; line = line->next) {
      numbers.push_back(line->number);
    }
    for (int32_t number : numbers) interp.ExecuteCommand(std::to_string(number));
    perCharacter = static_cast<double>(withLines - liveHeapBytes) / static_cast<double>(characters);
  }
  state.counters["bytes_per_char"] = perCharacter;
}

BENCHMARK_CAPTURE(BM_BytesPerListedCharacter, guess, "guess.bas")->Iterations(1);
BENCHMARK_CAPTURE(BM_BytesPerListedCharacter, menu, "menu.bas")->Iterations(1);
BENCHMARK_CAPTURE(BM_BytesPerListedCharacter, sort, "sort.bas")->Iterations(1);
BENCHMARK_CAPTURE(BM_BytesPerListedCharacter, strings, "strings.bas")->Iterations(1);
BENCHMARK_CAPTURE(BM_BytesPerListedCharacter, table, "table.bas")->Iterations(1);
BENCHMARK_CAPTURE(BM_BytesPerListedCharacter, welcome, "welcome.bas")->Iterations(1);

// 100 iterations: the 100,000 commands of a long session, whose frames
// (when they pile up) stay in memory until the session ends.
BENCHMARK(BM_HostSessionCommands)->Arg(0)->Arg(1)->Iterations(100)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_TenThousandLineProgram)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_StoreTenThousandLines)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_BytesPerStoredLine)->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Loop)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Array)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_String)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Gosub)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Jump)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_JumpOnProgramOfLength)->Arg(10)->Arg(10000)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace tenrek

BENCHMARK_MAIN();
