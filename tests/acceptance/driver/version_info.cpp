#include "version_info.h"

#include <windows.h>

#include <cstdio>
#include <cwchar>

#include "protocol.h"

namespace driver {
namespace {

struct Translation {
  WORD language;
  WORD codePage;
};

std::string FourNumbers(DWORD high, DWORD low) {
  return JsonArray({std::to_string(HIWORD(high)), std::to_string(LOWORD(high)),
                    std::to_string(HIWORD(low)), std::to_string(LOWORD(low))});
}

// The value at `query` inside the resource, or nullptr with `length` 0.
void* Query(const std::vector<BYTE>& resource, const std::wstring& query, UINT& length) {
  void* value = nullptr;
  length = 0;
  if (!VerQueryValueW(resource.data(), query.c_str(), &value, &length)) return nullptr;
  return value;
}

}  // namespace

std::string DescribeVersionResource(const std::wstring& path,
                                    const std::vector<std::wstring>& names) {
  DWORD ignored = 0;
  const DWORD size = GetFileVersionInfoSizeW(path.c_str(), &ignored);
  if (size == 0) throw CommandError("no version resource in " + WideToUtf8(path));
  std::vector<BYTE> resource(size);
  if (!GetFileVersionInfoW(path.c_str(), 0, size, resource.data())) {
    throw CommandError("the version resource cannot be read");
  }

  UINT length = 0;
  const auto* fixed = static_cast<const VS_FIXEDFILEINFO*>(Query(resource, L"\\", length));
  if (fixed == nullptr || length < sizeof(VS_FIXEDFILEINFO)) {
    throw CommandError("the version resource has no fixed part");
  }
  const auto* translations =
      static_cast<const Translation*>(Query(resource, L"\\VarFileInfo\\Translation", length));
  const std::size_t translationCount = translations ? length / sizeof(Translation) : 0;
  if (translationCount == 0) throw CommandError("the version resource has no translation");

  std::vector<std::string> pairs;
  for (std::size_t i = 0; i < translationCount; ++i) {
    pairs.push_back(JsonArray({std::to_string(translations[i].language),
                               std::to_string(translations[i].codePage)}));
  }
  // The string block is named by the first translation, in hexadecimal digits.
  wchar_t block[32];
  std::swprintf(block, sizeof block / sizeof block[0], L"\\StringFileInfo\\%04x%04x\\",
                translations[0].language, translations[0].codePage);
  JsonObject strings;
  for (const std::wstring& name : names) {
    const auto* text = static_cast<const wchar_t*>(Query(resource, block + name, length));
    if (text == nullptr) {
      strings.Null(WideToUtf8(name));
    } else {
      // `length` counts characters; whether it counts the closing null varies.
      strings.Text(WideToUtf8(name), std::wstring_view(text, wcsnlen(text, length)));
    }
  }
  return JsonObject()
      .Raw("file_version", FourNumbers(fixed->dwFileVersionMS, fixed->dwFileVersionLS))
      .Raw("product_version", FourNumbers(fixed->dwProductVersionMS, fixed->dwProductVersionLS))
      .Raw("translations", JsonArray(pairs))
      .Raw("strings", strings.Finish())
      .Finish();
}

}  // namespace driver
