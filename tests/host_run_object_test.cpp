// The run-time exports called directly, with a small fake host: what the
// host sees of the object's records, window and services.
#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "host/edit_data.h"
#include "host/exports.h"
#include "host/module.h"
#include "host/renumber.h"
#include "interp/interpreter.h"
#include "platform/native/recording_platform.h"
#include "sim/native/native_window_system.h"
#include "sim/runner/run_host_record.h"

namespace tenrek::host {
namespace {

constexpr char kProperty[] = "RunData";

// A host that records the events, hands out (or refuses) temporary
// strings, and routes the message window to the registered procedure.
class FakeHost {
 public:
  explicit FakeHost(NativeWindowSystem& windows)
      : windows_(windows), record_(*this, windows.CreateTopLevelWindow(), kProperty) {}

  RunHost* api() { return record_.api(); }

  std::vector<int32_t> events;
  int temporaryRequests = 0;
  int registrations = 0;
  bool giveBuffers = true;
  bool failHard = false;  // a service that throws
  std::string buffer;

  // The host services (reached through the record's trampolines).
  void GenerateEvent(int32_t code) { events.push_back(code); }
  char* TemporaryString(int32_t size) {
    ++temporaryRequests;
    if (failHard) throw std::runtime_error("host out of buffers");
    if (!giveBuffers) return nullptr;
    buffer.assign(static_cast<std::size_t>(size), '\x7F');
    return buffer.data();
  }
  intptr_t ExpressionParameter(int32_t, intptr_t first) { return first; }
  uint32_t FloatParameter() { return 0u; }
  void RegisterWindowProcedure(RunData* run, WindowProcedure procedure) {
    ++registrations;
    RunHost* host = api();
    windows_.SetWindowProperty(run->windows.handle, kProperty, run);
    windows_.SetProcedure(run->windows.handle, [host, procedure](WindowHandle w, uint32_t m) {
      procedure(host, w, m, 0, 0);
    });
  }

 private:
  NativeWindowSystem& windows_;
  RunHostRecord<FakeHost> record_;
};

class HostRunObject : public ::testing::Test {
 protected:
  HostRunObject() { Initialize(nullptr, 1); }
  ~HostRunObject() override {
    DestroyRunObject(run(), 0);
    Free(nullptr);
  }

  RunData* run() { return &record_; }

  int32_t Create(std::string_view text, bool encrypted = false) {
    EditDataRecord data(text, encrypted);
    record_ = RunData{};
    record_.header.runHost = host.api();
    return CreateRunObject(run(), data.get(), nullptr);
  }

  RunObjectInfos Infos() {
    RunObjectInfos infos{};
    GetRunObjectInfos(nullptr, &infos);
    return infos;
  }
  void Action(int code, const char* text = nullptr) {
    Infos().actions[code](run(), reinterpret_cast<intptr_t>(text), 0);
  }
  intptr_t Expression(int code, const char* text) {
    return Infos().expressions[code](run(), reinterpret_cast<intptr_t>(text));
  }

  RecordingPlatform platform;
  NativeWindowSystem windows;
  ScopedHostModule module{&platform, &platform, &windows};
  FakeHost host{windows};

