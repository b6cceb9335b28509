#pragma once

// Other processes as the system sees them: resource counts, exit, and files
// held open the way another program would hold them.

#include <windows.h>

#include <string>

namespace driver {

// GDI and USER object counts, handle count, private bytes and working set of
// a process, for watching a long run for leaks; null where the system cannot
// tell. "handle_table_entries" counts the process's entries in the system's
// handle table, which Wine fills from the wineserver even where
// GetProcessHandleCount of another process gives nothing.
std::string DescribeProcessResources(DWORD processId);

// Waits up to `timeoutMs` for the process to end; reports whether it did and its exit code.
std::string WaitForExit(DWORD processId, DWORD timeoutMs);

// Ends a process that a test started and that is still running.
void TerminateById(DWORD processId);

// Holds a file open for reading without sharing, as a program that locks it
// would; returns a number for ReleaseFile.
long long LockFile(const std::wstring& path);
// Holds a file open for writing while sharing reading and writing, as an
// editor that has it open would; returns a number for ReleaseFile.
long long HoldFileForEditing(const std::wstring& path);
void ReleaseFile(long long lockNumber);

}  // namespace driver
