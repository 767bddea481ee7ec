// The console platform of the prompt and the runner: INPUT reads its
// answer through the line editor, so that at a terminal the answer can be
// edited and Ctrl-C breaks the program at once, and so that a line from a
// pipe or a file is never longer than the interpreter takes.
#pragma once

#include <optional>
#include <string>

#include "platform/native/console_platform.h"

namespace tenrek {

class ConsoleReports;

class TerminalPlatform : public ConsolePlatform {
 public:
  // Where INPUT says that no answer came.
  void ReportTo(ConsoleReports& reports) { reports_ = &reports; }

  std::optional<std::string> AskInput(const InputRequest& request) override;

 private:
  ConsoleReports* reports_ = nullptr;
};

}  // namespace tenrek
