#include "windows/test_host/win32_environment.h"

#include <cstdio>
#include <cstring>
#include <exception>
#include <filesystem>
#include <fstream>

#include "host/exports.h"
#include "resources/resource.h"
#include "windows/test_host/editor_host.h"

namespace tenrek::testhost {

namespace {

constexpr char kMainWindowClass[] = "TenrekHostWindow";
constexpr char kOriginalProcProperty[] = "TenrekHostOriginalProc";
constexpr int kMessageBoxText = 0xFFFF;

typedef int32_t(TENREK_STDCALL* EditObjectExport)(host::EditHost*, void*, void*, host::EditData*);

uint32_t TENREK_STDCALL CompatibleVersion() { return kCompatibleHostVersion; }

// Presses the dialog's default button (or `fallback` when it names none)
// and returns when the command has been handled.
void PressDefaultButton(HWND dialog, int fallback) {
  const LRESULT defaultId = SendMessageA(dialog, DM_GETDEFID, 0, 0);
  const int id = HIWORD(defaultId) == DC_HASDEFID ? LOWORD(defaultId) : fallback;
  SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
               reinterpret_cast<LPARAM>(GetDlgItem(dialog, id)));
}

bool WriteBitmap(const std::string& path, HDC source, int left, int top, int width, int height) {
  BITMAPINFO info = {};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = height;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 24;
  info.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  HDC memory = CreateCompatibleDC(source);
  HBITMAP bitmap = CreateDIBSection(memory, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  if (bitmap == nullptr) {
    DeleteDC(memory);
    return false;
  }
  HGDIOBJ previous = SelectObject(memory, bitmap);
  BitBlt(memory, 0, 0, width, height, source, left, top, SRCCOPY);
  GdiFlush();
  const DWORD rowSize = ((static_cast<DWORD>(width) * 3 + 3) & ~3u);
  const DWORD imageSize = rowSize * static_cast<DWORD>(height);
  BITMAPFILEHEADER file = {};
  file.bfType = 0x4D42;
  file.bfOffBits = sizeof file + sizeof info.bmiHeader;
  file.bfSize = file.bfOffBits + imageSize;
  std::ofstream out(path, std::ios::binary);
  out.write(reinterpret_cast<const char*>(&file), sizeof file);
  out.write(reinterpret_cast<const char*>(&info.bmiHeader), sizeof info.bmiHeader);
  out.write(static_cast<const char*>(bits), imageSize);
  SelectObject(memory, previous);
  DeleteObject(bitmap);
  DeleteDC(memory);
  return static_cast<bool>(out);
}

}  // namespace

Win32Environment* Win32Environment::current_ = nullptr;

std::string WindowText(HWND window) {
  const int length = GetWindowTextLengthA(window);
  if (length <= 0) return {};
  std::string text(static_cast<std::size_t>(length) + 1, '\0');
  const int copied = GetWindowTextA(window, text.data(), length + 1);
  text.resize(copied > 0 ? static_cast<std::size_t>(copied) : 0);
  return text;
}

Win32Environment::Win32Environment(LoadedModule& module) : module_(module) {
  current_ = this;
  WNDCLASSA windowClass = {};
  windowClass.lpfnWndProc = MainWindowProc;
  windowClass.hInstance = GetModuleHandleA(nullptr);
  windowClass.lpszClassName = kMainWindowClass;
  RegisterClassA(&windowClass);
  mainWindow_ = CreateWindowExA(0, kMainWindowClass, "Tenrek test host", WS_OVERLAPPEDWINDOW, 100,
                                100, 480, 360, nullptr, nullptr, windowClass.hInstance, nullptr);
  if (mainWindow_ == nullptr) {
    problem_ = "cannot create the host's main window";
    return;
  }
  cbtHook_ = SetWindowsHookExA(WH_CBT, CbtHook, nullptr, GetCurrentThreadId());
  if (cbtHook_ == nullptr) {
    problem_ = "cannot install the dialog hook";
    return;
  }
  if (!RedirectModuleImports()) return;
  MakeWorkingFolder();
}

Win32Environment::~Win32Environment() {
  if (cbtHook_ != nullptr) UnhookWindowsHookEx(cbtHook_);
  if (mainWindow_ != nullptr) DestroyWindow(mainWindow_);
  PumpMessages();
  if (!previousFolder_.empty()) {
    std::error_code ignored;
    std::filesystem::current_path(previousFolder_, ignored);
    std::filesystem::remove_all(folder_, ignored);
  }
  current_ = nullptr;
}

bool Win32Environment::RedirectModuleImports() {
  realMessageBox_ = reinterpret_cast<decltype(realMessageBox_)>(module_.RedirectImport(
      "USER32.dll", "MessageBoxA", reinterpret_cast<void*>(RecordMessageBox)));
  realEndDialog_ = reinterpret_cast<decltype(realEndDialog_)>(
      module_.RedirectImport("USER32.dll", "EndDialog", reinterpret_cast<void*>(RecordEndDialog)));
  realWriteFile_ = reinterpret_cast<decltype(realWriteFile_)>(module_.RedirectImport(
      "KERNEL32.dll", "WriteFile", reinterpret_cast<void*>(RecordWriteFile)));
  if (realMessageBox_ == nullptr || realEndDialog_ == nullptr || realWriteFile_ == nullptr) {
    problem_ = "the module does not import MessageBoxA, EndDialog and WriteFile";
    return false;
  }
  return true;
}

// A fresh temporary folder, made the current one: LOAD, SAVE and the
// script's files stay inside it.
bool Win32Environment::MakeWorkingFolder() {
  std::error_code error;
  const std::filesystem::path base = std::filesystem::temp_directory_path(error);
  if (error) {
    problem_ = "no temporary folder";
    return false;
  }
  const std::string name =
      "tenrek-host-" + std::to_string(GetCurrentProcessId()) + "-" + std::to_string(GetTickCount());
  const std::filesystem::path folder = base / name;
  if (!std::filesystem::create_directory(folder, error) || error) {
    problem_ = "cannot make the working folder " + folder.string();
    return false;
  }
  previousFolder_ = std::filesystem::current_path().string();
  std::filesystem::current_path(folder, error);
  folder_ = folder.string();
  return true;
}

void Win32Environment::RouteWindowMessages(WindowHandle window, const char* propertyName,
                                           host::RunData* run, host::RunHost* host,
                                           host::WindowProcedure procedure) {
  HWND hwnd = static_cast<HWND>(window);
  if (routes_.count(hwnd) != 0 || propertyName == nullptr) return;
  SetPropA(hwnd, propertyName, run);
  Route route;
  route.host = host;
  route.procedure = procedure;
  route.propertyName = propertyName;
  route.original = reinterpret_cast<WNDPROC>(
      SetWindowLongPtrA(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(RoutedWindowProc)));
  routes_[hwnd] = route;
}

void Win32Environment::PumpMessages() {
  MSG message;
  while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
    TranslateMessage(&message);
    DispatchMessageA(&message);
  }
}

