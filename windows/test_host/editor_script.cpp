#include "windows/test_host/editor_script.h"

#include <cstdio>
#include <cstring>
#include <map>

#include "host/exports.h"
#include "sim/runner/script.h"
#include "host/win32/edit_exports.h"
#include "resources/resource.h"

namespace tenrek::testhost {

namespace {

// ---------------------------------------------------------------- parsing

struct Word {
  enum class Kind { Bare, Integer, Text };
  Kind kind = Kind::Bare;
  std::string text;
  int64_t integer = 0;
};

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

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
    const int digit = HexDigit(text[pos]);
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
      {"hostversion", EditorKind::HostVersion}, {"resize", EditorKind::Resize},
      {"newobject", EditorKind::NewObject},     {"object", EditorKind::Object},
      {"step", EditorKind::Step},               {"setup", EditorKind::Setup},
      {"data", EditorKind::Data},               {"menu", EditorKind::Menu},
      {"menucode", EditorKind::MenuCode},       {"infos", EditorKind::Infos},
      {"string", EditorKind::String},           {"title", EditorKind::Title},
      {"param", EditorKind::Param},             {"objinfos", EditorKind::ObjInfos},
      {"getinfos", EditorKind::GetInfos},       {"resource", EditorKind::Resource},
      {"renum", EditorKind::Renum},
  };
  return names;
}

// The first word of a line that is not blank or a comment, else empty.
std::string_view FirstWord(std::string_view line) {
  std::size_t pos = 0;
  while (pos < line.size() && IsBlank(line[pos])) ++pos;
  if (pos >= line.size() || line[pos] == '#') return {};
  std::size_t end = pos;
  while (end < line.size() && !IsBlank(line[end])) ++end;
  return line.substr(pos, end - pos);
}

