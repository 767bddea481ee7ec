// Speed of the interpreter on loop-, array-, string-, subroutine- and
// jump-heavy programs, and of a jump on a long program against a short one.
#include <benchmark/benchmark.h>

#include <fstream>
#include <sstream>
#include <string>

#include "interp/interpreter.h"

namespace tenrek {
namespace {

// Boxes and dialogs cost nothing here: only the interpreter is measured.
class SilentPlatform : public Platform {
 public:
  void ShowMessageBox(std::string_view, std::string_view, int32_t) override {}
  std::optional<std::string> AskInput(const InputRequest&) override { return std::string(); }
  void PostNotification(WindowHandle, uint32_t) override {}
  LocalTime Now() override { return {}; }
  void WriteOutput(std::string_view) override {}
};

void EnterProgram(Interpreter& interp, const std::string& path) {
  std::ifstream in(std::string(TENREK_BENCH_PROGRAMS) + "/" + path);
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

BENCHMARK(BM_Loop)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Array)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_String)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Gosub)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Jump)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_JumpOnProgramOfLength)->Arg(10)->Arg(10000)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace tenrek

BENCHMARK_MAIN();
