#include "translate/translate_input.h"

#include "common/text.h"
#include "common/utf8.h"

namespace parlivo {
namespace {

constexpr std::u16string_view kPreviewPrefix = u"Debug - Text being sent: ";
constexpr std::u16string_view kPreviewCutMark = u"...";
constexpr std::u16string_view kTranslationFailedPrefix = u"Translation failed: ";

}  // namespace

TranslateInput CheckTranslateInput(std::u16string_view boxText) {
  TranslateInput input{TranslateInput::Verdict::kSend, Trim(boxText)};
  if (input.trimmed.empty()) {
    input.verdict = TranslateInput::Verdict::kEmpty;
  } else if (input.trimmed.size() > kMaxInputUnits) {
    input.verdict = TranslateInput::Verdict::kTooLong;
  }
  return input;
}

std::u16string DebugPreviewLine(std::u16string_view trimmed) {
  std::u16string line(kPreviewPrefix);
  line += trimmed.substr(0, kPreviewUnits);
  if (trimmed.size() > kPreviewUnits) line += kPreviewCutMark;
  return line;
}

std::u16string TranslationFailedText(const char* what) {
  std::u16string text(kTranslationFailedPrefix);
  text += Utf8ToUtf16(what);
  return text;
}

}  // namespace parlivo
