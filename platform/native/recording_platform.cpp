#include "platform/native/recording_platform.h"

namespace tenrek {

void RecordingPlatform::ShowMessageBox(std::string_view caption, std::string_view text,
                                       int32_t style) {
  boxes.push_back({std::string(caption), std::string(text), style});
  events.push_back({EventKind::Box, boxes.size() - 1});
  if (onModal) onModal();
}

std::optional<std::string> RecordingPlatform::AskInput(const InputRequest& request) {
  dialogs.push_back({std::string(request.title), std::string(request.prompt), {}});
  events.push_back({EventKind::Dialog, dialogs.size() - 1});
  const std::size_t index = dialogs.size() - 1;
  if (onModal) onModal();
  if (answers_.empty()) return std::nullopt;
  std::string answer = std::move(answers_.front());
  answers_.pop_front();
  dialogs[index].answer = answer;
  return answer;
}

void RecordingPlatform::PostNotification(WindowHandle window, HostNotice notice) {
  notifications.push_back({window, notice});
  events.push_back({EventKind::Notification, notifications.size() - 1});
}

void RecordingPlatform::WriteOutput(std::string_view text) {
  output.append(text);
  events.push_back({EventKind::Output, output.size()});
}

}  // namespace tenrek
