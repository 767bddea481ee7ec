// The run-time object: creating and destroying an instance with its
// Interpreter and hidden message window, the message window's handler,
// registering its window class, and the exports that do nothing.
#include <algorithm>
#include <cstring>
#include <ctime>
#include <memory>
#include <new>

#include "host/command_lines.h"
#include "host/exports.h"
#include "host/guard.h"
#include "host/module.h"
#include "host/notices.h"
#include "host/scramble.h"
#include "interp/interpreter.h"

namespace tenrek::host {

namespace {

constexpr uint16_t kDebugTreeEnd[] = {0xFFFF};

// Copies the stored program text (unscrambled) into a new block of
// length + 1 bytes.
std::unique_ptr<char[]> CopyProgramBlock(const EditData& data, int32_t length) {
  auto block = std::make_unique<char[]>(static_cast<std::size_t>(length) + 1);
  block[0] = '\0';
  if (length > 0) {
    std::memcpy(block.get(), EditDataText(&data), static_cast<std::size_t>(length));
    block[length] = '\0';
  }
  if (data.encrypted != 0)
    ScrambleBlock(kPassPhrase, block.get(), static_cast<std::size_t>(length));
  return block;
}

void ReleaseProgramBlock(RunData& run) {
  std::unique_ptr<char[]> block(run.programBlock);
  run.programBlock = nullptr;
}

void DestroyMessageWindow(RunData& run) {
  if (run.windows.handle == nullptr) return;
  if (WindowSystem* windows = Module().windows) windows->DestroyMessageWindow(run.windows.handle);
  run.windows.handle = nullptr;
}

// "NEW" first, so the program and variables go before the Interpreter.
// While one of its commands is still on the stack (the host destroys the
// object from inside a box) the Interpreter is only abandoned: its runs end
// at their next statement boundary and the outermost command frees it.
void DestroyInterpreter(RunData& run) {
  Interpreter* interp = run.interpreter;
  run.interpreter = nullptr;
  if (interp == nullptr) return;
  if (interp->CommandDepth() > 0) {
    interp->Abandon();
    return;
  }
  std::unique_ptr<Interpreter> owned(interp);
  owned->ExecuteCommand("NEW");
}

bool CreateMessageWindow(RunData& run, const HostModule& module) {
  run.windows.count = 1;
  run.windows.identifier = kMessageWindowIdentifier;
  RunHost* host = run.header.runHost;
  WindowHandle parent = host != nullptr ? host->mainWindow : nullptr;
  run.windows.handle =
      module.windows->CreateMessageWindow(parent, kMessageWindowIdentifier, module.instance);
  if (run.windows.handle == nullptr) return false;
  run.header.windowRecordPosition = static_cast<int32_t>(offsetof(RunData, windows));
  if (host != nullptr && host->registerWindowProcedure != nullptr) {
    host->registerWindowProcedure(&run, 0, OnWindowMessage);
  }
  return true;
}

std::unique_ptr<Interpreter> CreateInterpreter(const HostModule& module, WindowHandle window) {
  auto interp = std::make_unique<Interpreter>(*module.platform);
  interp->state = RunState::Idle;
  interp->host.moduleInstance = module.instance;
  interp->host.messageWindow = window;
  interp->random.Seed(static_cast<uint32_t>(std::time(nullptr)));
  interp->SetStatementLimit(module.statementLimit);
  interp->budget.SetLimit(module.memoryBudget);
  return interp;
}

// WM_BASIC_ERROR: the error as it is now, which may be newer than the
// report that posted this notification.
void TakeLatestError(RunData& run) {
  const Interpreter* interp = run.interpreter;
  if (interp == nullptr) return;
  run.lastErrorNumber = interp->errorNumber;
  const std::size_t length = std::min(interp->errorText.size(), kLastErrorTextSize - 1);
  std::memcpy(run.lastErrorText, interp->errorText.data(), length);
  run.lastErrorText[length] = '\0';
}

int32_t CreateInstance(RunData& run, const EditData& data) {
  const HostModule& module = Module();
  // The host may hand the record over uninitialised; the conditions and
  // the error expressions read these before the first command.
  run.lastErrorNumber = 0;
  run.lastErrorText[0] = '\0';
  run.programBlock = nullptr;
  run.interpreter = nullptr;
  run.windows.handle = nullptr;
  run.encryptFlag = data.encrypted;
  run.programLength = data.textLength > 0 ? data.textLength : 0;
  run.programBlock = CopyProgramBlock(data, run.programLength).release();
  if (module.platform == nullptr || module.windows == nullptr ||
      !CreateMessageWindow(run, module)) {
    ReleaseProgramBlock(run);
    return -1;
  }
  run.interpreter = CreateInterpreter(module, run.windows.handle).release();
  return 0;
}

}  // namespace

}  // namespace tenrek::host

