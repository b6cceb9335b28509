#include "common/module_path_win.h"

#include <windows.h>

#include "common/wide_string.h"

namespace parlivo {

std::u16string ModuleFilePath() {
  // A path that fills the buffer may have been cut, so grow until it fits.
  std::wstring buffer(MAX_PATH, L'\0');
  for (;;) {
    const DWORD length = GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
    if (length == 0) return {};
    if (length < buffer.size()) return FromWide(buffer.data(), length);
    buffer.resize(buffer.size() * 2);
  }
}

}  // namespace parlivo
