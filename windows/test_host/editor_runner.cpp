#include "windows/test_host/editor_runner.h"

#include <cstdio>
#include <cstring>

#include "host/exports.h"
#include "host/win32/edit_exports.h"
#include "resources/resource.h"
#include "windows/test_host/dialog_template.h"

namespace tenrek::testhost {

namespace {

// ------------------------------------------------------------ the exports

typedef int32_t(TENREK_STDCALL* CreateObjectExport)(host::EditHost*, host::EditData*, void*);
typedef int32_t(TENREK_STDCALL* EditObjectExport)(host::EditHost*, void*, void*, host::EditData*);
typedef HMENU(TENREK_STDCALL* MenuExport)(host::EditHost*, void*, host::EditData*);
typedef int16_t(TENREK_STDCALL* CodeExport)(host::EditHost*, int32_t);
typedef const int16_t*(TENREK_STDCALL* InfosExport)(host::EditHost*, int32_t);
typedef void(TENREK_STDCALL* StringExport)(host::EditHost*, int32_t, char*, int32_t);
typedef int32_t(TENREK_STDCALL* TitleExport)(host::EditHost*, int32_t, int32_t, char*, int32_t);
typedef int32_t(TENREK_STDCALL* ExpressionTitleExport)(host::EditHost*, int32_t, char*, int32_t);
typedef int32_t(TENREK_STDCALL* ObjInfosExport)(host::EditHost*, void*, char*, char*, char*, char*,
                                                char*);
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

}  // namespace

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
      transcript_.Result(
          std::to_string(module_.Get<GetInfosExport>("GetInfos")(static_cast<int32_t>(op.first))));
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
    for (const std::string& line : DescribeDialogTemplate(bytes)) Line(line);
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
