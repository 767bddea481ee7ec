// Program files: the input is a file that LOAD and MERGE read; then LIST,
// SAVE, RENUM and RUN work on what was loaded. A saved program must load
// back with every line: none may be lost on its way round.
#include <cstddef>
#include <cstdint>
#include <cstdio>

#include "fuzz/fuzz_support.h"
#include "interp/interpreter.h"

using namespace tenrek;

namespace {

void WriteFile(const char* name, std::string_view bytes) {
  std::FILE* file = std::fopen(name, "wb");
  if (file == nullptr) std::abort();
  std::fwrite(bytes.data(), 1, bytes.size(), file);
  std::fclose(file);
}

void Bound(Interpreter& interp) {
  interp.state = RunState::Idle;
  interp.SetStatementLimit(fuzz::kStatementLimit);
  interp.budget.SetLimit(fuzz::kMemoryBudget);
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  fuzz::EnterPrivateFolder();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  WriteFile("PROG.BAS", std::string_view(reinterpret_cast<const char*>(data), size));
  fuzz::FuzzPlatform platform;
  Interpreter interp(platform);
  Bound(interp);
  std::string listing;
  interp.host.listingBuffer = ListingTarget{&listing, 32768};
  for (const char* command : {"LOAD \"PROG\"", "MERGE \"PROG\"", "LIST", "ILXT", "SAVE \"OUT\""}) {
    interp.ExecuteCommand(command);
  }
  // No line may be lost silently on its way through SAVE and LOAD: a line
  // that does not come back must have been reported. (Stray characters
  // list in braces, so such a line grows each time round and may come
  // back too long to enter.)
  Interpreter reloaded(platform);
  Bound(reloaded);
  int reports = 0;
  reloaded.onError = [&reports](int32_t, std::string_view) { ++reports; };
  reloaded.ExecuteCommand("LOAD \"OUT\"");
  if (reports == 0 && reloaded.program.Size() != interp.program.Size()) __builtin_trap();
  for (const char* command : {"RENUM", "LIST", "SAVE \"OUT\"", "RUN"}) {
    interp.ExecuteCommand(command);
  }
  return 0;
}
