#include "sim/runner/script.h"

#include <charconv>
#include <limits>

namespace tenrek::host {

namespace {

using Kinds = std::vector<ParameterKind>;
constexpr ParameterKind T = ParameterKind::Text;
constexpr ParameterKind I = ParameterKind::Integer;
constexpr ParameterKind F = ParameterKind::Float;

const std::vector<Kinds> kActionParameters = {
    {T}, {}, {I}, {T, I}, {T, T}, {}, {}, {T}, {T}, {}, {T, F}, {}, {I}};
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

bool IsBlank(char c) { return c == ' ' || c == '\t'; }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }

int HexValue(char c) {
  if (IsDigit(c)) return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

}  // namespace

std::optional<std::string> ReadScriptString(std::string_view line, std::size_t& pos,
                                            std::string& error) {
  std::string out;
  for (++pos; pos < line.size(); ++pos) {
    const char c = line[pos];
    if (c == '"') {
      ++pos;
      return out;
    }
    if (c != '\\') {
      out.push_back(c);
      continue;
    }
    if (++pos >= line.size()) break;
    switch (line[pos]) {
      case '\\': out.push_back('\\'); break;
      case '"': out.push_back('"'); break;
      case 'n': out.push_back('\n'); break;
      case 'r': out.push_back('\r'); break;
      case 't': out.push_back('\t'); break;
      case 'x': {
        const int high = pos + 1 < line.size() ? HexValue(line[pos + 1]) : -1;
        const int low = pos + 2 < line.size() ? HexValue(line[pos + 2]) : -1;
        if (high < 0 || low < 0) {
          error = "\\x needs two hexadecimal digits";
          return std::nullopt;
        }
        out.push_back(static_cast<char>(high * 16 + low));
        pos += 2;
        break;
      }
      default:
        error = std::string("unknown escape \\") + line[pos];
        return std::nullopt;
    }
  }
  error = "string not closed";
  return std::nullopt;
}

std::optional<std::vector<ScriptWord>> SplitScriptWords(std::string_view line,
                                                        std::string& error) {
  std::vector<ScriptWord> words;
  std::size_t pos = 0;
  for (;;) {
    while (pos < line.size() && IsBlank(line[pos])) ++pos;
    if (pos >= line.size()) return words;
    if (line[pos] == '"') {
      std::optional<std::string> text = ReadScriptString(line, pos, error);
      if (!text) return std::nullopt;
      if (pos < line.size() && !IsBlank(line[pos])) {
        error = "a blank must follow a string";
        return std::nullopt;
      }
      words.push_back({true, std::move(*text)});
      continue;
    }
    const std::size_t start = pos;
    while (pos < line.size() && !IsBlank(line[pos])) ++pos;
    words.push_back({false, std::string(line.substr(start, pos - start))});
  }
}

namespace {

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
  OperationParser(std::string_view line, std::vector<Word> words, Operation& op,
                  std::string& error)
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
  bool ParseCreate();
  bool ParseOnbox();
  bool ParseWatch();

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
        if (word->kind != Word::Kind::Integer || word->integer < std::numeric_limits<int32_t>::min() ||
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
  op_.kind = OperationKind::Create;
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
  op_.kind = OperationKind::Onbox;
  std::size_t pos = 0;
  while (pos < line_.size() && IsBlank(line_[pos])) ++pos;
  pos += words_[0].text.size();
  while (pos < line_.size() && IsBlank(line_[pos])) ++pos;
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

bool OperationParser::Parse() {
  if (words_[0].kind != Word::Kind::Bare) return Fail("an operation name must come first");
  const std::string& name = words_[0].text;
  if (name == "create") return ParseCreate();
  if (name == "onbox") return ParseOnbox();
  if (name == "destroy" || name == "pump") {
    op_.kind = name == "destroy" ? OperationKind::Destroy : OperationKind::Pump;
    return ArgumentCount(0, 0);
  }
  if (name == "action") {
    op_.kind = OperationKind::Action;
    return ArgumentCount(1, 3) && Code(1, 13, "action") && Parameters(ActionParameters(op_.code), 2);
  }
  if (name == "condition") {
    op_.kind = OperationKind::Condition;
    return ArgumentCount(1, 2) && Code(1, 4, "condition") &&
           Parameters(ConditionParameters(op_.code), 2);
  }
  if (name == "expression") {
    op_.kind = OperationKind::Expression;
    return ArgumentCount(1, 2) && Code(1, 8, "expression") &&
           Parameters(ExpressionParameters(op_.code), 2);
  }
  if (name == "message") {
    op_.kind = OperationKind::Message;
    if (!ArgumentCount(1, 1)) return false;
    const Word& word = words_[1];
    if (word.kind != Word::Kind::Integer || word.integer < 0 ||
        word.integer > std::numeric_limits<uint32_t>::max()) {
      return Fail("message: expected a message number, not " + word.text);
    }
    op_.message = static_cast<uint32_t>(word.integer);
    return true;
  }
  if (name == "answer" || name == "show" || name == "renum") {
    op_.kind = name == "answer" ? OperationKind::Answer
               : name == "show" ? OperationKind::Show
                                : OperationKind::Renum;
    if (!ArgumentCount(1, 1)) return false;
    return Text(1, op_.kind == OperationKind::Show ? op_.name : op_.content);
  }
  if (name == "file") {
    op_.kind = OperationKind::File;
    return ArgumentCount(2, 2) && Text(1, op_.name) && Text(2, op_.content);
  }
  if (name == "watch" || name == "unwatch") {
    op_.kind = name == "watch" ? OperationKind::Watch : OperationKind::Unwatch;
    return ParseWatch();
  }
  return Fail("unknown operation " + name);
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

std::optional<Operation> ParseOperation(std::string_view line, int lineNumber,
                                        std::string& error) {
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
  int lineNumber = 0;
  std::size_t pos = 0;
  while (pos < text.size()) {
    std::size_t end = text.find('\n', pos);
    if (end == std::string_view::npos) end = text.size();
    std::string_view line = text.substr(pos, end - pos);
    pos = end + 1;
    ++lineNumber;
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    const std::size_t first = line.find_first_not_of(" \t");
    if (first == std::string_view::npos || line[first] == '#') continue;
    std::string message;
    std::optional<Operation> op = ParseOperation(line, lineNumber, message);
    if (!op) {
      error = "line " + std::to_string(lineNumber) + ": " + message;
      return std::nullopt;
    }
    script.operations.push_back(std::move(*op));
  }
  return script;
}

}  // namespace tenrek::host
