#pragma once

// The version resource of an executable, read the way Windows Explorer reads
// it for Properties, Details.

#include <string>
#include <vector>

namespace driver {

// The numeric file and product versions (four numbers each), the resource's
// translations (language and code page) and, for the first translation, the
// strings called `names` (null for a string the resource lacks).
std::string DescribeVersionResource(const std::wstring& path,
                                    const std::vector<std::wstring>& names);

}  // namespace driver
