#pragma once

#include <string>

#include "config/settings.h"

namespace parlivo {

// The process-wide settings, empty until LoadConfig fills them.
extern Settings g_settings;

// config.ini in the executable's directory.
std::u16string ConfigFilePath();

// Opens the file in the system folder's Notepad; whether that works is not
// reported.
void OpenInNotepad(const std::u16string& path);

// Reads config.ini into g_settings, or ends the process after telling the
// user what to do (first start, unusable key, unreadable file).
void LoadConfig();

}  // namespace parlivo
