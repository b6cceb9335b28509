#pragma once

#include <optional>
#include <string_view>

#include "translate/sections.h"

namespace parlivo {

// A result of at least five characters that begins with "Error"
// (case-sensitive) is a failure report, even if the model wrote it.
bool IsErrorResult(std::u16string_view result);

// What the three output boxes end up showing for one result, or nothing when
// the result is a failure report to be shown whole in a message box.
std::optional<BoxTexts> PlanDisplay(std::u16string_view result);

}  // namespace parlivo
