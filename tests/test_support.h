// Shared fixtures: a fresh interpreter, and one driven as a host would.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "interp/interpreter.h"
#include "platform/native/recording_platform.h"

namespace tenrek::testing {

// An interpreter on the recording platform, with a message window for
// its notifications to go to.
class RecordedInterpreter {
 public:
  RecordedInterpreter() : interp(platform) {
    interp.host.messageWindow = reinterpret_cast<WindowHandle>(0x1234);
  }

  RecordingPlatform platform;
  Interpreter interp;
};

class BasicTest : public RecordedInterpreter {
 public:
  BasicTest() { interp.state = RunState::Idle; }

  // Submits each line as a host action does: the error number is cleared
  // first.
  void Enter(std::initializer_list<std::string_view> lines) {
    for (std::string_view line : lines) Command(line);
  }
  void Command(std::string_view line) {
    interp.errorNumber = 0;
    interp.ExecuteCommand(line);
  }

  Variable* Var(std::string_view name) {
    auto found = interp.variableIndex.find(std::string(name));
    return found != interp.variableIndex.end() ? found->second : nullptr;
  }
  double Number(std::string_view name) {
    Variable* v = Var(name);
    return v != nullptr ? v->number : -99999.0;
  }

  // The texts of every PRINT box, joined.
  std::string Printed() const {
    std::string all;
    for (const auto& box : platform.boxes) all += box.text;
    return all;
  }
};

}  // namespace tenrek::testing
