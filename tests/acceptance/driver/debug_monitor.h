#pragma once

// Collects what programs write with OutputDebugString, as a debug-output
// viewer does: through the system's DBWIN buffer, which the writers fill one
// message at a time while a monitor is listening.

#include <windows.h>

#include <string>

namespace driver {

// Starts listening (once; later calls do nothing).
void StartDebugMonitor();

// The messages that process `processId` wrote since the last call, oldest first.
std::string TakeDebugMessages(DWORD processId);

}  // namespace driver
