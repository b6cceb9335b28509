#pragma once

#include <windows.h>

#include <string>

namespace parlivo {

// Registers the main window's class, with MainWindowProc, icon and menu.
void RegisterMainWindowClass(HINSTANCE instance);

// Builds and shows the main window with its eight controls. Returns FALSE
// when the window cannot be created.
BOOL CreateMainWindow(HINSTANCE instance, int showMode);

// "Model: " and the model name of the current settings.
std::wstring ModelLabelText();

}  // namespace parlivo