template <typename Visit>
void ForEachLine(std::string_view text, Visit visit) {
  int number = 0;
  while (!text.empty()) {
    const std::size_t end = text.find('\n');
    std::string_view line = text.substr(0, end);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    if (!visit(line, ++number)) return;
    if (end == std::string_view::npos) break;
    text.remove_prefix(end + 1);
  }
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
  return Bad(least == most ? "takes " + std::to_string(least) + " arguments"
                           : "takes " + std::to_string(least) + " to " + std::to_string(most) +
                                 " arguments");
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
  static const char* const kSimple[] = {"read", "checkbox", "renum", "tick", "untick", "ok",
                                        "escape"};
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
  if (op_.word == "bitmap" || op_.word == "data" || op_.word == "string" ||
      op_.word == "dialog") {
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
    error = "`" + name + "` is not an editor operation (run-time and editor operations do not "
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

// ------------------------------------------------------------ the exports

typedef int32_t(TENREK_STDCALL* CreateObjectExport)(host::EditHost*, host::EditData*, void*);
typedef int32_t(TENREK_STDCALL* EditObjectExport)(host::EditHost*, void*, void*, host::EditData*);
typedef HMENU(TENREK_STDCALL* MenuExport)(host::EditHost*, void*, host::EditData*);
typedef int16_t(TENREK_STDCALL* CodeExport)(host::EditHost*, int32_t);
typedef const int16_t*(TENREK_STDCALL* InfosExport)(host::EditHost*, int32_t);
typedef void(TENREK_STDCALL* StringExport)(host::EditHost*, int32_t, char*, int32_t);
typedef int32_t(TENREK_STDCALL* TitleExport)(host::EditHost*, int32_t, int32_t, char*, int32_t);
typedef int32_t(TENREK_STDCALL* ExpressionTitleExport)(host::EditHost*, int32_t, char*, int32_t);
typedef int32_t(TENREK_STDCALL* ObjInfosExport)(host::EditHost*, void*, char*, char*, char*,
                                                char*, char*);
typedef uint32_t(TENREK_STDCALL* GetInfosExport)(int32_t);
typedef int32_t(TENREK_STDCALL* InitializeExport)(host::EditHost*, int32_t);
typedef int32_t(TENREK_STDCALL* FreeExport)(host::EditHost*);

const char* TableName(EventKind table, const char* condition, const char* action,
                      const char* expression) {
  switch (table) {
    case EventKind::Condition: return condition;
    case EventKind::Action: return action;
    case EventKind::Expression: return expression;
  }
  return condition;
}

// The version word the editor's host reports; a function without
// arguments, as the host offers it, so it lives here.
uint32_t gHostVersion = kCompatibleHostVersion;
uint32_t TENREK_STDCALL ReportHostVersion() { return gHostVersion; }

// Buffers handed to the string exports start out holding this, so that a
// call that writes nothing shows as "untouched".
constexpr char kUntouched[] = "\x7Funtouched";
constexpr int32_t kTextBuffer = 256;

std::string BufferResult(const char* buffer) {
  if (std::strcmp(buffer, kUntouched) == 0) return "untouched";
  return host::QuoteBytes(buffer);
}

// Reads an extended dialog template (DLGTEMPLATEEX and its items) and
// prints it: the dialog, then one line per control.
class DialogTemplateReader {
 public:
  DialogTemplateReader(const BYTE* bytes, std::size_t size) : bytes_(bytes), size_(size) {}

  // One line per element; empty when the template is not an extended one.
  std::vector<std::string> Lines();

 private:
  uint16_t Word() {
    uint16_t value = 0;
    if (pos_ + 2 <= size_) std::memcpy(&value, bytes_ + pos_, 2);
    pos_ += 2;
    return value;
  }
  uint32_t DoubleWord() {
    const uint32_t low = Word();
    return low | static_cast<uint32_t>(Word()) << 16;
  }
  int16_t Short() { return static_cast<int16_t>(Word()); }
  // A zero-terminated UTF-16 text, as code page 1252 bytes.
  std::string Text() {
    std::wstring wide;
    for (uint16_t c = Word(); c != 0 && pos_ <= size_; c = Word()) wide.push_back(static_cast<wchar_t>(c));
    if (wide.empty()) return {};
    std::string text(wide.size() * 2, '\0');
    const int length = WideCharToMultiByte(1252, 0, wide.data(), static_cast<int>(wide.size()),
                                           text.data(), static_cast<int>(text.size()), nullptr,
                                           nullptr);
    text.resize(length > 0 ? static_cast<std::size_t>(length) : 0);
    return text;
  }
  // A text or, after 0xFFFF, an ordinal (written #N).
  std::string TextOrOrdinal() {
    if (pos_ + 2 <= size_ && bytes_[pos_] == 0xFF && bytes_[pos_ + 1] == 0xFF) {
      pos_ += 2;
      return "#" + std::to_string(Word());
    }
    return host::QuoteBytes(Text());
  }
  void AlignToDoubleWord() { pos_ = (pos_ + 3) & ~static_cast<std::size_t>(3); }

  static std::string Hex(uint32_t value) {
    char text[16];
    std::snprintf(text, sizeof text, "0x%08lX", static_cast<unsigned long>(value));
    return text;
  }
  static std::string Box(int16_t x, int16_t y, int16_t cx, int16_t cy) {
    return " at " + std::to_string(x) + "," + std::to_string(y) + " size " + std::to_string(cx) +
           "x" + std::to_string(cy);
  }

  const BYTE* bytes_;
  std::size_t size_;
  std::size_t pos_ = 0;
};

std::vector<std::string> DialogTemplateReader::Lines() {
  std::vector<std::string> lines;
  if (Word() != 1 || Word() != 0xFFFF) return lines;
  DoubleWord();  // help id
  const uint32_t exStyle = DoubleWord();
  const uint32_t style = DoubleWord();
  const int count = Word();
  const int16_t x = Short(), y = Short(), cx = Short(), cy = Short();
  const std::string menu = TextOrOrdinal();
  const std::string windowClass = TextOrOrdinal();
  std::string line = "dialog style " + Hex(style) + " exstyle " + Hex(exStyle) + Box(x, y, cx, cy) +
                     " caption " + host::QuoteBytes(Text());
  if (style & (DS_SETFONT | DS_SHELLFONT)) {
    const int points = Word();
    const int weight = Word();
    Word();  // italic and character set
    line += " font " + std::to_string(points) + " " + std::to_string(weight) + " " +
            host::QuoteBytes(Text());
  }
  if (menu != "\"\"") line += " menu " + menu;
  if (windowClass != "\"\"") line += " class " + windowClass;
  lines.push_back(line);
  for (int i = 0; i < count && pos_ < size_; ++i) {
    AlignToDoubleWord();
    DoubleWord();  // help id
    const uint32_t itemExStyle = DoubleWord();
    const uint32_t itemStyle = DoubleWord();
    const int16_t ix = Short(), iy = Short(), icx = Short(), icy = Short();
    const int32_t id = static_cast<int32_t>(DoubleWord());
    const std::string itemClass = TextOrOrdinal();
    const std::string title = TextOrOrdinal();
    pos_ += Word();  // creation data
    lines.push_back("control " + std::to_string(id) + " class " + itemClass + " text " + title +
                    " style " + Hex(itemStyle) + " exstyle " + Hex(itemExStyle) +
                    Box(ix, iy, icx, icy));
  }
  return lines;
}

}  // namespace

bool IsEditorScript(std::string_view text) {
  bool editor = false;
  ForEachLine(text, [&editor](std::string_view line, int) {
    const std::string_view word = FirstWord(line);
    if (!word.empty() && word != "renum" && EditorOperationNames().count(word) != 0) {
      editor = true;
    }
    return !editor;
  });
  return editor;
}

std::optional<std::vector<EditorOperation>> ParseEditorScript(std::string_view text,
                                                              std::string& error) {
  std::vector<EditorOperation> script;
  bool ok = true;
  ForEachLine(text, [&](std::string_view line, int number) {
    if (FirstWord(line).empty()) return true;
    std::optional<EditorOperation> op = ParseEditorLine(line, number, error);
    if (!op) {
      error = "line " + std::to_string(number) + ": " + error;
      ok = false;
      return false;
    }
    script.push_back(std::move(*op));
    return true;
  });
  if (!ok) return std::nullopt;
  return script;
}

// ---------------------------------------------------------------- running

EditorRunner::EditorRunner(LoadedModule& module, Win32Environment& environment,
                           host::TranscriptWriter& transcript)
    : module_(module),
      environment_(environment),
      transcript_(transcript),
      editor_(static_cast<HWND>(environment.MainWindow()), ReportHostVersion) {
  environment_.SetObserver(this);
}

EditorRunner::~EditorRunner() { environment_.SetObserver(nullptr); }

int EditorRunner::Run(const std::vector<EditorOperation>& script) {
  gHostVersion = kCompatibleHostVersion;
  // The editor loads the module with the wait cursor showing.
  module_.Get<InitializeExport>("Initialize")(editor_.Record(), 0);
  for (const EditorOperation& op : script) {
    if (failed_) break;
    currentLine_ = op.lineNumber;
    transcript_.Echo(op.text);
    Perform(op);
  }
  module_.Get<FreeExport>("Free")(editor_.Record());
  return failed_ ? 2 : 0;
}

void EditorRunner::Fail(const std::string& message) {
  if (failed_) return;
  failed_ = true;
  failure_ = "line " + std::to_string(currentLine_) + ": " + message;
  transcript_.Close();
}

void EditorRunner::Line(const std::string& line) { transcript_.Output(line + "\n"); }

bool EditorRunner::RequireData(const EditorOperation& op) {
  if (editor_.HasData()) return true;
  const std::string name = op.text.substr(0, op.text.find_first_of(" \t"));
  Fail(name + " needs object data (newobject or object first)");
  return false;
}

void EditorRunner::Perform(const EditorOperation& op) {
  switch (op.kind) {
    case EditorKind::HostVersion: gHostVersion = static_cast<uint32_t>(op.first); break;
    case EditorKind::Resize: editor_.AllowResize(op.word == "allow"); break;
    case EditorKind::NewObject: {
      editor_.NewData();
      const int32_t result = module_.Get<CreateObjectExport>("CreateObject")(
          editor_.Record(), editor_.Data(), nullptr);
      transcript_.Result(std::to_string(result));
      break;
    }
    case EditorKind::Object: editor_.SetData(op.content, op.flag); break;
    case EditorKind::Step: steps_.push_back(&op); break;
    case EditorKind::Setup:
      if (RequireData(op)) RunSetup();
      break;
    case EditorKind::Data:
      if (RequireData(op)) PrintData();
      break;
    case EditorKind::Menu: PrintMenu(op.table); break;
    case EditorKind::MenuCode: {
      const char* name = TableName(op.table, "GetConditionCodeFromMenu", "GetActionCodeFromMenu",
                                   "GetExpressionCodeFromMenu");
      const int16_t code =
          module_.Get<CodeExport>(name)(editor_.Record(), static_cast<int32_t>(op.first));
      transcript_.Result(std::to_string(code));
      break;
    }
    case EditorKind::Infos: PrintInfos(op.table, static_cast<int32_t>(op.first)); break;
    case EditorKind::String: PrintString(op.table, static_cast<int32_t>(op.first)); break;
    case EditorKind::Title: PrintTitle(op); break;
    case EditorKind::Param: PrintParam(op); break;
    case EditorKind::ObjInfos: PrintObjInfos(); break;
    case EditorKind::GetInfos:
      transcript_.Result(std::to_string(
          module_.Get<GetInfosExport>("GetInfos")(static_cast<int32_t>(op.first))));
      break;
    case EditorKind::Resource: PrintResource(op); break;
    case EditorKind::Renum: Renumber(op.content); break;
  }
}

// EditObject with the queued steps performed while the dialog is up.
// Steps after the one that ended the dialog, and all of them when no
// dialog came up, are dropped.
void EditorRunner::RunSetup() {
  const std::vector<const EditorOperation*> steps = std::move(steps_);
  steps_.clear();
  environment_.SetSetupSteps([this, &steps](HWND dialog) {
    for (const EditorOperation* step : steps) {
      if (failed_ || environment_.DialogEnded(dialog)) return;
      transcript_.Nested(step->stepText);
      PerformStep(dialog, *step);
    }
  });
  const int32_t result = module_.Get<EditObjectExport>("EditObject")(editor_.Record(), nullptr,
                                                                     nullptr, editor_.Data());
  environment_.SetSetupSteps(nullptr);
  transcript_.Result(std::to_string(result));
}

void EditorRunner::PerformStep(HWND dialog, const EditorOperation& step) {
  auto press = [dialog](int id) {
    SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(dialog, id)));
  };
  if (step.word == "read") {
    transcript_.Result(host::QuoteBytes(WindowText(GetDlgItem(dialog, IDC_SETUP_PROGRAM))));
  } else if (step.word == "checkbox") {
    transcript_.Result(IsDlgButtonChecked(dialog, IDC_SETUP_ENCRYPT) == BST_CHECKED ? "1" : "0");
  } else if (step.word == "type") {
    SetDlgItemTextA(dialog, IDC_SETUP_PROGRAM, step.content.c_str());
  } else if (step.word == "renum") {
    press(IDC_SETUP_RENUM);
  } else if (step.word == "tick" || step.word == "untick") {
    CheckDlgButton(dialog, IDC_SETUP_ENCRYPT, step.word == "tick" ? BST_CHECKED : BST_UNCHECKED);
  } else if (step.word == "ok") {
    press(IDOK);
  } else if (step.word == "escape") {
    press(IDCANCEL);
  }
}

