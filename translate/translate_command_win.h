#pragma once

#include <windows.h>

namespace parlivo {

// The Translate command: checks the input box, runs one exchange with the
// service while the button shows it is busy, and displays the result. Never
// throws; `owner` owns the boxes it shows.
void OnTranslate(HWND owner);

}  // namespace parlivo