void Win32Environment::PostWindowMessage(WindowHandle window, uint32_t message) {
  PostMessageA(static_cast<HWND>(window), message, 0, 0);
}

void Win32Environment::RenumberInSetupDialog(char* text, int32_t capacity) {
  if (text == nullptr || capacity <= 0) return;
  EditorHost editor(mainWindow_, CompatibleVersion);
  editor.SetData("", false);
  SetSetupSteps([text, capacity](HWND dialog) {
    SetDlgItemTextA(dialog, IDC_SETUP_PROGRAM, text);
    SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDC_SETUP_RENUM, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(dialog, IDC_SETUP_RENUM)));
    GetDlgItemTextA(dialog, IDC_SETUP_PROGRAM, text, capacity);
  });
  module_.Get<EditObjectExport>("EditObject")(editor.Record(), nullptr, nullptr, editor.Data());
  SetSetupSteps(nullptr);
}

// ---- window procedures and hooks ----

LRESULT CALLBACK Win32Environment::MainWindowProc(HWND window, UINT message, WPARAM wParam,
                                                  LPARAM lParam) {
  return DefWindowProcA(window, message, wParam, lParam);
}

// The object's message window: every message goes to the module's
// procedure first; the window's own procedure then does its usual work,
// except for the paint and the notifications the module answers itself.
LRESULT CALLBACK Win32Environment::RoutedWindowProc(HWND window, UINT message, WPARAM wParam,
                                                    LPARAM lParam) {
  Win32Environment* self = current_;
  if (self == nullptr) return DefWindowProcA(window, message, wParam, lParam);
  const auto found = self->routes_.find(window);
  if (found == self->routes_.end()) return DefWindowProcA(window, message, wParam, lParam);
  const Route route = found->second;
  if (message == WM_NCDESTROY) {
    RemovePropA(window, route.propertyName.c_str());
    SetWindowLongPtrA(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(route.original));
    self->routes_.erase(found);
    return CallWindowProcA(route.original, window, message, wParam, lParam);
  }
  const LRESULT result =
      route.procedure(route.host, window, message, wParam, static_cast<intptr_t>(lParam));
  const bool ownMessage = message == WM_PAINT || (message >= WM_USER + 1 && message <= WM_USER + 3);
  if (ownMessage) return result;
  return CallWindowProcA(route.original, window, message, wParam, lParam);
}