// = size S length L flag F words W20 W22 W24 W26 "TEXT"
void EditorRunner::PrintData() {
  const host::EditData* data = editor_.Data();
  const std::size_t size = editor_.DataSize();
  const int32_t length = data->textLength;
  const std::size_t room = size - host::kEditDataFixedSize + 3;  // bytes from offset 36 on
  std::string line = "size " + std::to_string(size) + " length " + std::to_string(length) +
                     " flag " + std::to_string(data->encrypted) + " words " +
                     std::to_string(data->word20) + " " + std::to_string(data->word22) + " " +
                     std::to_string(data->word24) + " " + std::to_string(data->word26);
  if (length < 0 || static_cast<std::size_t>(length) >= room) {
    transcript_.Result(line + " (length does not fit the record)");
    return;
  }
  const char* text = host::EditDataText(data);
  line += " " + host::QuoteBytes(std::string_view(text, static_cast<std::size_t>(length)));
  if (text[length] != '\0') line += " unterminated";
  transcript_.Result(line);
}

void EditorRunner::PrintMenu(EventKind table) {
  const char* name = TableName(table, "GetConditionMenu", "GetActionMenu", "GetExpressionMenu");
  HMENU menu = module_.Get<MenuExport>(name)(editor_.Record(), nullptr, editor_.Data());
  if (menu == nullptr) {
    transcript_.Result("null");
    return;
  }
  PrintMenuItems(menu, "");
  DestroyMenu(menu);
}

