#include "sim/runner/script.h"

#include <charconv>
#include <limits>
#include <map>

namespace tenrek::host {

namespace {

using Kinds = std::vector<ParameterKind>;
constexpr ParameterKind T = ParameterKind::Text;
constexpr ParameterKind I = ParameterKind::Integer;
constexpr ParameterKind F = ParameterKind::Float;

const std::vector<Kinds> kActionParameters = {{T}, {},  {I}, {T, I}, {T, T}, {}, {},
                                              {T}, {T}, {},  {T, F}, {},     {I}};
const std::vector<Kinds> kConditionParameters = {{}, {}, {}, {T}};
const std::vector<Kinds> kExpressionParameters = {{T}, {T}, {T}, {}, {}, {I}, {I}, {I}};

// One blank-separated element of a line.
struct Word {
  enum class Kind { Bare, Integer, Decimal, Text };
  Kind kind = Kind::Bare;
  std::string text;  // a bare word as written, or a string decoded
  int64_t integer = 0;
  float decimal = 0.0f;
};

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

bool IsInteger(std::string_view s) {
  std::size_t i = !s.empty() && s[0] == '-' ? 1 : 0;
  if (i >= s.size()) return false;
  for (; i < s.size(); ++i) {
    if (!IsDigit(s[i])) return false;
  }
  return true;
}

bool IsDecimal(std::string_view s) {
  std::size_t i = !s.empty() && s[0] == '-' ? 1 : 0;
  int digits = 0;
  int points = 0;
  for (; i < s.size(); ++i) {
    if (IsDigit(s[i])) {
      ++digits;
    } else if (s[i] == '.') {
      ++points;
    } else {
      return false;
    }
  }
  return digits > 0 && points == 1;
}

std::optional<Word> ClassifyBare(std::string_view text, std::string& error) {
  Word word;
  word.text = std::string(text);
  const char* first = text.data();
  const char* last = text.data() + text.size();
  if (IsInteger(text)) {
    word.kind = Word::Kind::Integer;
    if (std::from_chars(first, last, word.integer).ec != std::errc()) {
      error = "number out of range: " + word.text;
      return std::nullopt;
    }
    word.decimal = static_cast<float>(word.integer);
  } else if (IsDecimal(text)) {
    word.kind = Word::Kind::Decimal;
    if (std::from_chars(first, last, word.decimal).ec != std::errc()) {
      error = "number out of range: " + word.text;
      return std::nullopt;
    }
  } else if (text.find('"') != std::string_view::npos) {
    error = "stray double quote in " + word.text;
    return std::nullopt;
  }
  return word;
}

std::optional<std::vector<Word>> SplitWords(std::string_view line, std::string& error) {
  std::optional<std::vector<ScriptWord>> split = SplitScriptWords(line, error);
  if (!split) return std::nullopt;
  std::vector<Word> words;
  for (ScriptWord& element : *split) {
    if (element.quoted) {
      words.push_back(Word{Word::Kind::Text, std::move(element.text)});
      continue;
    }
    std::optional<Word> word = ClassifyBare(element.text, error);
    if (!word) return std::nullopt;
    words.push_back(std::move(*word));
  }
  return words;
}

// Builds the operation from the words of its line; reports in `error`.
class OperationParser {
 public:
  OperationParser(std::string_view line, std::vector<Word> words, Operation& op, std::string& error)
      : line_(line), words_(std::move(words)), op_(op), error_(error) {}

  bool Parse();

 private:
  bool Fail(std::string message) {
    error_ = std::move(message);
    return false;
  }
  bool ArgumentCount(std::size_t least, std::size_t most);
  bool Text(std::size_t index, std::string& out);
  bool Code(std::size_t index, int32_t count, const char* what);
  bool Parameters(const Kinds& kinds, std::size_t from);
  // What follows each operation name: its kind and how to read the rest.
  struct Form {
    OperationKind kind;
    bool (OperationParser::*parse)();
  };
  static const std::map<std::string, Form, std::less<>>& Forms();

  bool ParseNoArguments();
  bool ParseCreate();
  bool ParseAction();
  bool ParseCondition();
  bool ParseExpression();
  bool ParseMessage();
  bool ParseContent();
  bool ParseShow();
  bool ParseFile();
  bool ParseWatch();
  bool ParseOnbox();

