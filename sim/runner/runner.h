// Plays a host script against the BASIC object's exports, acting as the
// authoring host: it owns RunData and the RunHost services, runs the
// message loop, answers boxes and the INPUT dialog, and writes the
// transcript.
//
// Two things are plugged in:
// - HostExports: the module's exports. `tenrek host` fills it with the
//   functions themselves (sim/native/native_exports.h); the Windows test
//   host fills it with GetProcAddress results from Tenrek.mfx.
// - HostEnvironment: the machine the object runs on: a main window, the
//   message loop and posting, routing the message window's messages to
//   the procedure the module registers, and the working folder. It tells
//   the runner (a ModalObserver) when a message box or the INPUT dialog is
//   up and what the object wrote to standard output. Natively that is our
//   own window system (sim/native/native_environment.h); on Windows,
//   USER32 with hooks that see the module's boxes and dialogs.
#pragma once

#include <cstdint>
#include <deque>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "host/edit_data.h"
#include "host/host_api.h"
#include "sim/runner/run_host_record.h"
#include "sim/runner/script.h"
#include "sim/runner/transcript.h"

namespace tenrek::host {

typedef int32_t(TENREK_STDCALL* GetRunObjectDataSizeExport)(RunHost*, EditData*);
typedef int32_t(TENREK_STDCALL* CreateRunObjectExport)(RunData*, EditData*, void*);
typedef int32_t(TENREK_STDCALL* DestroyRunObjectExport)(RunData*, int32_t);
typedef int32_t(TENREK_STDCALL* GetRunObjectInfosExport)(EditHost*, RunObjectInfos*);
typedef int32_t(TENREK_STDCALL* InitializeExport)(EditHost*, int32_t);
typedef int32_t(TENREK_STDCALL* FreeExport)(EditHost*);
typedef void(TENREK_STDCALL* RenumberEditTextExport)(char*, int32_t);

// The exports the runner calls (all required).
struct HostExports {
  GetRunObjectDataSizeExport getRunObjectDataSize = nullptr;
  CreateRunObjectExport createRunObject = nullptr;
  DestroyRunObjectExport destroyRunObject = nullptr;
  GetRunObjectInfosExport getRunObjectInfos = nullptr;
  InitializeExport initialize = nullptr;
  FreeExport free = nullptr;
  RenumberEditTextExport renumberEditText = nullptr;
};

// What the environment reports to the runner. Each call is made while the
// box or dialog is up (inside its modal loop) and returns when it may go.
class ModalObserver {
 public:
  virtual ~ModalObserver() = default;
  // A message box (PRINT, LIST, the Renum error box).
  virtual void OnMessageBox(std::string_view caption, int32_t style, std::string_view text) = 0;
  // The INPUT dialog: the reply to type in, or nothing when none is
  // queued (the script has failed; the environment then ends the dialog
  // however it can).
  virtual std::optional<std::string> OnInputDialog(std::string_view title,
                                                   std::string_view prompt) = 0;
  // Text the object wrote to standard output.
  virtual void OnOutput(std::string_view text) = 0;
};

class HostEnvironment {
 public:
  virtual ~HostEnvironment() = default;
  // RunHost's main window: the parent of the object's message window.
  virtual WindowHandle MainWindow() = 0;
  // RunHost's register-window-procedure service, per routed window: from
  // now on the messages of `window` go to procedure(host, window, message,
  // wParam, lParam), and `window` holds `run` under `propertyName`.
  virtual void RouteWindowMessages(WindowHandle window, const char* propertyName, RunData* run,
                                   RunHost* host, WindowProcedure procedure) = 0;
  // The host's message loop: dispatches until nothing is pending.
  virtual void PumpMessages() = 0;
  // Posts `message` (wParam and lParam 0) without dispatching it.
  virtual void PostWindowMessage(WindowHandle window, uint32_t message) = 0;
  // The folder that `file`, `show`, LOAD and SAVE work in.
  virtual std::string WorkingFolder() = 0;
  // Where boxes, dialogs and output are reported (null: nowhere).
  virtual void SetObserver(ModalObserver* observer) = 0;
};

class Runner : public ModalObserver {
 public:
  Runner(const HostExports& exports, HostEnvironment& environment, TranscriptWriter& transcript);
  ~Runner() override;
  Runner(const Runner&) = delete;
  Runner& operator=(const Runner&) = delete;

  // Plays the script. Returns 0 when it ran to its end, 2 when it failed
  // (an operation needing an object when none exists, an INPUT dialog with
  // no reply queued); Failure() then says why in one line.
  int Run(const Script& script);
  const std::string& Failure() const { return failure_; }

  // ModalObserver
  void OnMessageBox(std::string_view caption, int32_t style, std::string_view text) override;
  std::optional<std::string> OnInputDialog(std::string_view title,
                                           std::string_view prompt) override;
  void OnOutput(std::string_view text) override;

  // The RunHost services' side (called through RunHost's function pointers).
  void GenerateEvent(int32_t code);
  char* TemporaryString(int32_t size);
  intptr_t ExpressionParameter(int32_t kind, intptr_t first);
  uint32_t FloatParameter() const { return floatBits_; }
  void RegisterWindowProcedure(RunData* run, WindowProcedure procedure);

 private:
  struct Watch {
    bool active = false;
    std::string parameter;
  };

  bool Start();
  void Perform(const Operation& op);
  bool RequireObject(const Operation& op);
  void Fail(std::string message);
  void Create(const Operation& op);
  void DestroyObject();
  void CallAction(const Operation& op);
  void CallCondition(const Operation& op);
  void CallExpression(const Operation& op);
  void PostToObject(const Operation& op);
  void WriteFile(const Operation& op);
  void ShowFile(const Operation& op);
  void Renumber(const Operation& op);
  void RunQueuedOperations();
  RunData* Object();
  std::string PathOf(const std::string& name);

  HostExports exports_;
  HostEnvironment& environment_;
  TranscriptWriter& transcript_;
  RunHostRecord<Runner> host_;
  EditHost editHost_{};
  RunObjectInfos infos_{};
  std::vector<std::max_align_t> runStorage_;
  bool objectExists_ = false;
  std::deque<std::string> answers_;
  std::vector<const Operation*> onbox_;
  Watch watches_[kConditionCount];
  uint32_t floatBits_ = 0;
  std::deque<std::string> temporaryStrings_;
  int currentLine_ = 0;
  bool failed_ = false;
  std::string failure_;
};

}  // namespace tenrek::host
