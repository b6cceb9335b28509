#include "app/main_window_proc.h"

#include <cstdlib>
#include <string>

#include "app/about_dialog.h"
#include "app/main_window.h"
#include "app/resource_ids.h"
#include "app/shell_state.h"
#include "app/shell_texts.h"
#include "app/window_placement.h"
#include "common/module_path_win.h"
#include "common/wide_string.h"
#include "config/config_win.h"
#include "translate/display_win.h"
#include "translate/translate_command_win.h"

namespace parlivo {
namespace {

void ShowAbout(HWND window) {
  DialogBoxParamW(g_shell.instance, MAKEINTRESOURCEW(IDD_ABOUTBOX), window, AboutDialogProc, 0);
}

void CloseWithConfirmation(HWND window) {
  const int answer = MessageBoxW(window, Wide(kConfirmExitText).c_str(),
                                 Wide(kConfirmExitCaption).c_str(),
                                 MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2);
  if (answer == IDYES) DestroyWindow(window);
}

// Starts a second copy of the program up and to the left of this window.
void OpenNewWindow(HWND window) {
  RECT current{};
  GetWindowRect(window, &current);
  std::srand(GetTickCount());
  const int firstDraw = std::rand();
  const int secondDraw = std::rand();
  const Point position =
      NewWindowPosition({current.left, current.top, current.right, current.bottom}, firstDraw,
                        secondDraw, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN));

  std::wstring commandLine = Wide(NewWindowCommandLine(position));
  const std::u16string program = ModuleFilePath();
  STARTUPINFOW startup{};
  startup.cb = sizeof(startup);
  PROCESS_INFORMATION process{};
  if (CreateProcessW(AsWide(program), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                     nullptr, &startup, &process)) {
    CloseHandle(process.hProcess);
    CloseHandle(process.hThread);
  }
}

void ReloadConfig(HWND window) {
  LoadConfig();  // may end the process, as at start-up
  if (g_shell.modelLabel != nullptr && !g_settings.geminiModel.empty()) {
    SetWindowTextW(g_shell.modelLabel, ModelLabelText().c_str());
    InvalidateRect(g_shell.modelLabel, nullptr, TRUE);
  }
  MessageBoxW(window, Wide(kReloadedText).c_str(), Wide(kReloadedCaption).c_str(),
              MB_OK | MB_ICONINFORMATION);
}

// An edit control keeps the buffer of the longest text it held, megabytes
// after a long answer; an emptied output box gets a fresh, small one.
void ReleaseTextBuffer(HWND box) {
  const HLOCAL fresh = LocalAlloc(LMEM_MOVEABLE | LMEM_ZEROINIT, sizeof(wchar_t));
  if (fresh == nullptr) return;
  const auto previous = reinterpret_cast<HLOCAL>(SendMessageW(box, EM_GETHANDLE, 0, 0));
  SendMessageW(box, EM_SETHANDLE, reinterpret_cast<WPARAM>(fresh), 0);
  if (previous != nullptr) LocalFree(previous);
}

void ClearBoxes() {
  for (HWND box : {g_shell.inputBox, g_shell.arabicBox, g_shell.englishBox, g_shell.germanBox}) {
    SetBoxText(box, u"");
  }
  for (HWND box : {g_shell.arabicBox, g_shell.englishBox, g_shell.germanBox}) {
    ReleaseTextBuffer(box);
  }
  SetFocus(g_shell.inputBox);
}

void RestoreProcedure(HWND control, WNDPROC& previous) {
  if (control == nullptr || previous == nullptr) return;
  SetWindowLongPtrW(control, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(previous));
  previous = nullptr;
}

void CleanUp() {
  const HGDIOBJ stockFont = GetStockObject(DEFAULT_GUI_FONT);
  if (g_shell.font != nullptr && g_shell.font != stockFont) DeleteObject(g_shell.font);
  g_shell.font = nullptr;
  RestoreProcedure(g_shell.inputBox, g_shell.inputBoxPrevious);
  RestoreProcedure(g_shell.modelLabel, g_shell.modelLabelPrevious);
  PostQuitMessage(0);
}

// Returns false for commands that go on to default processing.
bool HandleCommand(HWND window, int command) {
  switch (command) {
    case IDM_ABOUT: ShowAbout(window); return true;
    case IDM_EXIT:
    case IDC_EXIT_BUTTON: CloseWithConfirmation(window); return true;
    case IDM_NEW: OpenNewWindow(window); return true;
    case IDM_EDIT_CONFIG: OpenInNotepad(ConfigFilePath()); return true;
    case IDM_LOAD_CONFIG: ReloadConfig(window); return true;
    case IDC_TRANSLATE_BUTTON: OnTranslate(window); return true;
    case IDC_CLEAR_BUTTON: ClearBoxes(); return true;
    default: return false;
  }
}

}  // namespace

LRESULT CALLBACK MainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_COMMAND:
      if (HandleCommand(window, LOWORD(wParam))) return 0;
      break;
    case WM_CLOSE:
      CloseWithConfirmation(window);
      return 0;
    case WM_PAINT: {
      // Nothing to draw: the class brush paints the background.
      PAINTSTRUCT paint;
      BeginPaint(window, &paint);
      EndPaint(window, &paint);
      return 0;
    }
    case WM_DESTROY:
      CleanUp();
      return 0;
  }
  return DefWindowProcW(window, message, wParam, lParam);
}

}  // namespace parlivo
