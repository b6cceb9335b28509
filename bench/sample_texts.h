#pragma once

#include <cstddef>
#include <string>

namespace parlivo::bench {

// How the answer inside a reply is written.
enum class ReplyFlavour {
  kPlain,    // Latin text that needs no escape at all
  kEscaped,  // Arabic and Latin text dense with \n, \" and \uXXXX escapes
};

// A pretty-printed generateContent reply (candidates, content, parts, text,
// role, finishReason, usageMetadata) of exactly `bytes` UTF-8 bytes: the
// answer is repeated and padded with blanks until the reply has that size.
std::string GeminiReply(ReplyFlavour flavour, std::size_t bytes);

// An answer laid out as "Arabic: ...\nEnglish: ...\nGerman: ...", each
// section a third of `units` code units long and made of several lines; the
// Arabic lines carry right-to-left marks and zero-width joiners.
std::u16string LabelledAnswer(std::size_t units);

// User input of exactly `units` code units mixing Latin and Arabic words with
// quotation marks, backslashes and CR LF line breaks.
std::u16string MixedInput(std::size_t units);

enum class Script { kAsciiHeavy, kArabicHeavy };

// Running text of exactly `bytes` UTF-8 bytes.
std::string Utf8Text(Script script, std::size_t bytes);

}  // namespace parlivo::bench
