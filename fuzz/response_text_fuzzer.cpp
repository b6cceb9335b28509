// ExtractResponseText on arbitrary reply bytes, converted to UTF-16 first,
// and ExtractResponseTextFromUtf8, which HttpPost calls on the bytes as they
// arrive: both must give the same result for every input, and where the
// value of the first text member is a well-formed JSON string, the result a
// real JSON parser gives.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include <nlohmann/json.hpp>

#include "common/utf8.h"
#include "fuzz_check.h"
#include "gemini/response_text.h"

namespace parlivo {
namespace {

constexpr std::u16string_view kTextMemberName = u"\"text\"";
constexpr std::string_view kJsonWhitespace = " \t\n\r";
constexpr std::size_t kShortestReply = 9;

constexpr bool IsStrayControl(char16_t c) {
  return c < 0x20 && c != u'\t' && c != u'\n' && c != u'\r';
}

// Built here from its parts rather than by ParseFailureText, so that a fault
// there shows up too.
std::u16string ExpectedFailureText(std::u16string_view reply) {
  std::u16string text(kParseFailurePrefix);
  text += reply.substr(0, kParseFailureShownUnits);
  text += u"...";
  return text;
}

// The value of the first "text" member (its name, JSON white space, a colon,
// white space and a quotation mark) when it is a well-formed JSON string: as
// the JSON parser decodes it, without the stray control characters, or the
// failure text when it is empty. Nothing when there is no such value.
std::optional<std::u16string> ExpectedFromParser(std::string_view bytes,
                                                 std::u16string_view reply) {
  constexpr std::string_view kName = "\"text\"";
  std::size_t open = bytes.npos;
  for (std::size_t at = bytes.find(kName); at != bytes.npos && open == bytes.npos;
       at = bytes.find(kName, at + 1)) {
    const std::size_t colon = bytes.find_first_not_of(kJsonWhitespace, at + kName.size());
    if (colon == bytes.npos || bytes[colon] != ':') continue;
    open = bytes.find_first_not_of(kJsonWhitespace, colon + 1);
    if (open != bytes.npos && bytes[open] != '"') open = bytes.npos;
  }
  if (open == bytes.npos) return std::nullopt;
  // A JSON string ends at the first quotation mark that is not escaped.
  std::size_t close = open + 1;
  while (close < bytes.size() && bytes[close] != '"') close += bytes[close] == '\\' ? 2 : 1;
  if (close >= bytes.size()) return std::nullopt;
  const nlohmann::json value = nlohmann::json::parse(bytes.substr(open, close + 1 - open),
                                                     nullptr, /*allow_exceptions=*/false);
  if (!value.is_string()) return std::nullopt;
  if (close == open + 1) return ExpectedFailureText(reply);
  std::u16string answer = Utf8ToUtf16(value.get_ref<const std::string&>());
  std::erase_if(answer, IsStrayControl);
  return answer;
}

}  // namespace
}  // namespace parlivo

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace parlivo;
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  const std::u16string reply = Utf8ToUtf16(bytes);
  const std::u16string result = ExtractResponseText(reply);
  Require(ExtractResponseTextFromUtf8(bytes) == result,
          "the bytes give the same result as their UTF-16 conversion");

  if (const std::optional<std::u16string> expected = ExpectedFromParser(bytes, reply)) {
    Require(result == *expected, "a well-formed first text value gives what a JSON parser reads");
  }

  const bool isFailureText = result == ExpectedFailureText(reply);
  if (reply.size() < kShortestReply || reply.find(kTextMemberName) == std::u16string::npos) {
    Require(isFailureText,
            "a reply without a text member gives the prefix, its first 200 units and \"...\"");
  }
  if (!isFailureText) {
    // Only the failure text quotes the raw reply; an answer is decoded and
    // cleaned, and decoding never lengthens the text.
    Require(std::ranges::none_of(result, IsStrayControl),
            "an answer holds no control character but tab, LF and CR");
    Require(result.size() <= reply.size(), "an answer is never longer than the reply");
    // The reply came through the UTF-8 conversion, which leaves no unpaired
    // surrogate, and escaped surrogates are paired or replaced.
    Require(Utf8ToUtf16(Utf16ToUtf8(result)) == result, "an answer is well-formed UTF-16");
  }
  return 0;
}
