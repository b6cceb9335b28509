#pragma once

// Menu resources inside an executable. (Wine keeps a live menu in its own
// process, so another process cannot read the items of a window's menu bar.)

#include <windows.h>

#include <string>

namespace driver {

// The items of menu resource `id` of the executable at `path`, read as data,
// recursively: type ("string", "separator" or "popup"), id and text.
std::string DescribeMenuResource(const std::wstring& path, int id);

}  // namespace driver
