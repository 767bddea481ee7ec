// Editor-side host scripts, played only by the Windows test host: they
// drive the module's edit-time exports as the authoring host's editor
// does (creating the object, the setup dialog with scripted steps, the
// event editor's menus, codes, titles and strings, the resources) and
// print what came back. The operations are described in
// docs/host-script.md; they do not mix with run-time operations in one
// script.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "sim/runner/runner.h"
#include "sim/runner/transcript.h"
#include "windows/test_host/editor_host.h"
#include "windows/test_host/loaded_module.h"
#include "windows/test_host/win32_environment.h"

namespace tenrek::testhost {

enum class EditorKind {
  HostVersion, Resize, NewObject, Object, Step, Setup, Data, Menu, MenuCode, Infos, String,
  Title, Param, ObjInfos, GetInfos, Resource, Renum,
};

// Which description table an operation names.
enum class EventKind { Condition = 0, Action = 1, Expression = 2 };

struct EditorOperation {
  EditorKind kind = EditorKind::Data;
  int lineNumber = 0;
  std::string text;         // the line as written
  EventKind table = EventKind::Condition;
  int64_t first = 0;        // version word, menu id, code, info number, resource number
  int64_t second = 0;       // parameter index
  bool hasSecond = false;
  std::string word;         // step name, resource kind, resize mode
  std::string content;      // object text, typed text, renum text
  bool flag = false;        // object encrypted
  std::string stepText;     // a step as written after "step "
};

// True when some line of the script is an editor operation.
bool IsEditorScript(std::string_view text);

// Parses a whole editor script; nothing runs when one line is malformed.
std::optional<std::vector<EditorOperation>> ParseEditorScript(std::string_view text,
                                                              std::string& error);

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
