// The platform of the native `tenrek` command: PRINT and LIST write their
// box text to standard output, INPUT prompts on standard output and reads
// a line from standard input.
#pragma once

#include <cstdio>
#include <string>

#include "platform/platform.h"

namespace tenrek {

// Reads one line of `in` into `line`, without its "\n" or "\r\n". False at
// the end of input when nothing was read.
bool ReadConsoleLine(std::FILE* in, std::string& line);

class ConsolePlatform : public Platform {
 public:
  ConsolePlatform(std::FILE* in = stdin, std::FILE* out = stdout) : in_(in), out_(out) {}

  void ShowMessageBox(std::string_view caption, std::string_view text, int32_t style) override;
  // At end of input answers an empty line once, then nothing, so a script
  // can never hang on INPUT.
  std::optional<std::string> AskInput(const InputRequest& request) override;
  // The console has no message window: notifications are dropped.
  void PostNotification(WindowHandle, HostNotice) override {}
  LocalTime Now() override;
  void WriteOutput(std::string_view text) override;

 private:
  std::FILE* in_;
  std::FILE* out_;
  bool sawEndOfInput_ = false;
};

}  // namespace tenrek