// item ID "TEXT" [state N] / separator / popup "TEXT" with its items indented
void EditorRunner::PrintMenuItems(HMENU menu, const std::string& indent) {
  const int count = GetMenuItemCount(menu);
  for (int position = 0; position < count; ++position) {
    MENUITEMINFOA info = {};
    char text[256] = {};
    info.cbSize = sizeof info;
    info.fMask = MIIM_FTYPE | MIIM_ID | MIIM_STATE | MIIM_STRING | MIIM_SUBMENU;
    info.dwTypeData = text;
    info.cch = sizeof text;
    GetMenuItemInfoA(menu, static_cast<UINT>(position), TRUE, &info);
    if (info.fType & MFT_SEPARATOR) {
      Line(indent + "separator");
    } else if (info.hSubMenu != nullptr) {
      Line(indent + "popup " + host::QuoteBytes(text));
      PrintMenuItems(info.hSubMenu, indent + "  ");
    } else {
      std::string line = indent + "item " + std::to_string(info.wID) + " " + host::QuoteBytes(text);
      if (info.fState != 0) line += " state " + std::to_string(info.fState);
      Line(line);
    }
  }
}

// = code C flags F kinds K... titles T...
void EditorRunner::PrintInfos(EventKind table, int32_t code) {
  const char* name = TableName(table, "GetConditionInfos", "GetActionInfos", "GetExpressionInfos");
  const int16_t* info = module_.Get<InfosExport>(name)(editor_.Record(), code);
  if (info == nullptr) {
    transcript_.Result("null");
    return;
  }
  char head[48];
  std::snprintf(head, sizeof head, "code %d flags 0x%04X kinds", info[0],
                static_cast<unsigned>(static_cast<uint16_t>(info[1])));
  std::string line = head;
  const int count = info[2];
  auto append = [&line](int value) {
    line += ' ';
    line += std::to_string(value);
  };
  for (int i = 0; i < count; ++i) append(info[3 + i]);
  line += " titles";
  for (int i = 0; i < count; ++i) append(info[3 + count + i]);
  transcript_.Result(line);
}