LRESULT CALLBACK Win32Environment::CbtHook(int code, WPARAM wParam, LPARAM lParam) {
  if (code == HCBT_CREATEWND) {
    HWND window = reinterpret_cast<HWND>(wParam);
    char className[16] = {};
    GetClassNameA(window, className, sizeof className);
    if (std::strcmp(className, "#32770") == 0) {
      const LONG_PTR original =
          SetWindowLongPtrA(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(DialogSubclassProc));
      SetPropA(window, kOriginalProcProperty, reinterpret_cast<HANDLE>(original));
    }
  }
  return CallNextHookEx(nullptr, code, wParam, lParam);
}

LRESULT CALLBACK Win32Environment::DialogSubclassProc(HWND dialog, UINT message, WPARAM wParam,
                                                      LPARAM lParam) {
  auto original = reinterpret_cast<WNDPROC>(GetPropA(dialog, kOriginalProcProperty));
  if (original == nullptr) return DefWindowProcA(dialog, message, wParam, lParam);
  if (message == WM_NCDESTROY) {
    RemovePropA(dialog, kOriginalProcProperty);
    SetWindowLongPtrA(dialog, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(original));
    if (current_ != nullptr) current_->ended_.erase(dialog);
    return CallWindowProcA(original, dialog, message, wParam, lParam);
  }
  const LRESULT result = CallWindowProcA(original, dialog, message, wParam, lParam);
  if (message == WM_INITDIALOG && current_ != nullptr) {
    try {
      current_->OnDialogReady(dialog);
    } catch (const std::exception& error) {
      std::fprintf(stderr, "tenrek-host: %s\n", error.what());
      ExitProcess(3);
    }
  }
  return result;
}

int WINAPI Win32Environment::RecordMessageBox(HWND owner, LPCSTR text, LPCSTR caption, UINT style) {
  Win32Environment* self = current_;
  self->boxStyles_.push_back(style);
  const int result = self->realMessageBox_(owner, text, caption, style);
  self->boxStyles_.pop_back();
  return result;
}

BOOL WINAPI Win32Environment::RecordEndDialog(HWND dialog, INT_PTR result) {
  current_->ended_.insert(dialog);
  return current_->realEndDialog_(dialog, result);
}

