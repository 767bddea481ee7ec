#include "host/win32/win32_window_system.h"

#include "platform/win32/windows_include.h"

namespace tenrek::host {

bool Win32WindowSystem::RegisterMessageClass(ModuleHandle instance) {
  WNDCLASSEXA windowClass = {};
  windowClass.cbSize = sizeof windowClass;
  windowClass.style = CS_HREDRAW | CS_VREDRAW;
  windowClass.lpfnWndProc = DefWindowProcA;
  windowClass.hInstance = static_cast<HINSTANCE>(instance);
  windowClass.hCursor = LoadCursorA(nullptr, IDC_ARROW);
  windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_SCROLLBAR + 1);
  windowClass.lpszClassName = kMessageClassName;
  return RegisterClassExA(&windowClass) != 0;
}

void Win32WindowSystem::UnregisterMessageClass(ModuleHandle instance) {
  UnregisterClassA(kMessageClassName, static_cast<HINSTANCE>(instance));
}

WindowHandle Win32WindowSystem::CreateMessageWindow(WindowHandle parent, int32_t identifier,
                                                    ModuleHandle instance) {
  HWND window = CreateWindowExA(0, kMessageClassName, "", WS_CHILD | WS_VISIBLE, 1, 1, 1, 1,
                                static_cast<HWND>(parent),
                                reinterpret_cast<HMENU>(static_cast<INT_PTR>(identifier)),
                                static_cast<HINSTANCE>(instance), nullptr);
  if (window != nullptr) ShowWindow(window, SW_HIDE);
  return window;
}

void Win32WindowSystem::DestroyMessageWindow(WindowHandle window) {
  DestroyWindow(static_cast<HWND>(window));
}

void* Win32WindowSystem::GetWindowProperty(WindowHandle window, const char* name) {
  if (name == nullptr) return nullptr;
  return GetPropA(static_cast<HWND>(window), name);
}

bool Win32WindowSystem::PostWindowMessage(WindowHandle window, uint32_t message) {
  return PostMessageA(static_cast<HWND>(window), message, 0, 0) != 0;
}

void Win32WindowSystem::PaintBlank(WindowHandle window) {
  PAINTSTRUCT paint;
  HWND hwnd = static_cast<HWND>(window);
  HDC dc = BeginPaint(hwnd, &paint);
  if (dc != nullptr) FillRect(dc, &paint.rcPaint, static_cast<HBRUSH>(GetStockObject(NULL_BRUSH)));
  EndPaint(hwnd, &paint);
}

void* Win32WindowSystem::SetWaitCursor() { return SetCursor(LoadCursorA(nullptr, IDC_WAIT)); }

void Win32WindowSystem::CaptureMouse(WindowHandle window) { SetCapture(static_cast<HWND>(window)); }

void Win32WindowSystem::RestoreCursor(void* previous) { SetCursor(static_cast<HCURSOR>(previous)); }

void Win32WindowSystem::ReleaseMouse() { ReleaseCapture(); }

}  // namespace tenrek::host