void EditorRunner::PrintString(EventKind table, int32_t code) {
  const char* name =
      TableName(table, "GetConditionString", "GetActionString", "GetExpressionString");
  char buffer[kTextBuffer];
  std::strcpy(buffer, kUntouched);
  module_.Get<StringExport>(name)(editor_.Record(), code, buffer, kTextBuffer);
  transcript_.Result(BufferResult(buffer));
}

// = RESULT "TEXT"
void EditorRunner::PrintTitle(const EditorOperation& op) {
  char buffer[kTextBuffer];
  std::strcpy(buffer, kUntouched);
  const int32_t code = static_cast<int32_t>(op.first);
  const int32_t parameter = static_cast<int32_t>(op.second);
  int32_t result = 0;
  if (op.table == EventKind::Expression) {
    result = module_.Get<ExpressionTitleExport>("GetExpressionTitle")(editor_.Record(), code,
                                                                       buffer, kTextBuffer);
  } else {
    const char* name = op.table == EventKind::Condition ? "GetConditionTitle" : "GetActionTitle";
    result = module_.Get<TitleExport>(name)(editor_.Record(), code, parameter, buffer, kTextBuffer);
  }
  transcript_.Result(std::to_string(result) + " " + BufferResult(buffer));
}

void EditorRunner::PrintParam(const EditorOperation& op) {
  char buffer[kTextBuffer];
  std::strcpy(buffer, kUntouched);
  const int32_t result = module_.Get<TitleExport>("GetExpressionParam")(
      editor_.Record(), static_cast<int32_t>(op.first), static_cast<int32_t>(op.second), buffer,
      kTextBuffer);
  transcript_.Result(std::to_string(result) + " " + BufferResult(buffer));
}

void EditorRunner::PrintObjInfos() {
  char name[256] = {}, author[256] = {}, copyright[256] = {}, comment[1024] = {}, web[256] = {};
  const int32_t result = module_.Get<ObjInfosExport>("GetObjInfos")(
      editor_.Record(), nullptr, name, author, copyright, comment, web);
  transcript_.Result(std::to_string(result) + " " + host::QuoteBytes(name) + " " +
                     host::QuoteBytes(author) + " " + host::QuoteBytes(copyright) + " " +
                     host::QuoteBytes(comment) + " " + host::QuoteBytes(web));
}

