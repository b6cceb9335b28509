#include "common/utf8.h"

#include <gtest/gtest.h>

#include "case_name.h"

namespace parlivo {
namespace {

using DecodeCase = Case<std::string>;

class Utf8DecodeTest : public testing::TestWithParam<DecodeCase> {};

TEST_P(Utf8DecodeTest, ConvertsWithoutStopping) {
  EXPECT_EQ(Utf8ToUtf16(GetParam().input), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, Utf8DecodeTest,
    testing::Values(
        DecodeCase{"Empty", "", u""}, DecodeCase{"Ascii", "abc", u"abc"},
        DecodeCase{"TwoBytes", "\xC3\xA4", u"\u00E4"},
        DecodeCase{"Arabic", "\xD9\x85\xD8\xB1\xD8\xAD\xD8\xA8\xD8\xA7", u"\u0645\u0631\u062D\u0628\u0627"},
        DecodeCase{"ThreeBytes", "\xE2\x82\xAC", u"\u20AC"},
        DecodeCase{"FourBytesBecomePair", "\xF0\x9F\x98\x80", u"\U0001F600"},
        DecodeCase{"NulIsKept", std::string("a\0b", 3), std::u16string(u"a\0b", 3)},
        DecodeCase{"LoneContinuation", "a\x80z", u"a\uFFFDz"},
        DecodeCase{"InvalidLeadBytes", "\xC0\xC1\xF5\xFF", u"\uFFFD\uFFFD\uFFFD\uFFFD"},
        DecodeCase{"OverlongThreeBytes", "\xE0\x80\xAF", u"\uFFFD\uFFFD\uFFFD"},
        DecodeCase{"EncodedSurrogate", "\xED\xA0\x80", u"\uFFFD\uFFFD\uFFFD"},
        DecodeCase{"BeyondUnicode", "\xF4\x90\x80\x80", u"\uFFFD\uFFFD\uFFFD\uFFFD"},
        // A truncated sequence is one maximal subpart: one replacement.
        DecodeCase{"TruncatedThenAscii", "\xE2\x82z", u"\uFFFDz"},
        DecodeCase{"TruncatedAtEnd", "ok\xF0\x9F\x98", u"ok\uFFFD"},
        DecodeCase{"TruncatedThenLead", "\xE2\xC3\xA4", u"\uFFFD\u00E4"}),
    CaseName());

// ASCII is widened sixteen bytes at a time, and a block may hold the start
// of a multi-byte sequence at any place: texts of 3-5, 7-9, 15-17 and 31-33
// characters with one such piece at each place.
TEST(Utf8DecodeBlocks, PieceAtEachPlaceOfShortTexts) {
  struct Piece {
    std::string bytes;
    std::u16string units;
  };
  const Piece pieces[] = {
      {"\xC3\xA4", u"\u00E4"},
      {"\xE2\x82\xAC", u"\u20AC"},
      {"\xF0\x9F\x98\x80", u"\U0001F600"},
      {"\xE2\x82", u"\uFFFD"},  // cut by the ASCII byte after it, or by the end
      {"\xC0\xAF", u"\uFFFD\uFFFD"},
      {"\xFF", u"\uFFFD"},
  };
  for (const std::size_t length : {3, 4, 5, 7, 8, 9, 15, 16, 17, 31, 32, 33}) {
    for (std::size_t at = 0; at < length; ++at) {
      for (const Piece& piece : pieces) {
        const std::size_t after = length - at - 1;
        const std::string bytes = std::string(at, 'a') + piece.bytes + std::string(after, 'b');
        SCOPED_TRACE(testing::PrintToString(bytes));
        EXPECT_EQ(Utf8ToUtf16(bytes),
                  std::u16string(at, u'a') + piece.units + std::u16string(after, u'b'));
      }
    }
  }
}

struct RunCase {
  const char* name;
  std::string bytes;
  std::size_t pos;
  std::u16string units;
  std::size_t end;
};

class DecodeNonAsciiRunTest : public testing::TestWithParam<RunCase> {};

TEST_P(DecodeNonAsciiRunTest, DecodesUpToTheNextAsciiByte) {
  const RunCase& c = GetParam();
  std::u16string dest(c.bytes.size(), u'\0');
  const Utf8DecodeEnd end = DecodeNonAsciiRun(c.bytes, c.pos, dest.data());
  EXPECT_EQ(end.pos, c.end);
  dest.resize(static_cast<std::size_t>(end.dest - dest.data()));
  EXPECT_EQ(dest, c.units);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, DecodeNonAsciiRunTest,
    testing::Values(
        RunCase{"AsciiAtStart", "ab", 0, u"", 0}, RunCase{"AtEnd", "ab", 2, u"", 2},
        RunCase{"StopsAtAscii", "x\xC3\xA4\xE2\x82\xAC\"y", 1, u"\u00E4\u20AC", 6},
        RunCase{"RunsToTheEnd", "\xF0\x9F\x98\x80\xD9\x85", 0, u"\U0001F600\u0645", 6},
        RunCase{"CutSequenceBeforeAscii", "\xF0\x9F\x98\"", 0, u"\uFFFD", 3},
        RunCase{"CutSequenceAtEnd", "\xE2\x82", 0, u"\uFFFD", 2},
        RunCase{"EachIllFormedPieceOnce", "\xE2\x82\xC3\xA4\x80\xED\xA0\x80!", 0,
                u"\uFFFD\u00E4\uFFFD\uFFFD\uFFFD\uFFFD", 8}),
    CaseName());

using EncodeCase = Case<std::u16string, std::string>;

class Utf8EncodeTest : public testing::TestWithParam<EncodeCase> {};

TEST_P(Utf8EncodeTest, ConvertsWithoutStopping) {
  EXPECT_EQ(Utf16ToUtf8(GetParam().input), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, Utf8EncodeTest,
    testing::Values(EncodeCase{"Empty", u"", ""}, EncodeCase{"Ascii", u"a\"b", "a\"b"},
                    EncodeCase{"TwoBytes", u"\u00DF", "\xC3\x9F"},
                    EncodeCase{"ThreeBytes", u"\uFEFF", "\xEF\xBB\xBF"},
                    EncodeCase{"PairBecomesFourBytes", u"\U0001F600", "\xF0\x9F\x98\x80"},
                    EncodeCase{"LoneHigh", u"a\xD83D" u"b", "a\xEF\xBF\xBD" "b"},
                    EncodeCase{"LoneLow", u"\xDE00", "\xEF\xBF\xBD"},
                    EncodeCase{"SwappedPair", u"\xDE00\xD83D", "\xEF\xBF\xBD\xEF\xBF\xBD"}),
    CaseName());

TEST(Utf8RoundTrip, EveryCodePointSurvives) {
  std::u16string all;
  for (char32_t cp = 0; cp <= 0x10FFFF; ++cp) {
    if (cp >= 0xD800 && cp <= 0xDFFF) continue;
    if (cp < 0x10000) {
      all.push_back(static_cast<char16_t>(cp));
    } else {
      all.push_back(static_cast<char16_t>(0xD800 + ((cp - 0x10000) >> 10)));
      all.push_back(static_cast<char16_t>(0xDC00 + ((cp - 0x10000) & 0x3FF)));
    }
  }
  EXPECT_EQ(Utf8ToUtf16(Utf16ToUtf8(all)), all);
}

}  // namespace
}  // namespace parlivo
