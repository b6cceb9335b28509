#pragma once

#include <string>
#include <string_view>

#include "config/settings.h"

namespace parlivo {

inline constexpr std::u16string_view kGeminiHost = u"generativelanguage.googleapis.com";

// The fixed pieces of the URL and of the body, in the order they are joined.
inline constexpr std::u16string_view kScheme = u"https://";
inline constexpr std::u16string_view kPathPrefix = u"/v1beta/models/";
inline constexpr std::u16string_view kMethod = u":generateContent?";
inline constexpr std::u16string_view kKeyParameter = u"&key=";

inline constexpr std::u16string_view kJsonHead = uR"({"contents":[{"role":"user","parts":[{"text":")";
inline constexpr std::u16string_view kPromptHead = u"Translate '";
inline constexpr std::u16string_view kPromptTail =
    u"' to Arabic, English, and German use (Du). Keep answers plain text and short and "
    u"practical, with 2-3 meanings separated by commas if important (no extra text) . "
    u"Format: Arabic: <text> English: <text> German: <text>";
inline constexpr std::u16string_view kJsonTail = u"\"}]}]}";

// The request URL: https://HOST/v1beta/models/MODEL:generateContent?&key=KEY,
// with model and key inserted exactly as the settings hold them.
std::u16string BuildRequestUrl(const Settings& settings);

// The single-line JSON body that wraps `text` in the translation prompt.
std::u16string BuildRequestBody(std::u16string_view text);

// `text` made fit to stand between the quotation marks of a JSON string.
std::u16string EscapeJson(std::u16string_view text);

}  // namespace parlivo
