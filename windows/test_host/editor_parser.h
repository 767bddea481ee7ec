// Editor-side host scripts, played only by the Windows test host: they
// drive the module's edit-time exports as the authoring host's editor
// does (creating the object, the setup dialog with scripted steps, the
// event editor's menus, codes, titles and strings, the resources) and
// print what came back. The operations are described in
// docs/host-script.md; they do not mix with run-time operations in one
// script. This is their parser, on the word layer of the run-time
// parser; editor_runner.h plays them.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tenrek::testhost {

enum class EditorKind {
  HostVersion,
  Resize,
  NewObject,
  Object,
  Step,
  Setup,
  Data,
  Menu,
  MenuCode,
  Infos,
  String,
  Title,
  Param,
  ObjInfos,
  GetInfos,
  Resource,
  Renum,
};

// Which description table an operation names.
enum class EventKind { Condition = 0, Action = 1, Expression = 2 };

struct EditorOperation {
  EditorKind kind = EditorKind::Data;
  int lineNumber = 0;
  std::string text;  // the line as written
  EventKind table = EventKind::Condition;
  int64_t first = 0;   // version word, menu id, code, info number, resource number
  int64_t second = 0;  // parameter index
  bool hasSecond = false;
  std::string word;      // step name, resource kind, resize mode
  std::string content;   // object text, typed text, renum text
  bool flag = false;     // object encrypted
  std::string stepText;  // a step as written after "step "
};

// True when some line of the script is an editor operation.
bool IsEditorScript(std::string_view text);

// Parses a whole editor script; nothing runs when one line is malformed.
std::optional<std::vector<EditorOperation>> ParseEditorScript(std::string_view text,
                                                              std::string& error);

}  // namespace tenrek::testhost