 private:
  RunData record_{};
};

TEST_F(HostRunObject, RunInformationRecord) {
  RunObjectInfos infos;
  std::memset(&infos, 0xAB, sizeof infos);
  EXPECT_EQ(GetRunObjectInfos(nullptr, &infos), 1);
  EXPECT_EQ(infos.conditionCount, 4);
  EXPECT_EQ(infos.actionCount, 13);
  EXPECT_EQ(infos.expressionCount, 8);
  EXPECT_EQ(infos.editDataSize, 40);
  EXPECT_EQ(infos.flags, 1u);
  EXPECT_EQ(infos.byte100, 100);
  EXPECT_EQ(infos.unwritten, 0xAB);
  EXPECT_EQ(infos.word0, 0);
  EXPECT_EQ(infos.identifier, 0x42415330u);
  EXPECT_EQ(infos.version, 1);
  EXPECT_EQ(GetDebugTree(nullptr)[0], 0xFFFF);
}

TEST_F(HostRunObject, CreateFillsTheWindowRecordAndRegistersTheProcedure) {
  ASSERT_EQ(Create("10 PRINT 1"), 0);
  EXPECT_EQ(run()->header.windowRecordPosition, static_cast<int32_t>(offsetof(RunData, windows)));
  EXPECT_EQ(run()->windows.count, 1);
  EXPECT_EQ(run()->windows.identifier, 103);
  EXPECT_TRUE(windows.IsWindow(run()->windows.handle));
  EXPECT_EQ(host.registrations, 1);
  ASSERT_NE(run()->interpreter, nullptr);
  EXPECT_EQ(run()->interpreter->state, RunState::Idle);
  EXPECT_EQ(run()->interpreter->host.messageWindow, run()->windows.handle);
  EXPECT_TRUE(run()->interpreter->program.Empty());  // the block is only copied
  EXPECT_STREQ(run()->programBlock, "10 PRINT 1");
  EXPECT_TRUE(host.events.empty());
}

TEST_F(HostRunObject, ScrambledBlockIsRestoredOnCreation) {
  const std::string text = "10 PRINT \"secret\"\r\n20 END";
  ASSERT_EQ(Create(text, true), 0);
  EXPECT_EQ(run()->encryptFlag, 1);
  EXPECT_EQ(run()->programLength, static_cast<int32_t>(text.size()));
  EXPECT_EQ(std::string(run()->programBlock), text);
}

// Without its window the object cannot work: everything made so far is
// released again, and destroying the record afterwards is harmless.
TEST_F(HostRunObject, FailedCreationLeavesNothingBehind) {
  Free(nullptr);  // the window class goes, so no window can be made
  EXPECT_EQ(Create("10 PRINT 1"), -1);
  EXPECT_EQ(run()->programBlock, nullptr);
  EXPECT_EQ(run()->interpreter, nullptr);
  EXPECT_EQ(run()->windows.handle, nullptr);
  EXPECT_EQ(DestroyRunObject(run(), 0), 0);
  Initialize(nullptr, 1);
  EXPECT_EQ(Create("10 PRINT 1"), 0);
}

TEST_F(HostRunObject, NegativeStoredLengthGivesAnEmptyBlock) {
  EditDataRecord data("10 PRINT 1", false);
  data.get()->textLength = -5;
  RunData record{};
  record.header.runHost = host.api();
  ASSERT_EQ(CreateRunObject(&record, data.get(), nullptr), 0);
  EXPECT_EQ(record.programLength, 0);
  EXPECT_STREQ(record.programBlock, "");
  DestroyRunObject(&record, 0);
}

TEST_F(HostRunObject, DestroyDiscardsEverythingWithoutAnEvent) {
  ASSERT_EQ(Create("10 A = 1"), 0);
  Action(9);
  host.events.clear();
  const WindowHandle window = run()->windows.handle;
  EXPECT_EQ(DestroyRunObject(run(), 0), 0);
  EXPECT_EQ(run()->interpreter, nullptr);
  EXPECT_EQ(run()->programBlock, nullptr);
  EXPECT_FALSE(windows.IsWindow(window));
  EXPECT_TRUE(host.events.empty());
  EXPECT_EQ(DestroyRunObject(run(), 0), 0);
}

// The handler finds its instance through the window property; another
// window, or a message it does not know, does nothing. WM_PAINT paints.
TEST_F(HostRunObject, WindowMessagesBecomeEvents) {
  ASSERT_EQ(Create(""), 0);
  const WindowHandle window = run()->windows.handle;
  for (uint32_t message : {1025u, 1026u, 1027u, 1024u, 1028u, 15u}) {
    windows.PostWindowMessage(window, message);
  }
  windows.DispatchPending();
  EXPECT_EQ(host.events, (std::vector<int32_t>{3, 1, 0}));
  host.events.clear();
  EXPECT_EQ(OnWindowMessage(host.api(), host.api()->mainWindow, 1027, 0, 0), 0);
  EXPECT_EQ(OnWindowMessage(nullptr, window, 1027, 0, 0), 0);
  EXPECT_TRUE(host.events.empty());
}

// A host without the register service: no events from notifications, but
// commands still raise event 2.
TEST_F(HostRunObject, WithoutTheRegisterServiceCommandsStillAnswer) {
  host.api()->registerWindowProcedure = nullptr;
  ASSERT_EQ(Create(""), 0);
  Action(7, "X = \"A\"");
  windows.DispatchPending();
  EXPECT_TRUE(host.events.empty());
  Action(7, "X = 1");
  EXPECT_EQ(host.events, std::vector<int32_t>{2});
}

// The empty text asks the host for no buffer and answers null; a host
// that gives no buffer gets null too. The flags are only ever set.
TEST_F(HostRunObject, StringResults) {
  ASSERT_EQ(Create(""), 0);
  Action(7, "E$ = \"\": T$ = \"text\"");
  run()->header.resultFlags = kResultFloat;
  EXPECT_EQ(Expression(2, "E$"), 0);
  EXPECT_EQ(host.temporaryRequests, 0);
  EXPECT_EQ(run()->header.resultFlags, kResultFloat | kResultString);

  const intptr_t text = Expression(2, "T$");
  EXPECT_EQ(host.temporaryRequests, 1);
  EXPECT_EQ(host.buffer.size(), 5u);
  EXPECT_STREQ(reinterpret_cast<const char*>(text), "text");

  host.giveBuffers = false;
  EXPECT_EQ(Expression(7, nullptr), 0);  // GOSUB_Str$(0): no line 0, text still "text"
  EXPECT_EQ(host.temporaryRequests, 2);
}

// The host may hand its record over uninitialised: the error fields that
// conditions and expressions read before any command start clear.
TEST_F(HostRunObject, CreationClearsTheLastError) {
  auto record = std::make_unique<RunData>();
  std::memset(record.get(), 0x5A, sizeof(RunData));
  record->header = RunHeader{};
  record->header.runHost = host.api();
  EditDataRecord data("10 PRINT 1", false);
  ASSERT_EQ(CreateRunObject(record.get(), data.get(), nullptr), 0);
  EXPECT_EQ(Infos().conditions[1](record.get(), 0, 0), 0);
  EXPECT_EQ(Infos().expressions[3](record.get(), 0), 0);
  EXPECT_STREQ(reinterpret_cast<const char*>(Infos().expressions[4](record.get(), 0)), "");
  DestroyRunObject(record.get(), 0);
}

// A host that closes its window while a PRINT box is up destroys the
// object, and frees its record, from inside the box. The Interpreter
// outlives the call: the run ends at its next statement and the outermost
// command frees it, touching the record no more.
TEST_F(HostRunObject, DestroyingTheObjectInsideABoxIsDeferred) {
  auto record = std::make_unique<RunData>();
  record->header.runHost = host.api();
  EditDataRecord data("10 PRINT 1\r\n20 PRINT 2\r\n30 A = 1", false);
  ASSERT_EQ(CreateRunObject(record.get(), data.get(), nullptr), 0);
  const WindowHandle window = record->windows.handle;
  Infos().actions[9](record.get(), 0, 0);  // load the block
  platform.onModal = [&] {
    if (record == nullptr) return;
    EXPECT_EQ(DestroyRunObject(record.get(), 0), 0);
    EXPECT_FALSE(windows.IsWindow(window));
    record.reset();
  };
  RunData* const running = record.get();
  Infos().actions[1](running, 0, 0);  // Run
  EXPECT_EQ(platform.boxes.size(), 1u);

  // The same from a box of a nested command, and from the expression
  // that calls a subroutine.
  record = std::make_unique<RunData>();
  record->header.runHost = host.api();
  ASSERT_EQ(CreateRunObject(record.get(), data.get(), nullptr), 0);
  Infos().actions[9](record.get(), 0, 0);
  platform.boxes.clear();
  bool nested = false;
  platform.onModal = [&] {
    if (record == nullptr) return;
    if (!nested) {
      nested = true;
      Infos().actions[7](record.get(), reinterpret_cast<intptr_t>("PRINT 3"), 0);
      return;
    }
    DestroyRunObject(record.get(), 0);
    record.reset();
  };
  EXPECT_EQ(Infos().expressions[5](record.get(), 10), 0);  // GOSUB_Int(10)
  EXPECT_EQ(platform.boxes.size(), 2u);

  // From a box of a command line in the program block being loaded: the
  // block goes with the object, and the loading stops.
  EditDataRecord printing("PRINT 1\r\n10 A = 1\r\nPRINT 2", false);
  record = std::make_unique<RunData>();
  record->header.runHost = host.api();
  ASSERT_EQ(CreateRunObject(record.get(), printing.get(), nullptr), 0);
  platform.boxes.clear();
  platform.onModal = [&] {
    DestroyRunObject(record.get(), 0);
    record.reset();
  };
  Infos().actions[9](record.get(), 0, 0);
  EXPECT_EQ(platform.boxes.size(), 1u);
  platform.onModal = nullptr;
}

// No exception passes from the module into the host: a handler that
// meets one answers 0.
TEST_F(HostRunObject, ExceptionsStopAtTheExports) {
  ASSERT_EQ(Create(""), 0);
  Action(7, "T$ = \"text\"");
  host.failHard = true;
  EXPECT_EQ(Expression(2, "T$"), 0);
  host.failHard = false;
  platform.onModal = [] { throw std::bad_alloc(); };
  Action(7, "PRINT 1");
  EXPECT_EQ(run()->lastErrorNumber, -2);
  platform.onModal = nullptr;
  Action(7, "PRINT 2");
  EXPECT_EQ(run()->lastErrorNumber, 0);
}

// The setup dialog's Renum runs the text's commands under a statement
// limit, and never cuts what it hands back: a text it cannot carry whole
// stays as it was, with the error box.
TEST_F(HostRunObject, RenumNeverHangsNorLosesALine) {
  struct Case {
    std::string text;
    std::string box;
  };
  const std::vector<Case> cases = {
      {"10 GOTO 10\r\nRUN", "Break in 10: \nBasic system error -12 (bus error)"},
      {"1 REM " + std::string(1017, 'x'),  // lists at 1023, renumbered at 1024
       "Renumbered text too long: \nBasic system error -2 (out of memory)"},
      {"1 " + std::string(400, ':'), "Syntax error: \nBasic system error 40"},
  };
  for (const Case& c : cases) {
    platform.boxes.clear();
    std::vector<char> editBox(32768, '\0');
    std::memcpy(editBox.data(), c.text.data(), c.text.size());
    RenumberEditText(editBox.data(), static_cast<int32_t>(editBox.size()));
    EXPECT_EQ(std::string(editBox.data()), c.text);
    ASSERT_EQ(platform.boxes.size(), 1u) << c.box;
    EXPECT_EQ(platform.boxes[0].text, c.box);
  }
}

// The text Renum hands back is program text: every number in it reads
// back as the number that was typed, however PRINT would show it.
TEST_F(HostRunObject, RenumKeepsEveryDigitOfANumber) {
  const std::string text = "5 X = 3.14159265358979: Y = 0.1234567890123\r\n7 Z = 1.23456789E12";
  std::vector<char> editBox(4096, '\0');
  std::memcpy(editBox.data(), text.data(), text.size());
  RenumberEditText(editBox.data(), static_cast<int32_t>(editBox.size()));
  EXPECT_EQ(std::string(editBox.data()),
            "10 X = 3.14159265358979 : Y = 0.1234567890123\r\n20 Z = 1.23456789E12\r\n");
  EXPECT_TRUE(platform.boxes.empty());
}

TEST(HostModuleState, InitializeAndFreeKeepOneRegistration) {
  class CountingWindows : public NativeWindowSystem {
   public:
    bool RegisterMessageClass(ModuleHandle instance) override {
      ++registrations;
      if (failNext) {
        failNext = false;
        return false;
      }
      return NativeWindowSystem::RegisterMessageClass(instance);
    }
    void UnregisterMessageClass(ModuleHandle instance) override {
      ++unregistrations;
      NativeWindowSystem::UnregisterMessageClass(instance);
    }
    void* SetWaitCursor() override {
      ++cursorChanges;
      return previousCursor;
    }
    void CaptureMouse(WindowHandle window) override { captured = window; }
    void RestoreCursor(void* previous) override { restored = previous; }
    void ReleaseMouse() override { ++releases; }

    int registrations = 0, unregistrations = 0, cursorChanges = 0, releases = 0;
    bool failNext = true;
    void* previousCursor = nullptr;
    void* restored = nullptr;
    WindowHandle captured = nullptr;
  } windows;
  RecordingPlatform platform;
  ScopedHostModule module(nullptr, &platform, &windows);
  EditHost editor{};
  editor.editorWindow = reinterpret_cast<WindowHandle>(0x99);

  // A failed registration is tried again; once registered, never again.
  Initialize(&editor, 1);
  EXPECT_EQ(Module().classState, ClassState::Attempted);
  Initialize(&editor, 1);
  EXPECT_EQ(Module().classState, ClassState::Registered);
  Initialize(&editor, 1);
  EXPECT_EQ(windows.registrations, 2);
  EXPECT_EQ(windows.cursorChanges, 0);  // quiet

  // One Free unregisters; a second finds nothing to unregister.
  Free(&editor);
  Free(&editor);
  EXPECT_EQ(windows.unregistrations, 1);
  EXPECT_EQ(Module().classState, ClassState::NotRegistered);

  // Not quiet: the wait cursor, and the capture only when there was a
  // previous cursor.
  Initialize(&editor, 0);
  EXPECT_EQ(windows.cursorChanges, 1);
  EXPECT_EQ(windows.captured, nullptr);
  EXPECT_EQ(windows.releases, 0);
  Free(&editor);
  windows.previousCursor = reinterpret_cast<void*>(0x55);
  Initialize(&editor, 0);
  EXPECT_EQ(windows.captured, editor.editorWindow);
  EXPECT_EQ(windows.restored, windows.previousCursor);
  EXPECT_EQ(windows.releases, 1);
  Free(&editor);
}

TEST(HostMessageBox, ShowMessageCutsLongTextsAndIsNoFormat) {
  RecordingPlatform platform;
  NativeWindowSystem windows;
  ScopedHostModule module(nullptr, &platform, &windows);
  ShowMessage("100% %s %n");
  ShowMessage(std::string(2000, 'x'));
  ASSERT_EQ(platform.boxes.size(), 2u);
  EXPECT_EQ(platform.boxes[0].caption, "...");
  EXPECT_EQ(platform.boxes[0].style, 0);
  EXPECT_EQ(platform.boxes[0].text, "100% %s %n");
  EXPECT_EQ(platform.boxes[1].text, std::string(1023, 'x'));
}

}  // namespace
}  // namespace tenrek::host
