// EditData records as a host hands them over: the program block (plain or
// scrambled) goes through CreateRunObject; then the actions, conditions
// and expressions, their parameters taken from the input, some of them
// from inside the boxes and dialogs, and the object perhaps destroyed
// while a box is up.
//
// Input: one byte of flags, then the program block up to the first zero
// byte, then the operations: one byte choosing the operation and one
// parameter text up to the next zero byte each.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "fuzz/fuzz_support.h"
#include "host/edit_data.h"
#include "host/exports.h"
#include "host/module.h"
#include "sim/native/native_window_system.h"

using namespace tenrek;
using namespace tenrek::host;

namespace {

constexpr char kProperty[] = "RunData";

struct Operation {
  uint8_t code = 0;
  std::string text;
};

class Reader {
 public:
  explicit Reader(std::string_view input) : rest_(input) {}
  bool Empty() const { return rest_.empty(); }
  uint8_t Byte() {
    if (rest_.empty()) return 0;
    const auto b = static_cast<uint8_t>(rest_.front());
    rest_.remove_prefix(1);
    return b;
  }
  std::string Text() {
    const std::size_t end = rest_.find('\0');
    std::string text(rest_.substr(0, end));
    rest_.remove_prefix(end == std::string_view::npos ? rest_.size() : end + 1);
    return text;
  }

 private:
  std::string_view rest_;
};

// The host: its services, its message loop, and one object.
class FuzzHost {
 public:
  FuzzHost() {
    api_.mainWindow = windows.CreateTopLevelWindow();
    api_.generateEvent = [](RunData*, int32_t, int32_t) {};
    api_.temporaryString = TemporaryString;
    api_.expressionParameter = [](RunData*, int32_t, intptr_t first) { return first; };
    api_.floatParameter = [](RunData*, int32_t, int32_t) { return 0x3DCCCCCDu; };
    api_.registerWindowProcedure = Register;
    api_.windowPropertyName = kProperty;
    self_ = this;
  }
  ~FuzzHost() { Destroy(); }

  bool Create(const std::string& text, bool encrypted) {
    EditDataRecord data(text, encrypted);
    record_ = std::make_unique<RunData>();
    record_->header.runHost = &api_;
    if (CreateRunObject(record_.get(), data.get(), nullptr) != 0) record_.reset();
    return record_ != nullptr;
  }
  void Destroy() {
    if (record_ == nullptr) return;
    DestroyRunObject(record_.get(), 0);
    record_.reset();  // the host frees its record at once
  }
  RunData* Object() { return record_.get(); }

  void Perform(const Operation& op) {
    RunData* run = Object();
    if (run == nullptr) return;
    RunObjectInfos infos{};
    GetRunObjectInfos(nullptr, &infos);
    const auto text = reinterpret_cast<intptr_t>(op.text.c_str());
    const intptr_t number = static_cast<int32_t>(std::strtol(op.text.c_str(), nullptr, 10));
    switch (op.code % 5) {
      case 0: {
        const int code = op.code / 5 % infos.actionCount;
        const bool numeric = code == 2 || code == 12;
        infos.actions[code](run, numeric ? number : text, numeric ? 0 : text);
        break;
      }
      case 1: infos.conditions[op.code / 5 % infos.conditionCount](run, text, 0); break;
      case 2: {
        const int code = op.code / 5 % infos.expressionCount;
        infos.expressions[code](run, code >= 5 ? number : text);
        break;
      }
      case 3: windows.DispatchPending(); break;
      default:
        if (op.code / 5 % 8 == 0) Destroy();
        break;
    }
  }

  NativeWindowSystem windows;

 private:
  static char* TENREK_STDCALL TemporaryString(RunData*, int32_t, int32_t size) {
    self_->strings_.emplace_back(static_cast<std::size_t>(size), '\0');
    return self_->strings_.back().data();
  }
  static void TENREK_STDCALL Register(RunData* run, int32_t, WindowProcedure procedure) {
    FuzzHost& host = *self_;
    host.windows.SetWindowProperty(run->windows.handle, kProperty, run);
    RunHost* api = &host.api_;
    host.windows.SetProcedure(run->windows.handle, [api, procedure](WindowHandle w, uint32_t m) {
      procedure(api, w, m, 0, 0);
    });
  }

  static inline FuzzHost* self_ = nullptr;
  RunHost api_{};
  std::unique_ptr<RunData> record_;
  std::deque<std::string> strings_;
};

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  fuzz::EnterPrivateFolder();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  Reader reader(std::string_view(reinterpret_cast<const char*>(data), size));
  const uint8_t flags = reader.Byte();
  const std::string block = reader.Text();
  std::deque<Operation> direct;
  std::deque<Operation> inBoxes;
  while (!reader.Empty()) {
    Operation op;
    op.code = reader.Byte();
    op.text = reader.Text();
    // The high bit sends an operation to the next box or dialog.
    ((op.code & 0x80) != 0 ? inBoxes : direct).push_back(op);
  }

  fuzz::FuzzPlatform platform;
  FuzzHost host;
  ScopedHostModule module(nullptr, &platform, &host.windows);
  Module().statementLimit = fuzz::kStatementLimit;
  Module().memoryBudget = fuzz::kMemoryBudget;
  Initialize(nullptr, 1);
  platform.answers = {"1", "A", ""};
  platform.onModal = [&] {
    host.windows.DispatchPending();
    if (inBoxes.empty()) return;
    const Operation op = inBoxes.front();
    inBoxes.pop_front();
    host.Perform(op);
  };
  if (host.Create(block, (flags & 1) != 0)) {
    if ((flags & 2) != 0) host.Perform(Operation{9 * 5, ""});  // load the block
    for (const Operation& op : direct) host.Perform(op);
  }
  host.Destroy();
  Free(nullptr);
  return 0;
}
