#pragma once

#include <windows.h>

namespace parlivo {

// The About box: picture, program text and OK, centred over its owner.
INT_PTR CALLBACK AboutDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

}  // namespace parlivo
