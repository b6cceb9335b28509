#include "common/text.h"

namespace parlivo {

std::u16string Trim(std::u16string_view text) {
  std::size_t begin = 0;
  std::size_t end = text.size();
  while (begin < end && IsBlankOrTab(text[begin])) ++begin;
  while (end > begin && IsBlankOrTab(text[end - 1])) --end;
  return std::u16string(text.substr(begin, end - begin));
}

}  // namespace parlivo
