#include "config/config_win.h"

#include <windows.h>
#include <shellapi.h>

#include "common/module_path_win.h"
#include "common/wide_string.h"
#include "config/config_format.h"
#include "config/load_config.h"

namespace parlivo {

constinit Settings g_settings;

namespace {

// Every open shares all access, so an editor may hold the file meanwhile.
constexpr DWORD kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;

class Win32ConfigFiles final : public ConfigFileAccess {
 public:
  ~Win32ConfigFiles() override { Close(); }

  OpenResult OpenForReading(const std::u16string& path) override {
    file_ = CreateFileW(AsWide(path), GENERIC_READ, kShareAll, nullptr, OPEN_EXISTING,
                        FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file_ != INVALID_HANDLE_VALUE) return OpenResult::kOpened;
    const DWORD error = GetLastError();
    return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND ? OpenResult::kMissing
                                                                          : OpenResult::kUnreadable;
  }

  std::size_t Read(char* buffer, std::size_t capacity) override {
    DWORD read = 0;
    if (!ReadFile(file_, buffer, static_cast<DWORD>(capacity), &read, nullptr)) return 0;
    return read;
  }

  void Close() override {
    if (file_ != INVALID_HANDLE_VALUE) CloseHandle(file_);
    file_ = INVALID_HANDLE_VALUE;
  }

  bool CreateNew(const std::u16string& path, std::string_view contents) override {
    const HANDLE file = CreateFileW(AsWide(path), GENERIC_WRITE, kShareAll, nullptr, CREATE_NEW,
                                    FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    DWORD written = 0;
    WriteFile(file, contents.data(), static_cast<DWORD>(contents.size()), &written, nullptr);
    CloseHandle(file);
    return true;
  }

 private:
  HANDLE file_ = INVALID_HANDLE_VALUE;
};

UINT IconFlag(MessageIcon icon) {
  switch (icon) {
    case MessageIcon::kInformation: return MB_ICONINFORMATION;
    case MessageIcon::kWarning: return MB_ICONWARNING;
    case MessageIcon::kError: return MB_ICONERROR;
  }
  return 0;
}

// Named by its full path: Windows looks for a bare "notepad.exe" in the
// current directory before its own folders, so a notepad.exe left in, say,
// Downloads would run instead. Empty when the system folder is unknown.
std::wstring SystemNotepadPath() {
  // Windows is installed in a folder well inside MAX_PATH.
  wchar_t folder[MAX_PATH];
  const UINT length = GetSystemDirectoryW(folder, MAX_PATH);
  if (length == 0 || length >= MAX_PATH) return {};
  return std::wstring(folder, length).append(L"\\notepad.exe");
}

// Boxes shown here have no owner: the main window may not exist yet.
class Win32ConfigUser final : public ConfigUserSide {
 public:
  void ShowMessage(std::u16string_view text, std::u16string_view caption,
                   MessageIcon icon) override {
    MessageBoxW(nullptr, Wide(text).c_str(), Wide(caption).c_str(), MB_OK | IconFlag(icon));
  }
  void OpenInEditor(const std::u16string& path) override { OpenInNotepad(path); }
  void EndProcess() override { ExitProcess(0); }
};

}  // namespace

std::u16string ConfigFilePath() { return ConfigPathBeside(ModuleFilePath()); }

void OpenInNotepad(const std::u16string& path) {
  // Without the system folder there is no Notepad to trust; like any other
  // failure to open Notepad, that goes unreported.
  const std::wstring notepad = SystemNotepadPath();
  if (notepad.empty()) return;
  // The path goes unquoted: Notepad takes the whole parameter as the file.
  ShellExecuteW(nullptr, L"open", notepad.c_str(), AsWide(path), nullptr, SW_SHOW);
}

void LoadConfig() {
  Win32ConfigFiles files;
  Win32ConfigUser user;
  LoadConfig(g_settings, ConfigFilePath(), files, user);
}

}  // namespace parlivo
