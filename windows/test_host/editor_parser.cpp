#include "windows/test_host/editor_parser.h"

#include <map>

#include "sim/runner/script_words.h"

namespace tenrek::testhost {

namespace {

struct Word {
  enum class Kind { Bare, Integer, Text };
  Kind kind = Kind::Bare;
  std::string text;
  int64_t integer = 0;
};

// A decimal integer (optionally negative) or 0x followed by hex digits.
bool ParseInteger(std::string_view text, int64_t& value) {
  bool negative = false;
  std::size_t pos = 0;
  if (!text.empty() && text[0] == '-') {
    negative = true;
    pos = 1;
  }
  int base = 10;
  if (text.size() > pos + 2 && text[pos] == '0' && (text[pos + 1] == 'x' || text[pos + 1] == 'X')) {
    base = 16;
    pos += 2;
  }
  if (pos >= text.size() || text.size() - pos > 10) return false;
  int64_t result = 0;
  for (; pos < text.size(); ++pos) {
    const int digit = host::HexDigitValue(text[pos]);
    if (digit < 0 || digit >= base) return false;
    result = result * base + digit;
  }
  value = negative ? -result : result;
  return value >= INT32_MIN && value <= UINT32_MAX;
}

std::optional<std::vector<Word>> SplitWords(std::string_view line, std::string& error) {
  std::optional<std::vector<host::ScriptWord>> split = host::SplitScriptWords(line, error);
  if (!split) return std::nullopt;
  std::vector<Word> words;
  for (host::ScriptWord& element : *split) {
    Word word;
    word.text = std::move(element.text);
    if (element.quoted) {
      word.kind = Word::Kind::Text;
    } else if (ParseInteger(word.text, word.integer)) {
      word.kind = Word::Kind::Integer;
    }
    words.push_back(std::move(word));
  }
  return words;
}

const std::map<std::string, EditorKind, std::less<>>& EditorOperationNames() {
  static const std::map<std::string, EditorKind, std::less<>> names = {
      {"hostversion", EditorKind::HostVersion},
      {"resize", EditorKind::Resize},
      {"newobject", EditorKind::NewObject},
      {"object", EditorKind::Object},
      {"step", EditorKind::Step},
      {"setup", EditorKind::Setup},
      {"data", EditorKind::Data},
      {"menu", EditorKind::Menu},
      {"menucode", EditorKind::MenuCode},
      {"infos", EditorKind::Infos},
      {"string", EditorKind::String},
      {"title", EditorKind::Title},
      {"param", EditorKind::Param},
      {"objinfos", EditorKind::ObjInfos},
      {"getinfos", EditorKind::GetInfos},
      {"resource", EditorKind::Resource},
      {"renum", EditorKind::Renum},
  };
  return names;
}

class LineParser {
 public:
  LineParser(std::vector<Word> words, EditorOperation& op) : words_(std::move(words)), op_(op) {}

  bool Parse(std::string& error);

 private:
  bool Count(std::size_t least, std::size_t most);
  bool Integer(std::size_t index, int64_t& out);
  bool Text(std::size_t index, std::string& out);
  bool Table(std::size_t index);
  bool ParseObject();
  bool ParseStep();
  bool ParseTitle();
  bool ParseResource();
  bool Bad(std::string message) {
    error_ = std::move(message);
    return false;
  }

