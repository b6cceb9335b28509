#pragma once

#include <windows.h>

namespace parlivo {

// Enter translates, Shift+Enter breaks the line, Ctrl+A selects all and Tab
// moves the focus on.
LRESULT CALLBACK InputBoxProc(HWND box, UINT message, WPARAM wParam, LPARAM lParam);

// Ctrl+A selects all in the read-only output boxes.
LRESULT CALLBACK OutputBoxProc(HWND box, UINT message, WPARAM wParam, LPARAM lParam);

// Paints the model label in green, centred on one line.
LRESULT CALLBACK ModelLabelProc(HWND label, UINT message, WPARAM wParam, LPARAM lParam);

}  // namespace parlivo
