#include "translate/display_plan.h"

#include "common/text.h"

namespace parlivo {

bool IsErrorResult(std::u16string_view result) { return StartsWith(result, u"Error"); }

std::optional<BoxTexts> PlanDisplay(std::u16string_view result) {
  if (IsErrorResult(result)) return std::nullopt;
  return CutAnswer(result);
}

}  // namespace parlivo
