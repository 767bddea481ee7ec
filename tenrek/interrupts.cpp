#include "tenrek/interrupts.h"

#include <csignal>

#include "interp/interpreter.h"

namespace tenrek {
namespace {

// The interpreter a Ctrl-C interrupts, while an InterruptRoute exists.
Interpreter* volatile interruptTarget = nullptr;
volatile std::sig_atomic_t interruptSeen = 0;

extern "C" void OnInterrupt(int) {
  interruptSeen = 1;
  if (interruptTarget != nullptr) interruptTarget->RequestBreak();
}

}  // namespace

InterruptRoute::InterruptRoute(Interpreter& interp) {
  interruptTarget = &interp;
  struct sigaction action {};
  action.sa_handler = OnInterrupt;
  sigemptyset(&action.sa_mask);
  // Restarted reads keep a running program's INPUT from failing; the line
  // editor sees the interrupt through its own handler, which calls ours.
  action.sa_flags = SA_RESTART;
  sigaction(SIGINT, &action, nullptr);
}

InterruptRoute::~InterruptRoute() {
  signal(SIGINT, SIG_DFL);
  interruptTarget = nullptr;
}

bool TakeInterrupt() {
  const bool seen = interruptSeen != 0;
  interruptSeen = 0;
  return seen;
}

}  // namespace tenrek
