#pragma once

// Reading what a user would see of another process's windows, without ever
// waiting on a window whose thread is busy: messages go out with time limits.

#include <windows.h>

#include <optional>
#include <string>
#include <vector>

namespace driver {

// How long a window's thread may take to answer a message before the
// window counts as busy.
inline constexpr UINT kMessageTimeoutMs = 2000;

std::wstring ClassOf(HWND window);
// The text the system keeps for the window (no message to its thread).
std::wstring CaptionOf(HWND window);
// The text the window itself reports (WM_GETTEXT); nothing when it is busy.
std::optional<std::wstring> TextByMessage(HWND window);

// Visible top-level windows whose class and title match (an empty pattern
// matches anything), optionally of one process, in Z order.
std::vector<HWND> TopLevelWindows(const std::wstring& className, const std::wstring& title,
                                  DWORD processId);

// Every window the process owns, hidden and message-only ones and all
// descendants included: top-level, child and message-only counts.
std::string CountWindowsOf(DWORD processId);

// Class, texts, styles, rectangles, ids, owner and process of one window.
std::string DescribeWindow(HWND window);
// The direct children in Z order (creation order for controls), each with its
// rectangle relative to the parent's client area.
std::string DescribeChildren(HWND parent);
// Focus, active and capture windows of the window's thread, and the foreground window.
std::string DescribeFocus(HWND window);

}  // namespace driver
