// EscapeJson on arbitrary UTF-16 code units, lone surrogates included: its
// output between quotation marks must be a JSON string that a real parser
// reads back as the input.
#include <cstddef>
#include <cstdint>
#include <string>

#include <nlohmann/json.hpp>

#include "common/utf8.h"
#include "fuzz_check.h"
#include "gemini/request.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace parlivo;
  // Two bytes to a code unit, low byte first; an odd last byte is left out.
  std::u16string text(size / 2, u'\0');
  for (std::size_t i = 0; i < text.size(); ++i) {
    text[i] = static_cast<char16_t>(data[2 * i] | (data[2 * i + 1] << 8));
  }

  const std::string document = "\"" + Utf16ToUtf8(EscapeJson(text)) + "\"";
  const nlohmann::json parsed =
      nlohmann::json::parse(document, nullptr, /*allow_exceptions=*/false);
  Require(!parsed.is_discarded(), "the escaped text makes valid JSON");
  Require(parsed.is_string(), "the escaped text makes a JSON string");
  // Unpaired surrogates become U+FFFD in both conversions.
  Require(parsed.get_ref<const std::string&>() == Utf16ToUtf8(text),
          "the JSON string reads back as the input");
  return 0;
}
