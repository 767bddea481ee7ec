// Host scripts: one operation per line, driving one BASIC object the way
// the authoring host does (see the host-script documentation). This is the
// parser; runner.h plays the operations and transcript.h writes what
// happened. Portable, shared by `tenrek host` and the Windows test host.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "sim/runner/script_words.h"

namespace tenrek::host {

enum class OperationKind {
  Create,
  Destroy,
  Action,
  Condition,
  Expression,
  Pump,
  Message,
  Answer,
  File,
  Show,
  Renum,
  Watch,
  Unwatch,
  Onbox,
};

// A parameter handed to a handler. Absent parameters are filled in with
// the empty text or 0, whichever the handler expects.
struct Argument {
  enum class Kind { Text, Integer, Float };
  Kind kind = Kind::Integer;
  std::string text;
  int32_t integer = 0;
  float decimal = 0.0f;  // the float parameter of action 10
};

struct Operation {
  OperationKind kind = OperationKind::Pump;
  int lineNumber = 0;               // in the script, from 1
  std::string text;                 // as written; for an onbox operation, the text after "onbox "
  int32_t code = 0;                 // action, condition, expression or event number
  uint32_t message = 0;             // `message N`
  std::vector<Argument> arguments;  // handler parameters, all filled in
  std::string name;                 // `file`, `show`
  std::string content;              // `create`, `file`, `answer`, `renum`; the watch parameter
  bool encrypted = false;
  bool hasContent = false;            // `watch 3 "P"` gave P
  std::unique_ptr<Operation> queued;  // `onbox OPERATION`
};

struct Script {
  std::vector<Operation> operations;
};

// Parses a whole script; nothing runs when one line is malformed. On
// failure `error` says "line N: ..." and nothing is returned.
std::optional<Script> ParseScript(std::string_view text, std::string& error);

// Parses one operation line (not blank, not a comment).
std::optional<Operation> ParseOperation(std::string_view line, int lineNumber, std::string& error);

// The parameters each handler of the BASIC object takes, in order.
enum class ParameterKind { Text, Integer, Float };
const std::vector<ParameterKind>& ActionParameters(int32_t code);      // 0 to 12
const std::vector<ParameterKind>& ConditionParameters(int32_t code);   // 0 to 3
const std::vector<ParameterKind>& ExpressionParameters(int32_t code);  // 0 to 7

}  // namespace tenrek::host
