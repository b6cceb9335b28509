#pragma once

#include <windows.h>

namespace parlivo {

// Carries out the menu and button commands, the close request and the
// clean-up of the main window.
LRESULT CALLBACK MainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

}  // namespace parlivo
