#pragma once

#include <string>
#include <string_view>

#include "config/settings.h"
#include "gemini/http_transport.h"

namespace parlivo {

inline constexpr std::u16string_view kErrorPrefix = u"Error: ";
inline constexpr std::u16string_view kErrorTranslationUnexpected =
    u"Error: Unexpected error occurred during translation request.";

// Sends `text` in the translation prompt to the model named in `settings` and
// returns the answer, or an error text that begins with "Error: ". Settings
// are read at every call, so a reloaded configuration applies at once.
std::u16string TranslateText(std::u16string_view text, const Settings& settings,
                             HttpTransport& transport);

}  // namespace parlivo
