#pragma once

#include <string>
#include <string_view>

#include "config/settings.h"

namespace parlivo {

inline constexpr std::u16string_view kGeminiHost = u"generativelanguage.googleapis.com";

// The request URL: https://HOST/v1beta/models/MODEL:generateContent?&key=KEY,
// with model and key inserted exactly as the settings hold them.
std::u16string BuildRequestUrl(const Settings& settings);

// The single-line JSON body that wraps `text` in the translation prompt.
std::u16string BuildRequestBody(std::u16string_view text);

// `text` made fit to stand between the quotation marks of a JSON string.
std::u16string EscapeJson(std::u16string_view text);

}  // namespace parlivo
