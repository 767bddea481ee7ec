// The editor's side of the object: identification, a new object's data,
// the setup dialog that edits it, and the edit-time exports with fixed
// answers.
#include <cstring>
#include <string>

#include "host/guard.h"
#include "host/module.h"
#include "host/scramble.h"
#include "host/win32/edit_exports.h"
#include "host/win32/setup_dialog.h"
#include "resources/resource.h"

namespace tenrek::host {
namespace {

constexpr uint32_t kMinimumBuild = 249;
constexpr uint32_t kMinimumVersion = 0x02000000;

// The object adds no properties of its own: the list holds only its end
// marker.
const int32_t kPropertyList[8] = {};

HINSTANCE Instance() { return static_cast<HINSTANCE>(Module().instance); }

EditData* ResizeEditData(EditHost* host, EditData* data, std::size_t textLength) {
  if (host->serviceCall == nullptr) return nullptr;
  const intptr_t resized =
      host->serviceCall(host, kServiceResizeEditData, reinterpret_cast<intptr_t>(data),
                        static_cast<intptr_t>(textLength + kEditDataFixedSize), 0);
  return reinterpret_cast<EditData*>(resized);
}

// Stores `text` and `encrypt` in the object data, scrambled when
// `encrypt` is set. A text of another length makes the host resize the
// record first; when it refuses, the record is left exactly as it was.
// Returns false in that case.
bool StoreProgram(EditHost* host, EditData* data, const std::string& text, bool encrypt) {
  EditData* target = data;
  if (static_cast<std::size_t>(data->textLength) != text.size() || data->textLength < 0) {
    target = ResizeEditData(host, data, text.size());
    if (target == nullptr) return false;
  }
  char* stored = EditDataText(target);
  std::memcpy(stored, text.c_str(), text.size() + 1);
  target->textLength = static_cast<int32_t>(text.size());
  target->encrypted = encrypt ? 1 : 0;
  if (encrypt) ScrambleBlock(kPassPhrase, stored, text.size());
  return true;
}

// The stored text, plain.
std::string ReadProgram(const EditData* data) {
  if (data->textLength <= 0) return {};
  std::size_t length = static_cast<std::size_t>(data->textLength);
  if (length > kMaxProgramText) length = kMaxProgramText;
  std::string text(EditDataText(data), length);
  if (data->encrypted != 0) ScrambleBlock(kPassPhrase, text.data(), length);
  return text;
}

int32_t EditObjectData(EditHost* host, EditData* data) {
  if (!IsHostCompatible(host) || data == nullptr) return 0;
  SetupContext context;
  context.text = ReadProgram(data);
  context.encrypt = data->encrypted != 0;
  HWND owner = static_cast<HWND>(host->editorWindow);
  if (RunSetupDialog(Instance(), owner, context) != IDOK) return 0;
  return StoreProgram(host, data, context.text, context.encrypt) ? 1 : 0;
}

}  // namespace

bool IsHostCompatible(const EditHost* host) {
  if (host == nullptr || host->versionQuery == nullptr) return false;
  const uint32_t version = host->versionQuery();
  return (version & 0xFFF) >= kMinimumBuild && (version & 0xFFFF0000) >= kMinimumVersion;
}

}  // namespace tenrek::host

using namespace tenrek::host;