using namespace tenrek;
using namespace tenrek::host;

extern "C" {

int32_t TENREK_STDCALL GetRunObjectDataSize(RunHost*, EditData*) {
  return static_cast<int32_t>(sizeof(RunData));
}

// Builds the instance. On failure (no window, no memory) everything made
// so far is released again and -1 returned; RunData is then left with no
// block, window or Interpreter, so a DestroyRunObject after it is harmless.
int32_t TENREK_STDCALL CreateRunObject(RunData* run, EditData* data, void*) {
  if (run == nullptr || data == nullptr) return -1;
  try {
    return CreateInstance(*run, *data);
  } catch (...) {
    Guarded([run] {
      DestroyInterpreter(*run);
      DestroyMessageWindow(*run);
      ReleaseProgramBlock(*run);
    });
    return -1;
  }
}

int32_t TENREK_STDCALL DestroyRunObject(RunData* run, int32_t) {
  if (run == nullptr) return 0;
  return Guarded(0, [run] {
    DestroyInterpreter(*run);
    ReleaseProgramBlock(*run);
    DestroyMessageWindow(*run);
    return 0;
  });
}

namespace {

intptr_t HandleWindowMessage(RunHost* host, WindowHandle window, uint32_t message) {
  WindowSystem* windows = Module().windows;
  if (host == nullptr || windows == nullptr) return 0;
  auto* run = static_cast<RunData*>(windows->GetWindowProperty(window, host->windowPropertyName));
  if (run == nullptr) return 0;
  switch (message) {
    case WM_BASIC_TAG: GenerateEvent(*run, kEventTag); break;
    case WM_BASIC_ERROR:
      TakeLatestError(*run);
      GenerateEvent(*run, kEventError);
      break;
    case WM_BASIC_RUNNING: GenerateEvent(*run, kEventProgramRunning); break;
    case kWmPaint: windows->PaintBlank(window); break;
    default: break;
  }
  return 0;
}

}  // namespace

intptr_t TENREK_STDCALL OnWindowMessage(RunHost* host, WindowHandle window, uint32_t message,
                                        uintptr_t, intptr_t) {
  return Guarded(intptr_t{0}, [&] { return HandleWindowMessage(host, window, message); });
}

int32_t TENREK_STDCALL HandleRunObject(RunData*) { return 0; }
int32_t TENREK_STDCALL DisplayRunObject(RunData*) { return 0; }
int32_t TENREK_STDCALL PauseRunObject(RunData*) { return 0; }
int32_t TENREK_STDCALL ContinueRunObject(RunData*) { return 0; }
int32_t TENREK_STDCALL SaveRunObject(RunData*, void*) { return 1; }
int32_t TENREK_STDCALL LoadRunObject(RunData*, void*) { return 1; }
void TENREK_STDCALL StartApp(void*, void*) {}
void TENREK_STDCALL EndApp(void*, void*) {}
void TENREK_STDCALL StartFrame(void*, uint32_t, int32_t) {}
void TENREK_STDCALL EndFrame(void*, uint32_t, int32_t) {}

const uint16_t* TENREK_STDCALL GetDebugTree(RunData*) { return kDebugTreeEnd; }
void TENREK_STDCALL GetDebugItem(char*, RunData*, int32_t) {}
void TENREK_STDCALL EditDebugItem(RunData*, int32_t) {}

// Registers the message window's class once; a failed attempt is retried
// by the next call. Unless quiet, the wait cursor shows meanwhile.
int32_t TENREK_STDCALL Initialize(EditHost* host, int32_t quiet) {
  HostModule& module = Module();
  if (module.windows == nullptr) return 0;
  WindowSystem& windows = *module.windows;
  WindowHandle editor = host != nullptr ? host->editorWindow : nullptr;
  void* previous = nullptr;
  bool captured = false;
  if (quiet == 0) {
    previous = windows.SetWaitCursor();
    captured = previous != nullptr && editor != nullptr;
    if (captured) windows.CaptureMouse(editor);
  }
  if (module.classState != ClassState::Registered) {
    module.classState = windows.RegisterMessageClass(module.instance) ? ClassState::Registered
                                                                      : ClassState::Attempted;
  }
  if (quiet == 0) {
    windows.RestoreCursor(previous);
    if (captured) windows.ReleaseMouse();
  }
  return 0;
}

int32_t TENREK_STDCALL Free(EditHost*) {
  HostModule& module = Module();
  if (module.classState == ClassState::Registered && module.windows != nullptr) {
    module.windows->UnregisterMessageClass(module.instance);
  }
  module.classState = ClassState::NotRegistered;
  return 0;
}

}  // extern "C"
