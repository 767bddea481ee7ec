// The 13 actions, 4 conditions and 8 expressions the host's events use,
// and GetRunObjectInfos, which hands their tables to the host.
#include <cstring>
#include <string>

#include "eval/evaluator.h"
#include "eval/string_search.h"
#include "host/command_lines.h"
#include "host/exports.h"
#include "host/guard.h"
#include "interp/interpreter.h"

namespace tenrek::host {

namespace {

// Parameters arrive evaluated: text as a pointer, numbers as integers. A
// null text pointer reads as the empty text.
std::string_view TextParameter(intptr_t param) {
  const char* text = reinterpret_cast<const char*>(param);
  return text != nullptr ? std::string_view(text) : std::string_view();
}

int32_t IntegerParameter(intptr_t param) { return static_cast<int32_t>(param); }

std::string_view ProgramBlock(const RunData& run) {
  if (run.programBlock == nullptr || run.programLength <= 0) return {};
  const std::size_t length = static_cast<std::size_t>(run.programLength);
  return std::string_view(run.programBlock, strnlen(run.programBlock, length));
}

uint32_t FetchFloatParameter(RunData& run) {
  RunHost* host = run.header.runHost;
  if (host == nullptr || host->floatParameter == nullptr) return 0;
  return host->floatParameter(&run, 1, 0);
}

// ---- actions ----

// The text is copied first: a line that runs the program may open a box,
// and host events handled inside it may reuse the host's parameter buffer.
int32_t TENREK_STDCALL LoadFromText(RunData* run, intptr_t text, intptr_t) {
  const std::string copy(TextParameter(text));
  SubmitProgramText(*run, copy, LineEnds::OnePerLine);
  return 0;
}
int32_t TENREK_STDCALL Run(RunData* run, intptr_t, intptr_t) {
  SubmitCommand(*run, "RUN");
  return 0;
}
int32_t TENREK_STDCALL RunFromLine(RunData* run, intptr_t line, intptr_t) {
  SubmitCommand(*run, RunFromLineCommand(IntegerParameter(line)));
  return 0;
}
int32_t TENREK_STDCALL SetIntegerVariable(RunData* run, intptr_t name, intptr_t value) {
  SubmitCommand(*run, SetIntegerCommand(TextParameter(name), IntegerParameter(value)));
  return 0;
}
int32_t TENREK_STDCALL SetStringVariable(RunData* run, intptr_t name, intptr_t value) {
  SubmitCommand(*run, SetStringCommand(TextParameter(name), TextParameter(value)));
  return 0;
}
int32_t TENREK_STDCALL ClearVariables(RunData* run, intptr_t, intptr_t) {
  SubmitCommand(*run, "CLEAR");
  return 0;
}
int32_t TENREK_STDCALL ClearProgram(RunData* run, intptr_t, intptr_t) {
  SubmitCommand(*run, "NEW");
  return 0;
}
int32_t TENREK_STDCALL ExecuteCommandAction(RunData* run, intptr_t command, intptr_t) {
  SubmitCommand(*run, TextParameter(command));
  return 0;
}
int32_t TENREK_STDCALL LoadFromFile(RunData* run, intptr_t name, intptr_t) {
  SubmitCommand(*run, LoadFileCommand(TextParameter(name)));
  return 0;
}
// Copied first too: a command line in the block may open a box inside
// which the host destroys the object, and with it the block.
int32_t TENREK_STDCALL LoadProgramBlock(RunData* run, intptr_t, intptr_t) {
  const std::string block(ProgramBlock(*run));
  SubmitProgramText(*run, block, LineEnds::SkipBlankLines);
  return 0;
}
int32_t TENREK_STDCALL SetFloatVariable(RunData* run, intptr_t name, intptr_t) {
  const uint32_t bits = FetchFloatParameter(*run);
  SubmitCommand(*run, SetFloatCommand(TextParameter(name), bits));
  return 0;
}
int32_t TENREK_STDCALL Rerun(RunData* run, intptr_t, intptr_t) {
  SubmitCommand(*run, "RERUN");
  return 0;
}
int32_t TENREK_STDCALL RerunFromLine(RunData* run, intptr_t line, intptr_t) {
  SubmitCommand(*run, RerunFromLineCommand(IntegerParameter(line)));
  return 0;
}

// ---- conditions ----

int32_t TENREK_STDCALL ProgramRunning(RunData* run, intptr_t, intptr_t) {
  const Interpreter* interp = run->interpreter;
  return interp != nullptr && interp->state == RunState::Running ? 1 : 0;
}
int32_t TENREK_STDCALL CheckForError(RunData* run, intptr_t, intptr_t) {
  return run->lastErrorNumber != 0 ? 1 : 0;
}
int32_t TENREK_STDCALL EverythingOk(RunData* run, intptr_t, intptr_t) {
  const Interpreter* interp = run->interpreter;
  return run->lastErrorNumber == 0 && interp != nullptr && interp->state == RunState::Idle ? 1 : 0;
}
// True once per raised tag: a match takes the tag. With no tag pending
// nothing matches, not even the empty name; a tag raised with the empty
// name matches it once.
int32_t TENREK_STDCALL OnTag(RunData* run, intptr_t name, intptr_t) {
  Interpreter* interp = run->interpreter;
  if (run->lastErrorNumber != 0 || interp == nullptr || !interp->host.tagPending) return 0;
  if (CompareNoCase(interp->host.tagText, TextParameter(name)) != 0) return 0;
  interp->host.tagText.clear();
  interp->host.tagPending = false;
  return 1;
}

// ---- expressions ----

constexpr int32_t kParameterInteger = 0;
constexpr int32_t kParameterText = 1;

intptr_t FetchExpressionParameter(RunData& run, int32_t kind, intptr_t first) {
  RunHost* host = run.header.runHost;
  if (host == nullptr || host->expressionParameter == nullptr) return 0;
  return host->expressionParameter(&run, kind, first);
}

// Narrowed to single precision (IEEE rounding; beyond the range, infinity).
intptr_t FloatResult(RunData& run, double x) {
  const float value = static_cast<float>(x);
  uint32_t bits;
  std::memcpy(&bits, &value, sizeof bits);
  run.header.resultFlags |= kResultFloat;
  return static_cast<intptr_t>(bits);
}

// A host temporary string holding `text`; the empty text is a null pointer
// (no host buffer is asked for).
intptr_t StringResult(RunData& run, const std::string& text) {
  run.header.resultFlags |= kResultString;
  RunHost* host = run.header.runHost;
  if (text.empty() || host == nullptr || host->temporaryString == nullptr) return 0;
  const int32_t size = static_cast<int32_t>(text.size() + 1);
  char* buffer = host->temporaryString(&run, 0, size);
  if (buffer == nullptr) return 0;
  std::memcpy(buffer, text.c_str(), text.size() + 1);
  return reinterpret_cast<intptr_t>(buffer);
}

// Runs `command` and leaves the Interpreter's result slots to read. False
// when the object was destroyed meanwhile: the result is then 0 and
// RunData is not touched again.
bool SubmitForResult(RunData& run, const std::string& command, const Interpreter*& interp) {
  if (!SubmitCommand(run, command)) return false;
  interp = run.interpreter;
  return true;
}

std::string GetFromText(RunData& run, intptr_t first) {
  return GetCommand(TextParameter(FetchExpressionParameter(run, kParameterText, first)));
}
std::string GosubFromInteger(RunData& run, intptr_t first) {
  return GosubCommand(IntegerParameter(FetchExpressionParameter(run, kParameterInteger, first)));
}

intptr_t IntegerOf(const Interpreter* interp) {
  return interp != nullptr ? RoundToInt(interp->host.returnNumber) : 0;
}
intptr_t FloatOf(RunData& run, const Interpreter* interp) {
  return FloatResult(run, interp != nullptr ? interp->host.returnNumber : 0.0);
}
intptr_t TextOf(RunData& run, const Interpreter* interp) {
  return StringResult(run, interp != nullptr ? interp->host.returnText : std::string());
}

intptr_t TENREK_STDCALL GetVarInt(RunData* run, intptr_t first) {
  const Interpreter* interp = nullptr;
  if (!SubmitForResult(*run, GetFromText(*run, first), interp)) return 0;
  return IntegerOf(interp);
}
intptr_t TENREK_STDCALL GetVarFloat(RunData* run, intptr_t first) {
  const Interpreter* interp = nullptr;
  if (!SubmitForResult(*run, GetFromText(*run, first), interp)) return 0;
  return FloatOf(*run, interp);
}
intptr_t TENREK_STDCALL GetVarStr(RunData* run, intptr_t first) {
  const Interpreter* interp = nullptr;
  if (!SubmitForResult(*run, GetFromText(*run, first), interp)) return 0;
  return TextOf(*run, interp);
}
intptr_t TENREK_STDCALL ErrorNum(RunData* run, intptr_t) { return run->lastErrorNumber; }
// The text inside RunData itself, no copy.
intptr_t TENREK_STDCALL ErrorStr(RunData* run, intptr_t) {
  run->header.resultFlags |= kResultString;
  return reinterpret_cast<intptr_t>(run->lastErrorText);
}
intptr_t TENREK_STDCALL GosubInt(RunData* run, intptr_t first) {
  const Interpreter* interp = nullptr;
  if (!SubmitForResult(*run, GosubFromInteger(*run, first), interp)) return 0;
  return IntegerOf(interp);
}
intptr_t TENREK_STDCALL GosubFloat(RunData* run, intptr_t first) {
  const Interpreter* interp = nullptr;
  if (!SubmitForResult(*run, GosubFromInteger(*run, first), interp)) return 0;
  return FloatOf(*run, interp);
}
intptr_t TENREK_STDCALL GosubStr(RunData* run, intptr_t first) {
  const Interpreter* interp = nullptr;
  if (!SubmitForResult(*run, GosubFromInteger(*run, first), interp)) return 0;
  return TextOf(*run, interp);
}

// What the host calls is the guarded form of each handler: no exception
// passes into the host, and a handler that fails answers 0.
template <ConditionHandler handler>
int32_t TENREK_STDCALL GuardedCondition(RunData* run, intptr_t param1, intptr_t param2) {
  return Guarded(0, [&] { return handler(run, param1, param2); });
}
template <ActionHandler handler>
int32_t TENREK_STDCALL GuardedAction(RunData* run, intptr_t param1, intptr_t param2) {
  return Guarded(0, [&] { return handler(run, param1, param2); });
}
template <ExpressionHandler handler>
intptr_t TENREK_STDCALL GuardedExpression(RunData* run, intptr_t param1) {
  return Guarded(intptr_t{0}, [&] { return handler(run, param1); });
}

constexpr ConditionHandler kConditions[kConditionCount] = {
    GuardedCondition<ProgramRunning>, GuardedCondition<CheckForError>,
    GuardedCondition<EverythingOk>, GuardedCondition<OnTag>};

constexpr ActionHandler kActions[kActionCount] = {
    GuardedAction<LoadFromText>,      GuardedAction<Run>,
    GuardedAction<RunFromLine>,       GuardedAction<SetIntegerVariable>,
    GuardedAction<SetStringVariable>, GuardedAction<ClearVariables>,
    GuardedAction<ClearProgram>,      GuardedAction<ExecuteCommandAction>,
    GuardedAction<LoadFromFile>,      GuardedAction<LoadProgramBlock>,
    GuardedAction<SetFloatVariable>,  GuardedAction<Rerun>,
    GuardedAction<RerunFromLine>};

constexpr ExpressionHandler kExpressions[kExpressionCount] = {
    GuardedExpression<GetVarInt>,  GuardedExpression<GetVarFloat>, GuardedExpression<GetVarStr>,
    GuardedExpression<ErrorNum>,   GuardedExpression<ErrorStr>,    GuardedExpression<GosubInt>,
    GuardedExpression<GosubFloat>, GuardedExpression<GosubStr>};

}  // namespace

}  // namespace tenrek::host

using namespace tenrek::host;

extern "C" int32_t TENREK_STDCALL GetRunObjectInfos(EditHost*, RunObjectInfos* infos) {
  if (infos == nullptr) return 0;
  infos->conditions = kConditions;
  infos->actions = kActions;
  infos->expressions = kExpressions;
  infos->conditionCount = kConditionCount;
  infos->actionCount = kActionCount;
  infos->expressionCount = kExpressionCount;
  infos->editDataSize = kEditDataFixedSize;
  infos->flags = 1;
  infos->byte100 = 100;
  infos->word0 = 0;
  infos->identifier = 0x42415330;  // 'BAS0'
  infos->version = 1;
  return 1;
}