// The module's standard output is the object's output in the transcript.
BOOL WINAPI Win32Environment::RecordWriteFile(HANDLE file, LPCVOID data, DWORD size,
                                              LPDWORD written, LPOVERLAPPED overlapped) {
  Win32Environment* self = current_;
  if (file != GetStdHandle(STD_OUTPUT_HANDLE) || self->observer_ == nullptr) {
    return self->realWriteFile_(file, data, size, written, overlapped);
  }
  self->observer_->OnOutput(std::string_view(static_cast<const char*>(data), size));
  if (written != nullptr) *written = size;
  return TRUE;
}

// ---- answering boxes and dialogs ----

void Win32Environment::OnDialogReady(HWND dialog) {
  if (GetDlgItem(dialog, kMessageBoxText) != nullptr) {
    AnswerMessageBox(dialog);
  } else if (GetDlgItem(dialog, IDC_INPUT_ANSWER) != nullptr &&
             GetDlgItem(dialog, IDC_INPUT_PROMPT) != nullptr) {
    AnswerInputDialog(dialog);
  } else if (GetDlgItem(dialog, IDC_SETUP_PROGRAM) != nullptr) {
    RunSetupDialog(dialog);
  } else {
    std::fprintf(stderr, "tenrek-host: an unknown dialog \"%s\" came up; closing it\n",
                 WindowText(dialog).c_str());
    SendMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
  }
}

void Win32Environment::AnswerMessageBox(HWND box) {
  const std::string caption = WindowText(box);
  const std::string text = WindowText(GetDlgItem(box, kMessageBoxText));
  const UINT style = boxStyles_.empty() ? 0 : boxStyles_.back();
  if (observer_ != nullptr) observer_->OnMessageBox(caption, static_cast<int32_t>(style), text);
  TakeScreenshot(box);
  PressDefaultButton(box, IDOK);
}

// With no reply to give, the dialog is ended with nothing typed (result
// 0): the module then ends the run as a break does.
void Win32Environment::AnswerInputDialog(HWND dialog) {
  const std::string title = WindowText(dialog);
  const std::string prompt = WindowText(GetDlgItem(dialog, IDC_INPUT_PROMPT));
  const std::optional<std::string> answer =
      observer_ != nullptr ? observer_->OnInputDialog(title, prompt) : std::nullopt;
  if (!answer) {
    realEndDialog_(dialog, 0);
    return;
  }
  SetDlgItemTextA(dialog, IDC_INPUT_ANSWER, answer->c_str());
  TakeScreenshot(dialog);
  PressDefaultButton(dialog, IDC_INPUT_OK);
}

void Win32Environment::RunSetupDialog(HWND dialog) {
  std::function<void(HWND)> steps = std::move(setupSteps_);
  setupSteps_ = nullptr;
  if (steps) steps(dialog);
  if (DialogEnded(dialog)) return;
  TakeScreenshot(dialog);
  SendMessageA(dialog, WM_COMMAND, IDCANCEL, 0);  // Escape
  if (!DialogEnded(dialog)) realEndDialog_(dialog, -1);
}

// Shows the dialog, lets it paint, and copies its screen area.
void Win32Environment::TakeScreenshot(HWND dialog) {
  if (screenshotPath_.empty()) return;
  const std::string path = std::move(screenshotPath_);
  screenshotPath_.clear();
  ShowWindow(dialog, SW_SHOWNORMAL);
  SetForegroundWindow(dialog);
  RedrawWindow(dialog, nullptr, nullptr,
               RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
  for (int i = 0; i < 20; ++i) {
    PumpMessages();
    Sleep(25);
  }
  RECT area;
  GetWindowRect(dialog, &area);
  HDC screen = GetDC(nullptr);
  if (!WriteBitmap(path, screen, area.left, area.top, area.right - area.left,
                   area.bottom - area.top)) {
    std::fprintf(stderr, "tenrek-host: cannot write %s\n", path.c_str());
  }
  ReleaseDC(nullptr, screen);
}

}  // namespace tenrek::testhost
