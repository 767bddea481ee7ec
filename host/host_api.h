// The records and services shared by the authoring host and this module.
//
// The host allocates `RunData` (at the size GetRunObjectDataSize returns)
// and `EditData` (in its application file), hands us `RunHost` at run time
// and `EditHost` at edit time, and calls our exports with the Windows
// standard calling convention. The layouts of the host's own parts are
// ours to choose; the values we hand back are fixed: RunData is 484 bytes
// on the 32-bit Windows build with its window record at byte 184, and
// EditData holds the program text at offset 36 in L + 40 bytes.
//
// Portable: no operating-system header. Handles are opaque pointer-sized
// values; on 64-bit builds the records are wider, which nothing but the
// 32-bit layout checks below cares about.
//
// For the Windows build (host/win32, platform/win32): the exports declared
// in host/exports.h keep these signatures; TENREK_STDCALL makes them
// __stdcall, and the .def file gives them their undecorated names.
#pragma once

#include <cstddef>
#include <cstdint>

#include "platform/platform.h"

#if defined(_WIN32) && !defined(_WIN64)
#define TENREK_STDCALL __stdcall
#else
#define TENREK_STDCALL
#endif

namespace tenrek {
class Interpreter;
}

namespace tenrek::host {

struct RunData;
struct RunHost;
struct EditData;
struct EditHost;

// ---- RunHost services (called with the RunData they concern) ----

// Raises the object's condition `code` (0 to 3); the host evaluates it at once.
typedef void(TENREK_STDCALL* GenerateEventService)(RunData* run, int32_t code, int32_t param);
// A host-owned buffer of `size` bytes, valid as an expression result, or null.
typedef char*(TENREK_STDCALL* TemporaryStringService)(RunData* run, int32_t zero, int32_t size);
// The first parameter of the expression being evaluated: `kind` 1 yields a
// string pointer, 0 an integer. `first` is what the expression handler got.
typedef intptr_t(TENREK_STDCALL* ExpressionParameterService)(RunData* run, int32_t kind,
                                                             intptr_t first);
// The float parameter of an action (called with 1 and 0), as float bits.
typedef uint32_t(TENREK_STDCALL* FloatParameterService)(RunData* run, int32_t one, int32_t zero);
// The procedure that receives the messages of the windows in the window record.
typedef intptr_t(TENREK_STDCALL* WindowProcedure)(RunHost* host, WindowHandle window,
                                                  uint32_t message, uintptr_t wParam,
                                                  intptr_t lParam);
// From now on the messages of the windows listed in `run`'s window record
// reach `procedure`, and each of those windows holds `run` under the
// property named `windowPropertyName`.
typedef void(TENREK_STDCALL* RegisterWindowProcedureService)(RunData* run, int32_t zero,
                                                             WindowProcedure procedure);

// The host's run-time record.
struct RunHost {
  WindowHandle mainWindow = nullptr;  // parent of our message window
  GenerateEventService generateEvent = nullptr;
  TemporaryStringService temporaryString = nullptr;
  ExpressionParameterService expressionParameter = nullptr;
  FloatParameterService floatParameter = nullptr;
  RegisterWindowProcedureService registerWindowProcedure = nullptr;  // may be null
  // Property under which each routed window holds its RunData pointer: a
  // string, or an atom (a value below 0x10000) on Windows.
  const char* windowPropertyName = nullptr;
};

// ---- EditHost ----

// A 32-bit version word: build in the low 12 bits, major version in the high 16.
typedef uint32_t(TENREK_STDCALL* VersionQuery)();
// Service requests: kServiceResizeEditData with (EditData*, new size, 0)
// returns the resized EditData or null; kServiceAddProperties with
// (property list, 1, 1) adds a property list to the property sheet.
typedef intptr_t(TENREK_STDCALL* EditServiceCall)(EditHost* host, int32_t request, intptr_t a,
                                                  intptr_t b, intptr_t c);
inline constexpr int32_t kServiceAddProperties = 1;
inline constexpr int32_t kServiceResizeEditData = 5;

struct EditHost {
  VersionQuery versionQuery = nullptr;
  EditServiceCall serviceCall = nullptr;
  WindowHandle editorWindow = nullptr;  // owner of the setup dialog
};

// ---- RunData ----

// Result-kind flags an expression handler ORs into RunHeader::resultFlags.
// The host clears them before it calls an expression.
inline constexpr uint16_t kResultFloat = 0x4000;
inline constexpr uint16_t kResultString = 0x8000;

// The host's header at the start of RunData (184 bytes on 32-bit Windows).
struct RunHeader {
  RunHost* runHost;
  uint16_t resultFlags;
  uint16_t reserved0;
  int32_t windowRecordPosition;  // byte position of RunData::windows, written by us
  uint8_t reserved[172];
};

// The windows whose messages the host routes to our procedure.
struct WindowRecord {
  int16_t count;        // 1
  WindowHandle handle;  // the message window
  int32_t identifier;   // 103
};

inline constexpr int32_t kMessageWindowIdentifier = 103;
inline constexpr std::size_t kLastErrorTextSize = 256;

struct RunData {
  RunHeader header;
  WindowRecord windows;
  int32_t encryptFlag;                     // copied from EditData: the stored block is scrambled
  char lastErrorText[kLastErrorTextSize];  // copied when WM_BASIC_ERROR is handled
  int32_t lastErrorNumber;                 // 0: none
  int32_t programLength;                   // characters in programBlock, without the terminator
  char* programBlock;                      // owned: the plain program text, zero-terminated
  Interpreter* interpreter;                // owned
  uint8_t reserved[12];
};

#if defined(_WIN32) && !defined(_WIN64)
static_assert(sizeof(RunHeader) == 184);
static_assert(sizeof(RunData) == 484, "the host allocates RunData at 484 bytes");
static_assert(offsetof(RunData, windows) == 184, "window record at byte 184");
static_assert(offsetof(RunData, windows) + offsetof(WindowRecord, handle) == 188);
static_assert(offsetof(RunData, windows) + offsetof(WindowRecord, identifier) == 192);
#endif

// ---- EditData, stored in the host's application file (little-endian) ----

struct EditData {
  uint8_t hostHeader[20];  // the host's; never touched by us
  uint16_t word20;         // 0 at creation
  uint16_t word22;         // 0 at creation
  uint16_t word24;         // 32 at creation
  uint16_t word26;         // 32 at creation
  int32_t textLength;      // L: characters of the program text, no terminator
  int32_t encrypted;       // 1: the text is stored scrambled
  char text[4];            // L + 1 bytes of text from here, then 3 spare bytes
};

static_assert(offsetof(EditData, textLength) == 28);
static_assert(offsetof(EditData, encrypted) == 32);
static_assert(offsetof(EditData, text) == 36);
static_assert(sizeof(EditData) == 40, "an empty program makes a 40-byte record");

inline constexpr int32_t kEditDataFixedSize = 40;

// The program text of an EditData record: L + 1 bytes at offset 36. Read
// through a byte pointer, since the text runs past the declared array.
inline char* EditDataText(EditData* data) {
  return reinterpret_cast<char*>(data) + offsetof(EditData, text);
}
inline const char* EditDataText(const EditData* data) {
  return reinterpret_cast<const char*>(data) + offsetof(EditData, text);
}

// ---- GetRunObjectInfos ----

typedef int32_t(TENREK_STDCALL* ConditionHandler)(RunData* run, intptr_t param1, intptr_t param2);
typedef int32_t(TENREK_STDCALL* ActionHandler)(RunData* run, intptr_t param1, intptr_t param2);
// Returns an integer, float bits or a string pointer, as the result flags say.
typedef intptr_t(TENREK_STDCALL* ExpressionHandler)(RunData* run, intptr_t param1);

struct RunObjectInfos {
  const ConditionHandler* conditions;
  const ActionHandler* actions;
  const ExpressionHandler* expressions;
  int16_t conditionCount;
  int16_t actionCount;
  int16_t expressionCount;
  uint16_t editDataSize;  // fixed object-data size
  uint32_t flags;
  uint8_t byte100;
  uint8_t unwritten;  // never written by us
  uint16_t word0;
  uint32_t identifier;  // 'BAS0'
  uint16_t version;
};

#if defined(_WIN32) && !defined(_WIN64)
static_assert(offsetof(RunObjectInfos, conditionCount) == 12);
static_assert(offsetof(RunObjectInfos, flags) == 20);
static_assert(offsetof(RunObjectInfos, byte100) == 24);
static_assert(offsetof(RunObjectInfos, word0) == 26);
static_assert(offsetof(RunObjectInfos, identifier) == 28);
static_assert(offsetof(RunObjectInfos, version) == 32);
#endif

inline constexpr int kConditionCount = 4;
inline constexpr int kActionCount = 13;
inline constexpr int kExpressionCount = 8;

// Events are the condition codes.
inline constexpr int32_t kEventProgramRunning = 0;
inline constexpr int32_t kEventError = 1;
inline constexpr int32_t kEventCommandDone = 2;
inline constexpr int32_t kEventTag = 3;

// Window messages the message window handles besides the notifications.
inline constexpr uint32_t kWmPaint = 15;

}  // namespace tenrek::host
