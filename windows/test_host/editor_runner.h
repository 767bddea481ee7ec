// Plays editor-side host scripts (editor_parser.h) against the module
// loaded in this process, as the authoring host's editor calls it, and
// writes the transcript.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "sim/runner/runner.h"
#include "sim/runner/transcript.h"
#include "windows/test_host/editor_host.h"
#include "windows/test_host/editor_parser.h"
#include "windows/test_host/loaded_module.h"
#include "windows/test_host/win32_environment.h"

namespace tenrek::testhost {

class EditorRunner : public host::ModalObserver {
 public:
  EditorRunner(LoadedModule& module, Win32Environment& environment,
               host::TranscriptWriter& transcript);
  ~EditorRunner() override;

  // 0 when the script ran to its end, 2 after a failure (Failure() says why).
  int Run(const std::vector<EditorOperation>& script);
  const std::string& Failure() const { return failure_; }

  // ModalObserver
  void OnMessageBox(std::string_view caption, int32_t style, std::string_view text) override;
  std::optional<std::string> OnInputDialog(std::string_view title,
                                           std::string_view prompt) override;
  void OnOutput(std::string_view text) override;

 private:
  void Perform(const EditorOperation& op);
  bool RequireData(const EditorOperation& op);
  void Fail(const std::string& message);
  void RunSetup();
  void PerformStep(HWND dialog, const EditorOperation& step);
  void PrintData();
  void PrintMenu(EventKind table);
  void PrintMenuItems(HMENU menu, const std::string& indent);
  void PrintInfos(EventKind table, int32_t code);
  void PrintString(EventKind table, int32_t code);
  void PrintTitle(const EditorOperation& op);
  void PrintParam(const EditorOperation& op);
  void PrintObjInfos();
  void PrintResource(const EditorOperation& op);
  void Renumber(const std::string& text);
  void Line(const std::string& line);

  LoadedModule& module_;
  Win32Environment& environment_;
  host::TranscriptWriter& transcript_;
  EditorHost editor_;
  std::vector<const EditorOperation*> steps_;
  int currentLine_ = 0;
  bool failed_ = false;
  std::string failure_;
};

}  // namespace tenrek::testhost
