#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace parlivo {

inline constexpr std::u16string_view kParseFailurePrefix =
    u"Error: Could not parse response. Raw response: ";
inline constexpr std::size_t kParseFailureShownUnits = 200;
inline constexpr std::u16string_view kErrorParseException =
    u"Error: Exception while parsing response";
inline constexpr std::u16string_view kErrorParseUnexpected =
    u"Error: Unexpected error while parsing response";

// The prefix, the first 200 code units of the raw reply and "...".
std::u16string ParseFailureText(std::u16string_view reply);

// The answer of a generateContent reply: the value of the first "text" member,
// decoded as a JSON string, without the control characters other than tab,
// line feed and carriage return. It is not a JSON parser: nothing around that
// member is checked. A reply without such a member, or with an empty value,
// gives the parse-failure text.
std::u16string ExtractResponseText(std::u16string_view reply);

// The same for the reply's UTF-8 bytes as they arrive: always equal to
// ExtractResponseText(Utf8ToUtf16(replyBytes)), failure text included, but
// without converting the whole reply: only the answer (or the part of the
// reply the failure text shows) is converted.
std::u16string ExtractResponseTextFromUtf8(std::string_view replyBytes);

}  // namespace parlivo
