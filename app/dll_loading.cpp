#include "app/dll_loading.h"

#include <windows.h>
#include <delayimp.h>

namespace parlivo {

namespace {

// What the delay-load helper raises when a DLL will not load or lacks a
// function; it passes its load information along.
constexpr DWORD kDllNotFound = VcppException(ERROR_SEVERITY_ERROR, ERROR_MOD_NOT_FOUND);
constexpr DWORD kFunctionNotFound = VcppException(ERROR_SEVERITY_ERROR, ERROR_PROC_NOT_FOUND);

// Stands in for a function that could not be had. Each delay-loaded call the
// program makes reports failure by a zero result (a null handle, FALSE, or a
// ShellExecuteW code of 32 or less), and on x64 the caller removes its own
// arguments, so one function without parameters can stand in for them all.
static_assert(sizeof(void*) == 8, "the stand-in relies on the x64 calling convention");
INT_PTR WINAPI Unavailable() { return 0; }

// Only the program's own imports: a DLL in the process may raise the same
// exception for one of its own, and handle it itself.
bool IsOwnImport(const DelayLoadInfo& load) {
  HMODULE module = nullptr;
  return GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS |
                                GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                            reinterpret_cast<LPCWSTR>(load.pidd), &module) &&
         module == GetModuleHandleW(nullptr);
}

// The helper returns the function its load information names once the
// exception is continued. For a DLL that did not load it leaves the import
// unbound, so the next call tries the DLL again; a missing function stays
// bound to the stand-in.
LONG CALLBACK FailCallsWithoutTheDll(EXCEPTION_POINTERS* exception) {
  const EXCEPTION_RECORD& record = *exception->ExceptionRecord;
  if ((record.ExceptionCode != kDllNotFound && record.ExceptionCode != kFunctionNotFound) ||
      record.NumberParameters < 1 || record.ExceptionInformation[0] == 0) {
    return EXCEPTION_CONTINUE_SEARCH;
  }
  auto* load = reinterpret_cast<DelayLoadInfo*>(record.ExceptionInformation[0]);
  if (!IsOwnImport(*load)) return EXCEPTION_CONTINUE_SEARCH;
  load->pfnCur = reinterpret_cast<FARPROC>(&Unavailable);
  return EXCEPTION_CONTINUE_EXECUTION;
}

}  // namespace

void SecureDllLoading() {
  // WinHTTP is no DLL that Windows always takes from the system folder, so a
  // search by name would try the program's own folder first: a winhttp.dll
  // lying there would run inside the program and see the API key.
  SetDefaultDllDirectories(LOAD_LIBRARY_SEARCH_SYSTEM32);
  AddVectoredExceptionHandler(TRUE, &FailCallsWithoutTheDll);
}

}  // namespace parlivo
