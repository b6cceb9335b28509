// ExtractResponseText on arbitrary reply bytes, converted to UTF-16 first,
// and ExtractResponseTextFromUtf8, which HttpPost calls on the bytes as they
// arrive: both must give the same result for every input.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "common/utf8.h"
#include "fuzz_check.h"
#include "gemini/response_text.h"

namespace parlivo {
namespace {

constexpr std::u16string_view kTextMemberName = u"\"text\"";
constexpr std::size_t kShortestReply = 9;

constexpr bool IsStrayControl(char16_t c) {
  return c < 0x20 && c != u'\t' && c != u'\n' && c != u'\r';
}

bool HasStrayControl(std::u16string_view text) {
  for (const char16_t c : text) {
    if (IsStrayControl(c)) return true;
  }
  return false;
}

// Built here from its parts rather than by ParseFailureText, so that a fault
// there shows up too.
std::u16string ExpectedFailureText(std::u16string_view reply) {
  std::u16string text(kParseFailurePrefix);
  text += reply.substr(0, kParseFailureShownUnits);
  text += u"...";
  return text;
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

  const bool isFailureText = result == ExpectedFailureText(reply);
  if (reply.size() < kShortestReply || reply.find(kTextMemberName) == std::u16string::npos) {
    Require(isFailureText,
            "a reply without a text member gives the prefix, its first 200 units and \"...\"");
  }
  if (!isFailureText) {
    // Only the failure text quotes the raw reply; an answer is decoded and
    // cleaned, and decoding never lengthens the text.
    Require(!HasStrayControl(result), "an answer holds no control character but tab, LF and CR");
    Require(result.size() <= reply.size(), "an answer is never longer than the reply");
    // The reply came through the UTF-8 conversion, which leaves no unpaired
    // surrogate, and escaped surrogates are paired or replaced.
    Require(Utf8ToUtf16(Utf16ToUtf8(result)) == result, "an answer is well-formed UTF-16");
  }
  return 0;
}