namespace {

// The bytes of resource `id` of `type`, or an empty view when there is none.
std::string_view ResourceBytes(HMODULE module, int64_t id, LPCSTR type) {
  HRSRC found = FindResourceA(module, MAKEINTRESOURCEA(id), type);
  HGLOBAL loaded = found != nullptr ? LoadResource(module, found) : nullptr;
  const void* bytes = loaded != nullptr ? LockResource(loaded) : nullptr;
  if (bytes == nullptr) return {};
  return std::string_view(static_cast<const char*>(bytes), SizeofResource(module, found));
}

// "W x H, B bits" and, for a palette bitmap, ", C colours".
std::string DescribeBitmap(std::string_view bytes) {
  if (bytes.size() < sizeof(BITMAPINFOHEADER)) return "missing";
  BITMAPINFOHEADER header;
  std::memcpy(&header, bytes.data(), sizeof header);
  std::string line = std::to_string(header.biWidth) + " x " + std::to_string(header.biHeight) +
                     ", " + std::to_string(header.biBitCount) + " bits";
  if (header.biBitCount <= 8) {
    const DWORD colours = header.biClrUsed != 0 ? header.biClrUsed : 1u << header.biBitCount;
    line += ", " + std::to_string(colours) + " colours";
  }
  return line;
}

// The original file name and the description of the version record.
std::string DescribeVersion(HMODULE module) {
  char path[MAX_PATH] = {};
  GetModuleFileNameA(module, path, MAX_PATH);
  DWORD ignored = 0;
  const DWORD size = GetFileVersionInfoSizeA(path, &ignored);
  std::vector<char> block(size);
  if (size == 0 || !GetFileVersionInfoA(path, 0, size, block.data())) return "missing";
  auto value = [&block](const char* name) {
    char* text = nullptr;
    UINT length = 0;
    const std::string key = std::string("\\StringFileInfo\\040904E4\\") + name;
    if (!VerQueryValueA(block.data(), key.c_str(), reinterpret_cast<void**>(&text), &length)) {
      return std::string("missing");
    }
    return host::QuoteBytes(text);
  };
  return value("OriginalFilename") + " " + value("FileDescription");
}

}  // namespace

void EditorRunner::PrintResource(const EditorOperation& op) {
  HMODULE module = module_.Handle();
  if (op.word == "string") {
    char buffer[1024] = {};
    const int length = LoadStringA(module, static_cast<UINT>(op.first), buffer, sizeof buffer);
    transcript_.Result(length > 0 ? host::QuoteBytes(buffer) : "missing");
  } else if (op.word == "version") {
    transcript_.Result(DescribeVersion(module));
  } else if (op.word == "dialog") {
    const std::string_view bytes = ResourceBytes(module, op.first, RT_DIALOG);
    if (bytes.empty()) return transcript_.Result("missing");
    DialogTemplateReader reader(reinterpret_cast<const BYTE*>(bytes.data()), bytes.size());
    for (const std::string& line : reader.Lines()) Line(line);
  } else if (op.word == "bitmap") {
    transcript_.Result(DescribeBitmap(ResourceBytes(module, op.first, RT_BITMAP)));
  } else {
    const std::string_view bytes = ResourceBytes(module, op.first, RT_RCDATA);
    transcript_.Result(bytes.empty() ? "missing" : host::QuoteBytes(bytes));
  }
}

void EditorRunner::Renumber(const std::string& text) {
  std::vector<char> editBox(32768, '\0');
  std::memcpy(editBox.data(), text.data(), std::min(text.size(), editBox.size() - 1));
  environment_.RenumberInSetupDialog(editBox.data(), static_cast<int32_t>(editBox.size()));
  transcript_.Result(host::QuoteBytes(editBox.data()));
}

void EditorRunner::OnMessageBox(std::string_view caption, int32_t style, std::string_view text) {
  if (!failed_) transcript_.Box(caption, style, text);
}

std::optional<std::string> EditorRunner::OnInputDialog(std::string_view, std::string_view) {
  Fail("an INPUT dialog came up in an editor script");
  return std::nullopt;
}

void EditorRunner::OnOutput(std::string_view text) {
  if (!failed_) transcript_.Output(text);
}

}  // namespace tenrek::testhost
