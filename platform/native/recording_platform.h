// A platform for tests: keeps every box, dialog, notification and output
// line in order, answers INPUT from a queue, and lets a test act while a
// box is up (as a host event handled inside the modal loop would).
#pragma once

#include <deque>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "platform/platform.h"

namespace tenrek {

class RecordingPlatform : public Platform {
 public:
  struct Box {
    std::string caption;
    std::string text;
    int32_t style = 0;
  };
  struct Dialog {
    std::string title;
    std::string prompt;
    std::string answer;  // what was answered ("" when none was queued)
  };
  struct Notification {
    WindowHandle window = nullptr;
    HostNotice notice = HostNotice::Error;
  };
  // Every event in the order it happened.
  enum class EventKind { Box, Dialog, Notification, Output };
  struct Event {
    EventKind kind;
    std::size_t index;  // into the matching vector
  };

  void ShowMessageBox(std::string_view caption, std::string_view text, int32_t style) override;
  std::optional<std::string> AskInput(const InputRequest& request) override;
  void PostNotification(WindowHandle window, HostNotice notice) override;
  LocalTime Now() override { return now; }
  void WriteOutput(std::string_view text) override;

  // Replies for INPUT, used in order. With none left, AskInput answers
  // nothing (end of input).
  void QueueAnswer(std::string answer) { answers_.push_back(std::move(answer)); }

  // Called while a box or dialog is up, before it is answered.
  std::function<void()> onModal;

  LocalTime now{2026, 12, 10, 14, 5, 9};
  std::vector<Box> boxes;
  std::vector<Dialog> dialogs;
  std::vector<Notification> notifications;
  std::string output;
  std::vector<Event> events;

 private:
  std::deque<std::string> answers_;
};

}  // namespace tenrek
