#include <windows.h>

#include "app/dll_loading.h"
#include "app/main_window.h"
#include "app/resource_ids.h"
#include "app/shell_state.h"
#include "config/config_win.h"

using namespace parlivo;

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int showMode) {
  // First of all: a first start already opens Notepad through the shell.
  SecureDllLoading();
  LoadStringW(instance, IDS_APP_TITLE, g_shell.windowTitle, kNameCapacity);
  LoadStringW(instance, IDC_PARLIVO, g_shell.className, kNameCapacity);
  RegisterMainWindowClass(instance);

  // Before any window: on a first start or an unusable key this ends the
  // process itself, after telling the user.
  LoadConfig();

  if (!CreateMainWindow(instance, showMode)) return 0;

  const HACCEL accelerators = LoadAcceleratorsW(instance, MAKEINTRESOURCEW(IDC_PARLIVO));
  MSG message;
  BOOL retrieved;
  while ((retrieved = GetMessageW(&message, nullptr, 0, 0)) > 0) {
    // The command goes to the window the key was meant for.
    if (!TranslateAcceleratorW(message.hwnd, accelerators, &message)) {
      TranslateMessage(&message);
      DispatchMessageW(&message);
    }
  }
  // The quit message carries the exit code (0). When retrieval fails (-1),
  // `message` still holds whatever came before, so its parameter is no code.
  return retrieved == 0 ? static_cast<int>(message.wParam) : 0;
}
