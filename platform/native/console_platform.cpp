#include "platform/native/console_platform.h"

#include <ctime>
#include <string>

namespace tenrek {

void ConsolePlatform::ShowMessageBox(std::string_view, std::string_view text, int32_t) {
  std::fwrite(text.data(), 1, text.size(), out_);
  std::fflush(out_);
}

bool ReadConsoleLine(std::FILE* in, std::string& line) {
  line.clear();
  int c = 0;
  while ((c = std::fgetc(in)) != EOF && c != '\n') line.push_back(static_cast<char>(c));
  if (c == EOF && line.empty()) return false;
  if (!line.empty() && line.back() == '\r') line.pop_back();
  return true;
}

std::optional<std::string> ConsolePlatform::AskInput(const InputRequest& request) {
  std::fwrite(request.prompt.data(), 1, request.prompt.size(), out_);
  std::fputc(' ', out_);
  std::fflush(out_);
  std::string line;
  if (!ReadConsoleLine(in_, line)) {
    std::fputc('\n', out_);
    if (sawEndOfInput_) return std::nullopt;
    sawEndOfInput_ = true;
    return std::string();
  }
  return line;
}

LocalTime ConsolePlatform::Now() {
  std::time_t now = std::time(nullptr);
  std::tm parts{};
  localtime_r(&now, &parts);
  return {parts.tm_year + 1900, parts.tm_mon + 1, parts.tm_mday,
          parts.tm_hour,        parts.tm_min,     parts.tm_sec};
}

void ConsolePlatform::WriteOutput(std::string_view text) {
  std::fwrite(text.data(), 1, text.size(), out_);
  std::fflush(out_);
}

}  // namespace tenrek