  std::string_view line_;
  std::vector<Word> words_;
  Operation& op_;
  std::string& error_;
};

bool OperationParser::ArgumentCount(std::size_t least, std::size_t most) {
  const std::size_t given = words_.size() - 1;
  if (given < least) return Fail(words_[0].text + ": too few arguments");
  if (given > most) return Fail(words_[0].text + ": too many arguments");
  return true;
}

bool OperationParser::Text(std::size_t index, std::string& out) {
  if (words_[index].kind != Word::Kind::Text) {
    return Fail(words_[0].text + ": expected a string in double quotes, not " + words_[index].text);
  }
  out = words_[index].text;
  return true;
}

bool OperationParser::Code(std::size_t index, int32_t count, const char* what) {
  const Word& word = words_[index];
  if (word.kind != Word::Kind::Integer || word.integer < 0 || word.integer >= count) {
    return Fail(std::string("no such ") + what + ": " + word.text);
  }
  op_.code = static_cast<int32_t>(word.integer);
  return true;
}

bool OperationParser::Parameters(const Kinds& kinds, std::size_t from) {
  if (words_.size() - from > kinds.size()) return Fail(words_[0].text + ": too many parameters");
  for (std::size_t i = 0; i < kinds.size(); ++i) {
    Argument argument;
    const Word* word = from + i < words_.size() ? &words_[from + i] : nullptr;
    switch (kinds[i]) {
      case ParameterKind::Text:
        argument.kind = Argument::Kind::Text;
        if (word != nullptr && !Text(from + i, argument.text)) return false;
        break;
      case ParameterKind::Integer:
        argument.kind = Argument::Kind::Integer;
        if (word == nullptr) break;
        if (word->kind != Word::Kind::Integer ||
            word->integer < std::numeric_limits<int32_t>::min() ||
            word->integer > std::numeric_limits<int32_t>::max()) {
          return Fail(words_[0].text + ": expected a 32-bit integer, not " + word->text);
        }
        argument.integer = static_cast<int32_t>(word->integer);
        break;
      case ParameterKind::Float:
        argument.kind = Argument::Kind::Float;
        if (word == nullptr) break;
        if (word->kind != Word::Kind::Integer && word->kind != Word::Kind::Decimal) {
          return Fail(words_[0].text + ": expected a number, not " + word->text);
        }
        argument.decimal = word->decimal;
        break;
    }
    op_.arguments.push_back(std::move(argument));
  }
  return true;
}

bool OperationParser::ParseCreate() {
  if (!ArgumentCount(0, 2)) return false;
  std::size_t next = 1;
  if (next < words_.size() && words_[next].kind == Word::Kind::Text) {
    op_.content = words_[next++].text;
  }
  if (next < words_.size() && words_[next].kind == Word::Kind::Bare &&
      words_[next].text == "encrypted") {
    op_.encrypted = true;
    ++next;
  }
  if (next < words_.size()) return Fail("create: unexpected " + words_[next].text);
  return true;
}

bool OperationParser::ParseWatch() {
  if (!ArgumentCount(1, op_.kind == OperationKind::Watch ? 2 : 1)) return false;
  if (!Code(1, 4, "event")) return false;
  if (words_.size() == 3) {
    if (op_.code != 3) return Fail("watch: only condition 3 takes a parameter");
    op_.hasContent = true;
    return Text(2, op_.content);
  }
  return true;
}

bool OperationParser::ParseOnbox() {
  std::size_t pos = 0;
  while (pos < line_.size() && IsScriptBlank(line_[pos])) ++pos;
  pos += words_[0].text.size();
  while (pos < line_.size() && IsScriptBlank(line_[pos])) ++pos;
  const std::string_view rest = line_.substr(pos);
  std::optional<Operation> queued = ParseOperation(rest, op_.lineNumber, error_);
  if (!queued) return false;
  if (queued->kind != OperationKind::Action && queued->kind != OperationKind::Condition &&
      queued->kind != OperationKind::Expression) {
    return Fail("onbox takes an action, condition or expression");
  }
  op_.queued = std::make_unique<Operation>(std::move(*queued));
  return true;
}

bool OperationParser::ParseNoArguments() { return ArgumentCount(0, 0); }

bool OperationParser::ParseAction() {
  return ArgumentCount(1, 3) && Code(1, 13, "action") && Parameters(ActionParameters(op_.code), 2);
}

bool OperationParser::ParseCondition() {
  return ArgumentCount(1, 2) && Code(1, 4, "condition") &&
         Parameters(ConditionParameters(op_.code), 2);
}

bool OperationParser::ParseExpression() {
  return ArgumentCount(1, 2) && Code(1, 8, "expression") &&
         Parameters(ExpressionParameters(op_.code), 2);
}

bool OperationParser::ParseMessage() {
  if (!ArgumentCount(1, 1)) return false;
  const Word& word = words_[1];
  if (word.kind != Word::Kind::Integer || word.integer < 0 ||
      word.integer > std::numeric_limits<uint32_t>::max()) {
    return Fail("message: expected a message number, not " + word.text);
  }
  op_.message = static_cast<uint32_t>(word.integer);
  return true;
}

// answer "TEXT", renum "TEXT"
bool OperationParser::ParseContent() { return ArgumentCount(1, 1) && Text(1, op_.content); }

// show "NAME"
bool OperationParser::ParseShow() { return ArgumentCount(1, 1) && Text(1, op_.name); }

// file "NAME" "CONTENT"
bool OperationParser::ParseFile() {
  return ArgumentCount(2, 2) && Text(1, op_.name) && Text(2, op_.content);
}

const std::map<std::string, OperationParser::Form, std::less<>>& OperationParser::Forms() {
  static const std::map<std::string, Form, std::less<>> forms = {
      {"create", {OperationKind::Create, &OperationParser::ParseCreate}},
      {"destroy", {OperationKind::Destroy, &OperationParser::ParseNoArguments}},
      {"pump", {OperationKind::Pump, &OperationParser::ParseNoArguments}},
      {"action", {OperationKind::Action, &OperationParser::ParseAction}},
      {"condition", {OperationKind::Condition, &OperationParser::ParseCondition}},
      {"expression", {OperationKind::Expression, &OperationParser::ParseExpression}},
      {"message", {OperationKind::Message, &OperationParser::ParseMessage}},
      {"answer", {OperationKind::Answer, &OperationParser::ParseContent}},
      {"file", {OperationKind::File, &OperationParser::ParseFile}},
      {"show", {OperationKind::Show, &OperationParser::ParseShow}},
      {"renum", {OperationKind::Renum, &OperationParser::ParseContent}},
      {"watch", {OperationKind::Watch, &OperationParser::ParseWatch}},
      {"unwatch", {OperationKind::Unwatch, &OperationParser::ParseWatch}},
      {"onbox", {OperationKind::Onbox, &OperationParser::ParseOnbox}},
  };
  return forms;
}

bool OperationParser::Parse() {
  if (words_[0].kind != Word::Kind::Bare) return Fail("an operation name must come first");
  const auto found = Forms().find(words_[0].text);
  if (found == Forms().end()) return Fail("unknown operation " + words_[0].text);
  op_.kind = found->second.kind;
  return (this->*found->second.parse)();
}

// `file` and `show` stay inside the runner's folder: a plain file name.
bool IsPlainFileName(std::string_view name) {
  if (name.empty() || name == "." || name == "..") return false;
  return name.find_first_of("/\\:") == std::string_view::npos &&
         name.find('\0') == std::string_view::npos;
}

}  // namespace

const std::vector<ParameterKind>& ActionParameters(int32_t code) {
  return kActionParameters.at(static_cast<std::size_t>(code));
}
const std::vector<ParameterKind>& ConditionParameters(int32_t code) {
  return kConditionParameters.at(static_cast<std::size_t>(code));
}
const std::vector<ParameterKind>& ExpressionParameters(int32_t code) {
  return kExpressionParameters.at(static_cast<std::size_t>(code));
}

std::optional<Operation> ParseOperation(std::string_view line, int lineNumber, std::string& error) {
  std::optional<std::vector<Word>> words = SplitWords(line, error);
  if (!words) return std::nullopt;
  if (words->empty()) {
    error = "empty operation";
    return std::nullopt;
  }
  Operation op;
  op.lineNumber = lineNumber;
  op.text = std::string(line);
  if (!OperationParser(line, std::move(*words), op, error).Parse()) return std::nullopt;
  if ((op.kind == OperationKind::File || op.kind == OperationKind::Show) &&
      !IsPlainFileName(op.name)) {
    error = "not a plain file name: " + op.name;
    return std::nullopt;
  }
  return op;
}

std::optional<Script> ParseScript(std::string_view text, std::string& error) {
  Script script;
  for (const ScriptLine& line : OperationLines(text)) {
    std::string message;
    std::optional<Operation> op = ParseOperation(line.text, line.number, message);
    if (!op) {
      error = "line " + std::to_string(line.number) + ": " + message;
      return std::nullopt;
    }
    script.operations.push_back(std::move(*op));
  }
  return script;
}

}  // namespace tenrek::host
