#include "sim/runner/runner.h"

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>

namespace tenrek::host {

namespace {

// The property our RunHost asks windows to hold the RunData pointer under.
constexpr char kRunDataProperty[] = "TenrekRunData";
// What the setup dialog's edit box holds at most, with the terminator.
constexpr int32_t kEditBoxCapacity = 32768;
// A host that passes the module's compatibility test (build 249, version 2).
constexpr uint32_t kHostVersion = 0x02000000u | 249u;

uint32_t TENREK_STDCALL HostVersion() { return kHostVersion; }

// The editor's services are not used at run time; resizing is refused.
intptr_t TENREK_STDCALL EditService(EditHost*, int32_t, intptr_t, intptr_t, intptr_t) { return 0; }

uint32_t FloatBits(float value) {
  uint32_t bits;
  std::memcpy(&bits, &value, sizeof bits);
  return bits;
}

intptr_t ParameterValue(const Argument& argument) {
  switch (argument.kind) {
    case Argument::Kind::Text: return reinterpret_cast<intptr_t>(argument.text.c_str());
    case Argument::Kind::Integer: return argument.integer;
    case Argument::Kind::Float: return static_cast<intptr_t>(FloatBits(argument.decimal));
  }
  return 0;
}

intptr_t ParameterAt(const Operation& op, std::size_t index) {
  return index < op.arguments.size() ? ParameterValue(op.arguments[index]) : 0;
}

std::string FormatExpressionResult(intptr_t result, uint16_t flags) {
  if ((flags & kResultString) != 0) {
    const char* text = reinterpret_cast<const char*>(result);
    return text != nullptr ? QuoteBytes(text) : "null";
  }
  if ((flags & kResultFloat) != 0) {
    const uint32_t bits = static_cast<uint32_t>(result);
    float value;
    std::memcpy(&value, &bits, sizeof value);
    return FormatFloatResult(value);
  }
  return std::to_string(static_cast<int32_t>(result));
}

}  // namespace

Runner::Runner(const HostExports& exports, HostEnvironment& environment,
               TranscriptWriter& transcript)
    : exports_(exports),
      environment_(environment),
      transcript_(transcript),
      host_(*this, environment.MainWindow(), kRunDataProperty) {
  editHost_.versionQuery = HostVersion;
  editHost_.serviceCall = EditService;
  editHost_.editorWindow = environment_.MainWindow();
  environment_.SetObserver(this);
}

Runner::~Runner() { environment_.SetObserver(nullptr); }

bool Runner::Start() {
  exports_.initialize(&editHost_, 1);
  if (exports_.getRunObjectInfos(&editHost_, &infos_) != 1 ||
      infos_.conditionCount != kConditionCount || infos_.actionCount != kActionCount ||
      infos_.expressionCount != kExpressionCount) {
    Fail("the module does not offer 4 conditions, 13 actions and 8 expressions");
    return false;
  }
  return true;
}

int Runner::Run(const Script& script) {
  if (Start()) {
    for (const Operation& op : script.operations) {
      if (failed_) break;
      currentLine_ = op.lineNumber;
      temporaryStrings_.clear();
      transcript_.Echo(op.text);
      Perform(op);
    }
    if (objectExists_) DestroyObject();
  }
  exports_.free(&editHost_);
  return failed_ ? 2 : 0;
}

void Runner::Fail(std::string message) {
  if (failed_) return;
  failed_ = true;
  failure_ = "line " + std::to_string(currentLine_) + ": " + message;
  transcript_.Close();
}

bool Runner::RequireObject(const Operation& op) {
  if (objectExists_) return true;
  const std::string name = op.text.substr(0, op.text.find_first_of(" \t"));
  Fail(name + " needs an object, and none exists");
  return false;
}

RunData* Runner::Object() { return reinterpret_cast<RunData*>(runStorage_.data()); }

void Runner::Perform(const Operation& op) {
  switch (op.kind) {
    case OperationKind::Create: Create(op); break;
    case OperationKind::Destroy:
      if (RequireObject(op)) DestroyObject();
      break;
    case OperationKind::Action: CallAction(op); break;
    case OperationKind::Condition: CallCondition(op); break;
    case OperationKind::Expression: CallExpression(op); break;
    case OperationKind::Pump: environment_.PumpMessages(); break;
    case OperationKind::Message: PostToObject(op); break;
    case OperationKind::Answer: answers_.push_back(op.content); break;
    case OperationKind::File: WriteFile(op); break;
    case OperationKind::Show: ShowFile(op); break;
    case OperationKind::Renum: Renumber(op); break;
    case OperationKind::Watch: watches_[op.code] = Watch{true, op.content}; break;
    case OperationKind::Unwatch: watches_[op.code] = Watch{}; break;
    case OperationKind::Onbox: onbox_.push_back(op.queued.get()); break;
  }
}

// A second `create` replaces the object, as the host would destroy one
// instance and create another.
void Runner::Create(const Operation& op) {
  if (objectExists_) DestroyObject();
  EditDataRecord data(op.content, op.encrypted);
  const int32_t size = exports_.getRunObjectDataSize(host_.api(), data.get());
  const std::size_t bytes =
      std::max<std::size_t>(static_cast<std::size_t>(std::max(size, 0)), sizeof(RunData));
  runStorage_.assign((bytes + sizeof(std::max_align_t) - 1) / sizeof(std::max_align_t),
                     std::max_align_t{});
  std::memset(runStorage_.data(), 0, runStorage_.size() * sizeof(std::max_align_t));
  Object()->header.runHost = host_.api();
  const int32_t result = exports_.createRunObject(Object(), data.get(), nullptr);
  objectExists_ = result == 0;
  transcript_.Result(std::to_string(result));
}

void Runner::DestroyObject() {
  objectExists_ = false;
  exports_.destroyRunObject(Object(), 0);
  temporaryStrings_.clear();
}

void Runner::CallAction(const Operation& op) {
  if (!RequireObject(op)) return;
  const uint32_t outerFloat = floatBits_;
  if (op.arguments.size() > 1 && op.arguments[1].kind == Argument::Kind::Float) {
    floatBits_ = FloatBits(op.arguments[1].decimal);
  }
  infos_.actions[op.code](Object(), ParameterAt(op, 0), ParameterAt(op, 1));
  floatBits_ = outerFloat;
}

void Runner::CallCondition(const Operation& op) {
  if (!RequireObject(op)) return;
  const int32_t result = infos_.conditions[op.code](Object(), ParameterAt(op, 0), 0);
  transcript_.Result(std::to_string(result));
}

// The handler's first argument points at the operation's argument list,
// which the expression-parameter service reads: nested expressions (from
// inside a box) each find their own.
void Runner::CallExpression(const Operation& op) {
  if (!RequireObject(op)) return;
  RunData* run = Object();
  run->header.resultFlags = 0;
  const intptr_t result =
      infos_.expressions[op.code](run, reinterpret_cast<intptr_t>(&op.arguments));
  transcript_.Result(FormatExpressionResult(result, run->header.resultFlags));
}

void Runner::PostToObject(const Operation& op) {
  if (!RequireObject(op)) return;
  const RunData* run = Object();
  const auto* record = reinterpret_cast<const WindowRecord*>(reinterpret_cast<const char*>(run) +
                                                             run->header.windowRecordPosition);
  environment_.PostWindowMessage(record->handle, op.message);
}

std::string Runner::PathOf(const std::string& name) {
  return (std::filesystem::path(environment_.WorkingFolder()) / name).string();
}

void Runner::WriteFile(const Operation& op) {
  std::ofstream file(PathOf(op.name), std::ios::binary | std::ios::trunc);
  file.write(op.content.data(), static_cast<std::streamsize>(op.content.size()));
  if (!file) Fail("cannot write file " + op.name);
}

void Runner::ShowFile(const Operation& op) {
  std::ifstream file(PathOf(op.name), std::ios::binary);
  if (!file) {
    transcript_.Result("missing");
    return;
  }
  const std::string content((std::istreambuf_iterator<char>(file)),
                            std::istreambuf_iterator<char>());
  transcript_.Result(QuoteBytes(content));
}

// The setup dialog's Renum: the edit box holds at most 32767 characters.
void Runner::Renumber(const Operation& op) {
  std::vector<char> editBox(kEditBoxCapacity, '\0');
  const std::size_t length = std::min(op.content.size(), editBox.size() - 1);
  std::memcpy(editBox.data(), op.content.data(), length);
  exports_.renumberEditText(editBox.data(), kEditBoxCapacity);
  transcript_.Result(QuoteBytes(editBox.data()));
}

void Runner::GenerateEvent(int32_t code) {
  if (failed_) return;
  if (code >= 0 && code < kConditionCount && watches_[code].active && objectExists_) {
    const Watch watch = watches_[code];
    const int32_t value =
        infos_.conditions[code](Object(), reinterpret_cast<intptr_t>(watch.parameter.c_str()), 0);
    transcript_.WatchedEvent(code, value);
    return;
  }
  transcript_.Event(code);
}

char* Runner::TemporaryString(int32_t size) {
  if (size <= 0) return nullptr;
  temporaryStrings_.emplace_back(static_cast<std::size_t>(size), '\0');
  return temporaryStrings_.back().data();
}

intptr_t Runner::ExpressionParameter(int32_t kind, intptr_t first) {
  static constexpr char kEmpty[] = "";
  const auto* arguments = reinterpret_cast<const std::vector<Argument>*>(first);
  const Argument* argument =
      arguments != nullptr && !arguments->empty() ? &arguments->front() : nullptr;
  if (kind == 1) {
    const bool text = argument != nullptr && argument->kind == Argument::Kind::Text;
    return reinterpret_cast<intptr_t>(text ? argument->text.c_str() : kEmpty);
  }
  const bool integer = argument != nullptr && argument->kind == Argument::Kind::Integer;
  return integer ? argument->integer : 0;
}

void Runner::RegisterWindowProcedure(RunData* run, WindowProcedure procedure) {
  const auto* record = reinterpret_cast<const WindowRecord*>(reinterpret_cast<const char*>(run) +
                                                             run->header.windowRecordPosition);
  if (record->count < 1 || record->handle == nullptr) return;
  environment_.RouteWindowMessages(record->handle, kRunDataProperty, run, host_.api(), procedure);
}

void Runner::RunQueuedOperations() {
  const std::vector<const Operation*> queued = std::move(onbox_);
  onbox_.clear();
  for (const Operation* op : queued) {
    if (failed_) return;
    transcript_.Nested(op->text);
    Perform(*op);
    environment_.PumpMessages();
  }
}

// A modal box: its loop first delivers what was pending, then the queued
// host events run inside it.
void Runner::OnMessageBox(std::string_view caption, int32_t style, std::string_view text) {
  if (failed_) return;
  transcript_.Box(caption, style, text);
  environment_.PumpMessages();
  RunQueuedOperations();
}

std::optional<std::string> Runner::OnInputDialog(std::string_view title, std::string_view prompt) {
  if (failed_) return std::nullopt;
  if (answers_.empty()) {
    Fail("an INPUT dialog came up with no reply queued");
    return std::nullopt;
  }
  std::string answer = std::move(answers_.front());
  answers_.pop_front();
  transcript_.Input(title, prompt, answer);
  environment_.PumpMessages();
  RunQueuedOperations();
  return answer;
}

void Runner::OnOutput(std::string_view text) { transcript_.Output(text); }

}  // namespace tenrek::host
