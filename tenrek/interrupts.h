// Ctrl-C: breaks a running program, and drops a line being typed.
#pragma once

namespace tenrek {

class Interpreter;

// From now on Ctrl-C asks `interp` to break; undone by the destructor.
class InterruptRoute {
 public:
  explicit InterruptRoute(Interpreter& interp);
  ~InterruptRoute();
  InterruptRoute(const InterruptRoute&) = delete;
  InterruptRoute& operator=(const InterruptRoute&) = delete;
};

// True once for each Ctrl-C seen since the last call.
bool TakeInterrupt();

}  // namespace tenrek
