#include "app/main_window.h"

#include "app/control_layout.h"
#include "app/control_procs.h"
#include "app/main_window_proc.h"
#include "app/resource_ids.h"
#include "app/shell_state.h"
#include "app/shell_texts.h"
#include "app/window_placement.h"
#include "common/wide_string.h"
#include "config/config_win.h"

namespace parlivo {
namespace {

WNDPROC Subclass(HWND control, WNDPROC procedure) {
  return reinterpret_cast<WNDPROC>(
      SetWindowLongPtrW(control, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(procedure)));
}

void CreateControls(HWND window) {
  for (const ControlLayout& c : kControls) {
    const HWND control = CreateWindowExW(
        0, c.className, c.text, c.style, c.x, c.y, c.width, c.height, window,
        reinterpret_cast<HMENU>(static_cast<INT_PTR>(c.id)), g_shell.instance, nullptr);
    g_shell.*c.handle = control;
    // The input box gets its keys before the button that Enter stands for exists.
    if (c.id == IDC_INPUT_BOX) g_shell.inputBoxPrevious = Subclass(control, InputBoxProc);
  }
  g_shell.arabicBoxPrevious = Subclass(g_shell.arabicBox, OutputBoxProc);
  g_shell.englishBoxPrevious = Subclass(g_shell.englishBox, OutputBoxProc);
  g_shell.germanBoxPrevious = Subclass(g_shell.germanBox, OutputBoxProc);
}

void ApplySharedFont() {
  const WPARAM font = reinterpret_cast<WPARAM>(g_shell.font);
  for (HWND control : {g_shell.inputBox, g_shell.arabicBox, g_shell.englishBox, g_shell.germanBox,
                       g_shell.translateButton, g_shell.clearButton, g_shell.exitButton}) {
    SendMessageW(control, WM_SETFONT, font, TRUE);
  }
  for (HWND box : {g_shell.inputBox, g_shell.arabicBox, g_shell.englishBox, g_shell.germanBox}) {
    InvalidateRect(box, nullptr, TRUE);
  }
}

// Without a model name the label stays empty and keeps the standard painting.
void SetUpModelLabel() {
  if (g_settings.geminiModel.empty()) return;
  SetWindowTextW(g_shell.modelLabel, ModelLabelText().c_str());
  SendMessageW(g_shell.modelLabel, WM_SETFONT, reinterpret_cast<WPARAM>(g_shell.font), TRUE);
  g_shell.modelLabelPrevious = Subclass(g_shell.modelLabel, ModelLabelProc);
}

Point MainWindowPosition() {
  const std::wstring commandLine = GetCommandLineW();
  const std::optional<Point> requested =
      ParsePosOption(FromWide(commandLine.data(), commandLine.size()));
  if (requested) return *requested;
  return CenteredPosition(GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN));
}

}  // namespace

std::wstring ModelLabelText() { return Wide(kModelLabelPrefix) + Wide(g_settings.geminiModel); }

void RegisterMainWindowClass(HINSTANCE instance) {
  WNDCLASSEXW windowClass{};
  windowClass.cbSize = sizeof(windowClass);
  windowClass.style = CS_HREDRAW | CS_VREDRAW;
  windowClass.lpfnWndProc = MainWindowProc;
  windowClass.hInstance = instance;
  windowClass.hIcon = LoadIconW(instance, MAKEINTRESOURCEW(IDI_PARLIVO));
  windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
  windowClass.lpszMenuName = MAKEINTRESOURCEW(IDC_PARLIVO);
  windowClass.lpszClassName = g_shell.className;
  windowClass.hIconSm = LoadIconW(instance, MAKEINTRESOURCEW(IDI_PARLIVO));
  RegisterClassExW(&windowClass);
}

BOOL CreateMainWindow(HINSTANCE instance, int showMode) {
  g_shell.instance = instance;
  const Point position = MainWindowPosition();
  const HWND window = CreateWindowExW(0, g_shell.className, g_shell.windowTitle, kMainWindowStyle,
                                      position.x, position.y, kMainWindowWidth, kMainWindowHeight,
                                      nullptr, nullptr, instance, nullptr);
  if (window == nullptr) return FALSE;

  g_shell.font = CreateSharedFont();
  CreateControls(window);
  ApplySharedFont();
  SetUpModelLabel();

  ShowWindow(window, showMode);
  UpdateWindow(window);
  SetFocus(g_shell.inputBox);
  return TRUE;
}

}  // namespace parlivo
