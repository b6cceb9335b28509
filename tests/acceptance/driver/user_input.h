#pragma once

// Real input events (SendInput), as a person's keyboard and mouse make them.
// They go to the foreground window and the window with the keyboard focus.

#include <windows.h>

#include <string>

namespace driver {

// Brings a top-level window to the foreground; true when it is there.
bool BringToForeground(HWND window);

// Types each UTF-16 code unit as a Unicode key event (KEYEVENTF_UNICODE).
void TypeText(const std::wstring& text);

// Presses a chord such as "enter", "shift+enter", "ctrl+a", "alt+?", "esc",
// "tab" or "alt+f": modifiers down in order, the key down and up, modifiers
// up in reverse order. A single character stands for the virtual key that
// produces it on the current keyboard layout, with Shift when it needs it.
void PressChord(const std::wstring& chord);

// Presses the chord `count` times, `intervalMs` apart, as hurried fingers
// would; returns the milliseconds from the first press to the last.
DWORD PressChordRepeatedly(const std::wstring& chord, int count, DWORD intervalMs);

// Moves the mouse to a screen point and clicks the left button there.
void ClickAt(int x, int y);

}  // namespace driver
