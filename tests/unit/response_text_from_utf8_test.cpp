// ExtractResponseTextFromUtf8 reads the reply's bytes straight away. Every
// case checks both the answer and that it equals what ExtractResponseText
// gives for the converted reply, which is what HttpPost used to do.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/utf8.h"
#include "gemini/response_text.h"

#include "case_name.h"

namespace parlivo {
namespace {

std::u16string ViaUtf16(const std::string& reply) {
  return ExtractResponseText(Utf8ToUtf16(reply));
}

std::u16string FailureText(std::u16string_view shown) {
  return u"Error: Could not parse response. Raw response: " + std::u16string(shown) + u"...";
}

std::string Repeat(std::string_view piece, std::size_t count) {
  std::string text;
  for (std::size_t i = 0; i < count; ++i) text += piece;
  return text;
}

using BytesCase = Case<std::string>;

class FromUtf8Test : public testing::TestWithParam<BytesCase> {};

TEST_P(FromUtf8Test, MatchesTheAnswerOfTheConvertedReply) {
  const BytesCase& c = GetParam();
  EXPECT_EQ(ExtractResponseTextFromUtf8(c.input), c.expected);
  EXPECT_EQ(ViaUtf16(c.input), c.expected);
}

const std::string kOpen = "{\"text\": \"";

INSTANTIATE_TEST_SUITE_P(
    Answers, FromUtf8Test,
    testing::Values(
        BytesCase{"Arabic", kOpen + "\xD8\xA8\xD9\x8A\xD8\xAA\"}", u"\u0628\u064A\u062A"},
        BytesCase{"AllSequenceLengths", kOpen + "a\xC3\xA4\xE2\x82\xAC\xF0\x9F\x98\x80\"}",
                  u"a\u00E4\u20AC\U0001F600"},
        BytesCase{"FourBytesCutByClosingQuote", kOpen + "\xF0\x9F\x98\"}", u"\uFFFD"},
        BytesCase{"ThreeBytesCutByClosingQuote", kOpen + "ab\xE2\x82\", \"x\": 1}", u"ab\uFFFD"},
        BytesCase{"ContinuationRightAfterOpeningQuote", kOpen + "\x80z\"}", u"\uFFFDz"},
        BytesCase{"CutSequenceBeforeBackslash", kOpen + "\xE2\\n\"}", u"\uFFFD\n"},
        BytesCase{"CutSequenceBeforeEscapedQuote", kOpen + "\xF0\x9F\\\"\"}", u"\uFFFD\""},
        BytesCase{"BackslashBeforeNonAscii", kOpen + "a\\\xC3\xA4\"}", u"a\\\u00E4"},
        BytesCase{"BackslashBeforeCutSequence", kOpen + "\\\xE2\x82\"}", u"\\\uFFFD"},
        BytesCase{"OverlongForms", kOpen + "\xC0\xAF\xE0\x80\xAF\"}",
                  u"\uFFFD\uFFFD\uFFFD\uFFFD\uFFFD"},
        BytesCase{"EncodedSurrogate", kOpen + "\xED\xA0\x80\"}", u"\uFFFD\uFFFD\uFFFD"},
        BytesCase{"BeyondUnicode", kOpen + "\xF4\x90\x80\x80\"}", u"\uFFFD\uFFFD\uFFFD\uFFFD"},
        BytesCase{"InvalidBytes", kOpen + "\xFF\xFE\xC1\"}", u"\uFFFD\uFFFD\uFFFD"},
        BytesCase{"EscapeNextToRawCharacter", kOpen + "\\u0645\xD9\x85\\u0645\"}",
                  u"\u0645\u0645\u0645"},
        BytesCase{"EscapedHighThenRawCharacter", kOpen + "\\ud83d\xC3\xA4\"}", u"\uFFFD\u00E4"},
        BytesCase{"RawPairThenEscapedLow", kOpen + "\xF0\x9F\x98\x80\\ude00\"}",
                  u"\U0001F600\uFFFD"},
        BytesCase{"EscapedPairAroundNothing", kOpen + "\\ud83d\\ude00\xC3\xA4\"}",
                  u"\U0001F600\u00E4"},
        BytesCase{"ControlAfterNonAscii", kOpen + "\xC3\xA4\x01\x1F\tb\"}", u"\u00E4\tb"},
        BytesCase{"CutOffInsideSequence", kOpen + "ab\xF0\x9F", u"ab\uFFFD"},
        BytesCase{"MalformedBytesBeforeMarker", "\xFF\xE2\x82{\"text\": \"v\"}", u"v"},
        BytesCase{"NonAsciiWhiteSpaceIsNoWhiteSpace",
                  "{\"text\":\xC2\xA0\"no\", \"text\": \"yes\"}", u"yes"},
        BytesCase{"NineBytesNineUnits", "\"text\":\"\xE2", u"\uFFFD"},
        BytesCase{"ElevenBytesNineUnits", "\"text\":\"\xE2\x82\xAC", u"\u20AC"}),
    CaseName());

INSTANTIATE_TEST_SUITE_P(
    Failures, FromUtf8Test,
    testing::Values(
        BytesCase{"Empty", "", FailureText(u"")},
        BytesCase{"MarkerWithoutValue", "\"text\":\"", FailureText(u"\"text\":\"")},
        BytesCase{"NineBytesThreeUnits", "\xE2\x82\xAC\xE2\x82\xAC\xE2\x82\xAC",
                  FailureText(u"\u20AC\u20AC\u20AC")},
        BytesCase{"MalformedWithoutMarker", std::string("\xFF\xFE") + "abc\xE2\x82",
                  FailureText(u"\uFFFD\uFFFDabc\uFFFD")},
        BytesCase{"NameBrokenByNonAscii", "{\"te\xC3\xA4xt\": \"v\"}",
                  FailureText(u"{\"te\u00E4xt\": \"v\"}")},
        BytesCase{"EmptyValueAfterNonAscii", "\xC3\xA4{\"text\": \"\"}",
                  FailureText(u"\u00E4{\"text\": \"\"}")},
        // The 200th code unit is the first half of a surrogate pair.
        BytesCase{"TwoHundredUnitsEndInsideCharacter", std::string(199, 'a') + "\xF0\x9F\x98\x80zz",
                  FailureText(std::u16string(199, u'a') + u"\xD83D")},
        BytesCase{"TwoHundredUnitsEndInsideThreeBytes",
                  Repeat("\xE2\x82\xAC", 199) + "\xF0\x9F\x98\x80x",
                  FailureText(std::u16string(199, u'\u20AC') + u"\xD83D")},
        BytesCase{"ThreeBytesPerUnit", Repeat("\xE2\x82\xAC", 250),
                  FailureText(std::u16string(200, u'\u20AC'))},
        BytesCase{"ThreeBytesPerUnitThenCutPair", Repeat("\xE2\x82\xAC", 200) + "\xF0\x9F\x98\x80",
                  FailureText(std::u16string(200, u'\u20AC'))},
        BytesCase{"LongAscii", std::string(5000, 'z'), FailureText(std::u16string(200, u'z'))}),
    CaseName());

// A piece of the value as it stands in the reply's bytes, and what it
// becomes in the answer.
struct Piece {
  std::string bytes;
  std::u16string decoded;
};

const std::vector<Piece> kPieces = {
    {"\\n", u"\n"},
    {"\\\"", u"\""},
    {"\\u00e4", u"\u00E4"},
    {"\\ud83d\\ude00", u"\U0001F600"},
    {"\x01", u""},
    {"\xC3\xA4", u"\u00E4"},
    {"\xE2\x82\xAC", u"\u20AC"},
    {"\xF0\x9F\x98\x80", u"\U0001F600"},
    {"\xE2\x82", u"\uFFFD"},  // a sequence cut by the ASCII byte after it
    {"\xFF", u"\uFFFD"},
};

// Plain text is copied eight bytes at a time, and a run may stop at any byte
// of a word: values of 3-5, 7-9 and 15-17 characters with a piece at each
// place, closed by a quotation mark or running to the end of the reply.
TEST(FromUtf8WordBoundaries, PieceAtEachPlaceOfShortValues) {
  for (const std::size_t length : {3, 4, 5, 7, 8, 9, 15, 16, 17}) {
    for (std::size_t at = 0; at < length; ++at) {
      for (const Piece& piece : kPieces) {
        const std::string value =
            std::string(at, 'a') + piece.bytes + std::string(length - at - 1, 'b');
        const std::u16string answer =
            std::u16string(at, u'a') + piece.decoded + std::u16string(length - at - 1, u'b');
        for (const std::string& reply : {kOpen + value + "\"}", kOpen + value}) {
          SCOPED_TRACE(testing::PrintToString(reply));
          EXPECT_EQ(ExtractResponseTextFromUtf8(reply), answer);
          EXPECT_EQ(ViaUtf16(reply), answer);
        }
      }
    }
  }
}

}  // namespace
}  // namespace parlivo
