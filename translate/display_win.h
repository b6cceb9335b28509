#pragma once

#include <windows.h>

#include <string>

namespace parlivo {

// Puts `text` into an edit control, repaints it and shows its start.
void SetBoxText(HWND box, const std::u16string& text);

// Shows a failure report in a "Translation Error" box, or the answer's three
// sections in the output boxes.
void DisplayResults(const std::u16string& result);

}  // namespace parlivo
