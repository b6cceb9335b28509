#include "bench/sample_texts.h"

#include <stdexcept>
#include <string_view>

namespace parlivo::bench {
namespace {

// The reply around the answer, as the service pretty-prints it.
constexpr std::string_view kReplyHead = R"({
  "candidates": [
    {
      "content": {
        "parts": [
          {
            "text": ")";
constexpr std::string_view kReplyTail = R"("
          }
        ],
        "role": "model"
      },
      "finishReason": "STOP",
      "avgLogprobs": -0.021573412418365479
    }
  ],
  "usageMetadata": {
    "promptTokenCount": 62,
    "candidatesTokenCount": 25,
    "totalTokenCount": 87,
    "promptTokensDetails": [
      {
        "modality": "TEXT",
        "tokenCount": 62
      }
    ]
  },
  "modelVersion": "gemini-2.5-flash-lite",
  "responseId": "3Xq2aKfnBOm_nsbPqPWR0Qo"
}
)";

// One repetition of the answer as it stands inside the JSON string.
constexpr std::string_view kPlainAnswerPiece =
    "Arabic: bayt, manzil English: house, home, dwelling German: Haus, Zuhause, Wohnung. "
    "Short and practical answers in plain text, separated by commas. ";
constexpr std::string_view kEscapedAnswerPiece =
    R"(Arabic: \"بيت\"، منزل، \u0645\u0633\u0643\u0646\nEnglish: \"house\", home, )"
    R"(dwelling\nGerman: Haus, Zuhause, \u003cWohnung\u003e\n)";

// Right-to-left mark and zero-width joiner: work for StripInvisibleChars.
constexpr std::u16string_view kArabicLine = u"\u200Fبيت، منز\u200Dل، مسكن\n";
constexpr std::u16string_view kEnglishLine = u"house, home, dwelling\n";
constexpr std::u16string_view kGermanLine = u"Haus, Zuhause, Wohnung\n";

constexpr std::u16string_view kMixedPiece =
    u"Sie sagte \"Du bist hier\" und speicherte C:\\Users\\du\\notizen.txt\r\n"
    u"بيت \"منزل\"\r\n";

constexpr std::string_view kAsciiHeavyPiece =
    "The house is big and the garden is small. Das Haus ist groß und schön. ";
constexpr std::string_view kArabicHeavyPiece = "البيت كبير وجميل، والحديقة صغيرة 2024. ";

// Whole pieces while they fit in `size`, then the padding up to `size`.
template <typename Char>
void FillTo(std::basic_string<Char>& out, std::size_t size, std::basic_string_view<Char> piece,
            Char padding) {
  while (out.size() + piece.size() <= size) out += piece;
  out.append(size - out.size(), padding);
}

}  // namespace

std::string GeminiReply(ReplyFlavour flavour, std::size_t bytes) {
  const std::size_t envelope = kReplyHead.size() + kReplyTail.size();
  if (bytes < envelope) throw std::invalid_argument("reply size below its envelope");
  const std::string_view piece =
      flavour == ReplyFlavour::kPlain ? kPlainAnswerPiece : kEscapedAnswerPiece;
  std::string reply(kReplyHead);
  FillTo(reply, bytes - kReplyTail.size(), piece, ' ');
  reply += kReplyTail;
  return reply;
}

std::u16string LabelledAnswer(std::size_t units) {
  const std::size_t third = units / 3;
  std::u16string answer;
  answer.reserve(units);
  answer += u"Arabic: ";
  FillTo(answer, third, kArabicLine, u' ');
  answer += u"English: ";
  FillTo(answer, 2 * third, kEnglishLine, u' ');
  answer += u"German: ";
  FillTo(answer, units, kGermanLine, u' ');
  return answer;
}

std::u16string MixedInput(std::size_t units) {
  std::u16string input;
  FillTo(input, units, kMixedPiece, u' ');
  return input;
}

std::string Utf8Text(Script script, std::size_t bytes) {
  std::string text;
  FillTo(text, bytes, script == Script::kAsciiHeavy ? kAsciiHeavyPiece : kArabicHeavyPiece, ' ');
  return text;
}

}  // namespace parlivo::bench
