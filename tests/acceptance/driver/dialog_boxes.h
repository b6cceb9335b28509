#pragma once

// Message boxes and dialogs of another process: what they say and how to answer them.

#include <windows.h>

#include <string>

namespace driver {

// Caption, message text (the static control with id 0xFFFF), buttons with
// their ids, texts and styles, the owner window and which system icon shows.
std::string DescribeDialogBox(HWND box);

}  // namespace driver