  std::vector<Word> words_;  // after the operation name
  EditorOperation& op_;
  std::string error_;
};

bool LineParser::Count(std::size_t least, std::size_t most) {
  if (words_.size() >= least && words_.size() <= most) return true;
  return Bad(least == most
                 ? "takes " + std::to_string(least) + " arguments"
                 : "takes " + std::to_string(least) + " to " + std::to_string(most) + " arguments");
}

bool LineParser::Integer(std::size_t index, int64_t& out) {
  if (words_[index].kind != Word::Kind::Integer) {
    return Bad("argument " + std::to_string(index + 1) + " must be an integer");
  }
  out = words_[index].integer;
  return true;
}

bool LineParser::Text(std::size_t index, std::string& out) {
  if (words_[index].kind != Word::Kind::Text) {
    return Bad("argument " + std::to_string(index + 1) + " must be a string in double quotes");
  }
  out = words_[index].text;
  return true;
}

bool LineParser::Table(std::size_t index) {
  const std::string& name = words_[index].text;
  if (words_[index].kind == Word::Kind::Bare) {
    if (name == "condition") return op_.table = EventKind::Condition, true;
    if (name == "action") return op_.table = EventKind::Action, true;
    if (name == "expression") return op_.table = EventKind::Expression, true;
  }
  return Bad("expected condition, action or expression");
}

bool LineParser::ParseObject() {
  if (!Count(0, 2)) return false;
  std::size_t next = 0;
  if (next < words_.size() && words_[next].kind == Word::Kind::Text) {
    op_.content = words_[next++].text;
  }
  if (next < words_.size()) {
    if (words_[next].kind != Word::Kind::Bare || words_[next].text != "encrypted") {
      return Bad("expected \"TEXT\" and then encrypted");
    }
    op_.flag = true;
    ++next;
  }
  return next == words_.size() || Bad("expected \"TEXT\" and then encrypted");
}

bool LineParser::ParseStep() {
  if (!Count(1, 3) || words_[0].kind != Word::Kind::Bare) {
    return error_.empty() ? Bad("expected a step name") : false;
  }
  op_.word = words_[0].text;
  if (op_.word == "type") {
    // type "TEXT" [COUNT]: the text typed COUNT times over (for long texts).
    if (!Count(2, 3) || !Text(1, op_.content)) return false;
    if (words_.size() == 3 && (!Integer(2, op_.first) || op_.first < 1 || op_.first > 100000)) {
      return error_.empty() ? Bad("the count must lie between 1 and 100000") : false;
    }
    if (words_.size() == 3) {
      std::string repeated;
      for (int64_t i = 0; i < op_.first; ++i) repeated += op_.content;
      op_.content = std::move(repeated);
    }
    return true;
  }
  static const char* const kSimple[] = {"read",   "checkbox", "renum", "tick",
                                        "untick", "ok",       "escape"};
  for (const char* name : kSimple) {
    if (op_.word == name) return Count(1, 1);
  }
  return Bad("unknown step " + op_.word);
}

bool LineParser::ParseTitle() {
  if (!Count(2, 3) || !Table(0) || !Integer(1, op_.first)) return false;
  if (op_.table == EventKind::Expression) {
    return Count(2, 2) || Bad("an expression title takes no parameter index");
  }
  op_.hasSecond = words_.size() == 3;
  return !op_.hasSecond || Integer(2, op_.second);
}

bool LineParser::ParseResource() {
  if (!Count(1, 2) || words_[0].kind != Word::Kind::Bare) {
    return error_.empty() ? Bad("expected bitmap, data, string, dialog or version") : false;
  }
  op_.word = words_[0].text;
  if (op_.word == "version") return Count(1, 1);
  if (op_.word == "bitmap" || op_.word == "data" || op_.word == "string" || op_.word == "dialog") {
    return Count(2, 2) && Integer(1, op_.first);
  }
  return Bad("expected bitmap, data, string, dialog or version");
}

bool LineParser::Parse(std::string& error) {
  bool ok = false;
  switch (op_.kind) {
    case EditorKind::HostVersion: ok = Count(1, 1) && Integer(0, op_.first); break;
    case EditorKind::Resize:
      ok = Count(1, 1) && (words_[0].text == "allow" || words_[0].text == "refuse"
                               ? (op_.word = words_[0].text, true)
                               : Bad("expected allow or refuse"));
      break;
    case EditorKind::NewObject:
    case EditorKind::Setup:
    case EditorKind::Data:
    case EditorKind::ObjInfos: ok = Count(0, 0); break;
    case EditorKind::Object: ok = ParseObject(); break;
    case EditorKind::Step: ok = ParseStep(); break;
    case EditorKind::Menu: ok = Count(1, 1) && Table(0); break;
    case EditorKind::MenuCode:
    case EditorKind::Infos:
    case EditorKind::String: ok = Count(2, 2) && Table(0) && Integer(1, op_.first); break;
    case EditorKind::Title: ok = ParseTitle(); break;
    case EditorKind::Param:
      ok = Count(2, 2) && Integer(0, op_.first) && Integer(1, op_.second);
      break;
    case EditorKind::GetInfos: ok = Count(1, 1) && Integer(0, op_.first); break;
    case EditorKind::Resource: ok = ParseResource(); break;
    case EditorKind::Renum: ok = Count(1, 1) && Text(0, op_.content); break;
  }
  if (!ok) error = error_;
  return ok;
}

std::optional<EditorOperation> ParseEditorLine(std::string_view line, int number,
                                               std::string& error) {
  std::optional<std::vector<Word>> words = SplitWords(line, error);
  if (!words) return std::nullopt;
  const std::string name = words->front().text;
  const auto found = EditorOperationNames().find(name);
  if (found == EditorOperationNames().end()) {
    error = "`" + name +
            "` is not an editor operation (run-time and editor operations do not "
            "mix in one script)";
    return std::nullopt;
  }
  EditorOperation op;
  op.kind = found->second;
  op.lineNumber = number;
  op.text = std::string(line.substr(line.find_first_not_of(" \t")));
  if (op.kind == EditorKind::Step) {
    const std::size_t after = op.text.find_first_not_of(" \t", name.size());
    op.stepText = after == std::string::npos ? "" : op.text.substr(after);
  }
  words->erase(words->begin());
  LineParser parser(std::move(*words), op);
  if (!parser.Parse(error)) {
    error = name + ": " + error;
    return std::nullopt;
  }
  return op;
}

}  // namespace

bool IsEditorScript(std::string_view text) {
  for (const host::ScriptLine& line : host::OperationLines(text)) {
    // renum is a run-time operation as well: it decides nothing.
    const std::string_view name = host::OperationName(line.text);
    if (name != "renum" && EditorOperationNames().count(name) != 0) return true;
  }
  return false;
}

std::optional<std::vector<EditorOperation>> ParseEditorScript(std::string_view text,
                                                              std::string& error) {
  std::vector<EditorOperation> script;
  for (const host::ScriptLine& line : host::OperationLines(text)) {
    std::optional<EditorOperation> op = ParseEditorLine(line.text, line.number, error);
    if (!op) {
      error = "line " + std::to_string(line.number) + ": " + error;
      return std::nullopt;
    }
    script.push_back(std::move(*op));
  }
  return script;
}

}  // namespace tenrek::testhost