extern "C" {

uint32_t TENREK_STDCALL GetInfos(int32_t info) {
  switch (info) {
    case 0: return 0x300;
    case 2: return 0x100;
    case 6: return 2;
    case 7: return 249;
    default: return 0;
  }
}

int32_t TENREK_STDCALL GetObjInfos(EditHost*, void*, char* name, char* author, char* copyright,
                                   char* comment, char* web) {
  HINSTANCE instance = static_cast<HINSTANCE>(Module().instance);
  LoadStringA(instance, IDS_OBJ_NAME, name, 255);
  LoadStringA(instance, IDS_OBJ_AUTHOR, author, 255);
  LoadStringA(instance, IDS_OBJ_COPYRIGHT, copyright, 255);
  LoadStringA(instance, IDS_OBJ_COMMENT, comment, 1024);
  return LoadStringA(instance, IDS_OBJ_WEB, web, 255);
}

const char* TENREK_STDCALL GetHelpFileName() { return "Help\\Basic.pdf"; }

// A new object holds the default program, plain. When the host cannot
// give the record room for it, the record is left holding an empty
// program and creation fails.
int32_t TENREK_STDCALL CreateObject(EditHost* host, EditData* data, void*) {
  if (!IsHostCompatible(host) || data == nullptr) return -1;
  constexpr std::size_t kLength = sizeof kDefaultProgram - 1;
  data->word20 = 0;
  data->word22 = 0;
  data->word24 = 32;
  data->word26 = 32;
  data->encrypted = 0;
  data->textLength = static_cast<int32_t>(kLength);
  EditData* resized = ResizeEditData(host, data, kLength);
  if (resized == nullptr) {
    data->textLength = 0;
    EditDataText(data)[0] = '\0';
    return -1;
  }
  std::memcpy(EditDataText(resized), kDefaultProgram, sizeof kDefaultProgram);
  return 0;
}

int32_t TENREK_STDCALL EditObject(EditHost* host, void*, void*, EditData* data) {
  // Out of memory (or any failure): nothing was changed.
  return Guarded(0, [&] { return EditObjectData(host, data); });
}

void TENREK_STDCALL GetObjectRect(EditHost*, RECT* rect, void*, EditData*) {
  if (rect == nullptr) return;
  rect->right = rect->left + 32;
  rect->bottom = rect->top + 32;
}

int32_t TENREK_STDCALL GetProperties(EditHost* host, EditData*, int32_t) {
  if (host != nullptr && host->serviceCall != nullptr) {
    host->serviceCall(host, kServiceAddProperties, reinterpret_cast<intptr_t>(kPropertyList), 1, 1);
  }
  return 1;
}

void* TENREK_STDCALL GetDependencies() { return nullptr; }

// ---- fixed answers ----

int32_t TENREK_STDCALL IsTransparent(void*, void*, void*, int32_t, int32_t) { return 0; }
int32_t TENREK_STDCALL LoadObject(void*, void*, void*, int32_t) { return 0; }
int32_t TENREK_STDCALL GetFilters(void*, void*, int32_t, void*) { return 0; }
int32_t TENREK_STDCALL UsesFile(void*, void*) { return 0; }
int32_t TENREK_STDCALL GetTextCaps(void*, void*) { return 0; }
int32_t TENREK_STDCALL GetTextAlignment(void*, void*) { return 0; }
int32_t TENREK_STDCALL GetTextClr(void*, void*) { return 0; }
int32_t TENREK_STDCALL UpdateEditStructure(void*, void*) { return 0; }
int32_t TENREK_STDCALL GetPropValue(void*, void*, int32_t) { return 0; }
int32_t TENREK_STDCALL GetPropCheck(void*, void*, int32_t) { return 0; }
int32_t TENREK_STDCALL GetPropCreateParam(void*, void*, int32_t) { return 0; }
int32_t TENREK_STDCALL EditProp(void*, void*, int32_t) { return 0; }

int32_t TENREK_STDCALL IsPropEnabled(void*, void*, int32_t) { return 1; }
int32_t TENREK_STDCALL GetTextFont(void*, void*, void*, void*, int32_t) { return 1; }
int32_t TENREK_STDCALL SetTextFont(void*, void*, void*, void*) { return 1; }

void TENREK_STDCALL UnloadObject(void*, void*, int32_t) {}
void TENREK_STDCALL PrepareToWriteObject(void*, void*, void*) {}
void TENREK_STDCALL CreateFromFile(void*, void*, void*) {}
void TENREK_STDCALL DuplicateObject(void*, void*, void*) {}
void TENREK_STDCALL SetTextAlignment(void*, void*, int32_t) {}
void TENREK_STDCALL SetTextClr(void*, void*, uint32_t) {}
void TENREK_STDCALL ReleaseProperties(void*, void*, int32_t) {}
void TENREK_STDCALL PutObject(void*, void*, void*, uint16_t) {}
void TENREK_STDCALL RemoveObject(void*, void*, void*, uint16_t) {}
void TENREK_STDCALL UpdateFileNames(void*, void*, void*, void*) {}
void TENREK_STDCALL SetPropValue(void*, void*, int32_t, void*) {}
void TENREK_STDCALL SetPropCheck(void*, void*, int32_t, int32_t) {}
void TENREK_STDCALL ReleasePropCreateParam(void*, void*, int32_t, void*) {}

}  // extern "C"
