// A DLL that a test lays beside Parlivo.exe under a system DLL's name, as an
// attacker would. It exports nothing; whatever process loads it gets a file
// named after it with ".loaded" appended, beside it.
#include <windows.h>

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
  if (reason != DLL_PROCESS_ATTACH) return TRUE;
  constexpr wchar_t kMarkSuffix[] = L".loaded";
  wchar_t path[MAX_PATH + sizeof(kMarkSuffix) / sizeof(wchar_t)];
  const DWORD length = GetModuleFileNameW(instance, path, MAX_PATH);
  if (length == 0 || length >= MAX_PATH) return TRUE;
  lstrcpyW(path + length, kMarkSuffix);
  const HANDLE mark = CreateFileW(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                  FILE_ATTRIBUTE_NORMAL, nullptr);
  if (mark != INVALID_HANDLE_VALUE) CloseHandle(mark);
  return TRUE;
}
