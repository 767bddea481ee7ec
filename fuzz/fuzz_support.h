// What the fuzz targets share: a platform whose boxes and dialogs hand
// control to the target (as a host event inside a modal loop would), the
// bounds that keep every run short, and a private working folder.
#pragma once

#include <cstdint>
#include <cstdlib>
#include <deque>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include <unistd.h>

#include "platform/platform.h"

namespace tenrek::fuzz {

// The watchdog: a run is broken, as by Ctrl-C, after this many statements
// of one command, so an endless program is an ordinary input and not a
// hang. Every sensible input ends far sooner.
inline constexpr uint64_t kStatementLimit = 5000;
// A budget small enough that runaway growth meets it in milliseconds and
// the process stays far below libFuzzer's memory limit.
inline constexpr std::size_t kMemoryBudget = std::size_t{4} << 20;

class FuzzPlatform : public Platform {
 public:
  // Runs while each box or dialog is up.
  std::function<void()> onModal;
  std::deque<std::string> answers;

  void ShowMessageBox(std::string_view, std::string_view, int32_t) override {
    if (onModal) onModal();
  }
  std::optional<std::string> AskInput(const InputRequest&) override {
    if (onModal) onModal();
    if (answers.empty()) return std::nullopt;
    std::string answer = std::move(answers.front());
    answers.pop_front();
    return answer;
  }
  void PostNotification(WindowHandle, HostNotice) override {}
  LocalTime Now() override { return {}; }
  void WriteOutput(std::string_view) override {}
};

// The input's lines (split at LF; a CR before it stays part of the line).
inline std::vector<std::string_view> SplitLines(std::string_view text) {
  std::vector<std::string_view> lines;
  while (!text.empty()) {
    const std::size_t end = text.find('\n');
    lines.push_back(text.substr(0, end));
    if (end == std::string_view::npos) break;
    text.remove_prefix(end + 1);
  }
  return lines;
}

// Moves the process into a fresh folder of its own, so that LOAD and SAVE
// of relative names touch nothing else. (scripts/fuzz.sh also runs the
// targets as an unprivileged user.)
inline void EnterPrivateFolder() {
  char folder[] = "/tmp/tenrek-fuzz-XXXXXX";
  if (mkdtemp(folder) == nullptr || chdir(folder) != 0) std::abort();
}

}  // namespace tenrek::fuzz
