#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace parlivo {

inline constexpr std::size_t kMaxInputUnits = 10000;
inline constexpr std::size_t kPreviewUnits = 100;

inline constexpr std::u16string_view kEmptyInputText =
    u"Please enter some text to translate.\n\n"
    u"Empty or whitespace-only text cannot be translated.";
inline constexpr std::u16string_view kEmptyInputCaption = u"Translation Warning";
inline constexpr std::u16string_view kTooLongText =
    u"Text is too long. Please use shorter text (maximum 10,000 characters).";
inline constexpr std::u16string_view kTooLongCaption = u"Text Too Long";

inline constexpr std::u16string_view kTranslateIdleText = u"Translate";
inline constexpr std::u16string_view kTranslateBusyText = u"Translating...";

inline constexpr std::u16string_view kTranslationErrorCaption = u"Translation Error";
inline constexpr std::u16string_view kTranslationFailedUnexpected =
    u"Translation failed due to an unexpected error.";

// The input box's text, checked before anything is sent.
struct TranslateInput {
  enum class Verdict { kSend, kEmpty, kTooLong };
  Verdict verdict;
  std::u16string trimmed;  // what is checked, previewed and sent
};

// Trims blanks and tabs (line breaks stay), then refuses an empty text before
// one of more than 10,000 UTF-16 code units.
TranslateInput CheckTranslateInput(std::u16string_view boxText);

// "Debug - Text being sent: " and the text, cut to its first 100 code units
// with "..." when longer.
std::u16string DebugPreviewLine(std::u16string_view trimmed);

// "Translation failed: " and the exception's UTF-8 message.
std::u16string TranslationFailedText(const char* what);

}  // namespace parlivo
