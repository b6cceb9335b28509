// The floor for Parlivo's start-up: the least a Win32 program does to show a
// window of the same size and style. It registers a class, opens an empty
// 450x380 window in the middle of the screen and runs a message loop. Built
// the same way as Parlivo.exe, so the difference between the two is what
// Parlivo itself does on the way to its first idle moment.

#include <windows.h>

namespace {

constexpr wchar_t kClassName[] = L"EMPTY_WINDOW";
constexpr wchar_t kTitle[] = L"Empty window";
constexpr int kWidth = 450;
constexpr int kHeight = 380;
constexpr DWORD kStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;

LRESULT CALLBACK EmptyWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_DESTROY) {
    PostQuitMessage(0);
    return 0;
  }
  return DefWindowProcW(window, message, wParam, lParam);
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int showMode) {
  WNDCLASSEXW windowClass{};
  windowClass.cbSize = sizeof(windowClass);
  windowClass.style = CS_HREDRAW | CS_VREDRAW;
  windowClass.lpfnWndProc = EmptyWindowProc;
  windowClass.hInstance = instance;
  windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
  windowClass.lpszClassName = kClassName;
  RegisterClassExW(&windowClass);

  const HWND window = CreateWindowExW(
      0, kClassName, kTitle, kStyle, (GetSystemMetrics(SM_CXSCREEN) - kWidth) / 2,
      (GetSystemMetrics(SM_CYSCREEN) - kHeight) / 2, kWidth, kHeight, nullptr, nullptr, instance,
      nullptr);
  if (window == nullptr) return 1;
  ShowWindow(window, showMode);
  UpdateWindow(window);

  MSG message;
  while (GetMessageW(&message, nullptr, 0, 0) > 0) {
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
  return static_cast<int>(message.wParam);
}
