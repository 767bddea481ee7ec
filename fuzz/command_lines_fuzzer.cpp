// Command lines typed into a fresh interpreter. Lines that begin with ">"
// are held back for the boxes and dialogs: each box or dialog that comes
// up runs the next of them as a nested command; lines that begin with "?"
// answer INPUT.
#include <cstddef>
#include <cstdint>

#include "fuzz/fuzz_support.h"
#include "interp/interpreter.h"

using namespace tenrek;

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  fuzz::EnterPrivateFolder();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  const std::string_view input(reinterpret_cast<const char*>(data), size);
  std::deque<std::string> typed;
  std::deque<std::string> nested;
  fuzz::FuzzPlatform platform;
  for (std::string_view line : fuzz::SplitLines(input)) {
    if (line.starts_with('>')) {
      nested.emplace_back(line.substr(1));
    } else if (line.starts_with('?')) {
      platform.answers.emplace_back(line.substr(1));
    } else {
      typed.emplace_back(line);
    }
  }
  Interpreter interp(platform);
  interp.state = RunState::Idle;
  interp.host.messageWindow = reinterpret_cast<WindowHandle>(1);
  interp.SetStatementLimit(fuzz::kStatementLimit);
  interp.budget.SetLimit(fuzz::kMemoryBudget);
  std::string listing;
  interp.host.listingBuffer = ListingTarget{&listing, 32768};
  platform.onModal = [&] {
    if (nested.empty()) return;
    const std::string line = std::move(nested.front());
    nested.pop_front();
    interp.ExecuteCommand(line);
  };
  for (const std::string& line : typed) interp.ExecuteCommand(line);
  return 0;
}
