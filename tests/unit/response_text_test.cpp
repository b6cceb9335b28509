#include "gemini/response_text.h"

#include <gtest/gtest.h>

#include <string>

#include "common/utf8.h"

#include "case_name.h"

namespace parlivo {
namespace {

using ExtractCase = Case<std::u16string>;

class ExtractResponseTextTest : public testing::TestWithParam<ExtractCase> {};

TEST_P(ExtractResponseTextTest, FindsAndDecodesTheFirstTextMember) {
  EXPECT_EQ(ExtractResponseText(GetParam().input), GetParam().expected);
}

const std::u16string kPretty =
    u"{\n  \"candidates\": [\n    {\n      \"content\": {\n        \"parts\": [\n          {\n"
    u"            \"text\": \"Arabic: \u0628\u064A\u062A\\nEnglish: house\\nGerman: Haus\\n\"\n"
    u"          }\n        ],\n        \"role\": \"model\"\n      },\n      \"finishReason\": \"STOP\"\n"
    u"    }\n  ],\n  \"modelVersion\": \"gemini-2.5-flash-lite\"\n}\n";

INSTANTIATE_TEST_SUITE_P(
    Cases, ExtractResponseTextTest,
    testing::Values(
        ExtractCase{"PrettyPrintedReply", kPretty,
                    u"Arabic: \u0628\u064A\u062A\nEnglish: house\nGerman: Haus\n"},
        ExtractCase{"CompactReply", u"{\"parts\":[{\"text\":\"Arabic: a\"}]}", u"Arabic: a"},
        ExtractCase{"WhiteSpaceAroundColon", u"{\"text\" \r\n:\t \"v\"}", u"v"},
        ExtractCase{"FirstTextMemberOnly", u"{\"text\": \"one\"}, {\"text\": \"two\"}", u"one"},
        ExtractCase{"TextAsAValueIsNoMember", u"{\"type\": \"text\", \"x\": 1, \"text\": \"real\"}", u"real"},
        ExtractCase{"NameWithoutStringValueSkipped", u"{\"text\": 5, \"text\": \"s\"}", u"s"},
        ExtractCase{"EscapedQuote", u"{\"text\": \"say \\\"hi\\\"\"}", u"say \"hi\""},
        ExtractCase{"ShortEscapes", u"{\"text\": \"a\\tb\\r\\nc\\/d\"}", u"a\tb\r\nc/d"},
        ExtractCase{"EscapedBackslashEndsValue", u"{\"text\": \"dir\\\\\", \"next\": \"no\"}", u"dir\\"},
        ExtractCase{"EscapedBackslashThenN", u"{\"text\": \"a\\\\nb\"}", u"a\\nb"},
        ExtractCase{"UnicodeEscape", u"{\"text\": \"\\u003c\\u00e4\\u0645\"}", u"<\u00E4\u0645"},
        ExtractCase{"UpperCaseHex", u"{\"text\": \"\\u00C4\"}", u"\u00C4"},
        ExtractCase{"SurrogatePairJoined", u"{\"text\": \"\\ud83d\\ude00!\"}", u"\U0001F600!"},
        ExtractCase{"LoneHighSurrogate", u"{\"text\": \"\\ud83dx\"}", u"\uFFFDx"},
        ExtractCase{"LoneLowSurrogate", u"{\"text\": \"\\ude00\"}", u"\uFFFD"},
        ExtractCase{"HighThenHigh", u"{\"text\": \"\\ud83d\\ud83d\\ude00\"}", u"\uFFFD\U0001F600"},
        ExtractCase{"TextBetweenHighAndLow", u"{\"text\": \"\\ud83dx\\ude00\"}", u"\uFFFDx\uFFFD"},
        ExtractCase{"RemovedControlBetweenHighAndLow", u"{\"text\": \"\\ud83d\\u0001\\ude00\"}",
                    u"\uFFFD\uFFFD"},
        ExtractCase{"LowThenHigh", u"{\"text\": \"\\ude00\\ud83d\"}", u"\uFFFD\uFFFD"},
        ExtractCase{"PairThenLow", u"{\"text\": \"\\ud83d\\ude00\\ude00\"}", u"\U0001F600\uFFFD"},
        ExtractCase{"NulEscapeRemoved", u"{\"text\": \"a\\u0000b\"}", u"ab"},
        ExtractCase{"DecodedControlsRemoved", u"{\"text\": \"a\\b\\f\\u0001b\"}", u"ab"},
        ExtractCase{"RawControlsRemoved", std::u16string(u"{\"text\": \"a\0\x01\x1F\tb\"}", 17), u"a\tb"},
        ExtractCase{"MalformedEscapeStays", u"{\"text\": \"a\\qb\\u12G4\"}", u"a\\qb\\u12G4"},
        ExtractCase{"ShortUnicodeEscapeAtEnd", u"{\"text\": \"a\\u12", u"a\\u12"},
        ExtractCase{"BackslashAtEnd", u"{\"text\": \"ab\\", u"ab\\"},
        ExtractCase{"NoClosingMarkRunsToEnd", u"{\"text\": \"cut off\\nhere", u"cut off\nhere"},
        ExtractCase{"OnlyControlsGiveEmptyAnswer", u"{\"text\": \"\\u0000\"}", u""}),
    CaseName());

struct FailureCase {
  const char* name;
  std::u16string reply;
};

class ParseFailureTest : public testing::TestWithParam<FailureCase> {};

TEST_P(ParseFailureTest, ShowsTheStartOfTheRawReply) {
  const std::u16string& reply = GetParam().reply;
  EXPECT_EQ(ExtractResponseText(reply),
            u"Error: Could not parse response. Raw response: " + reply.substr(0, 200) + u"...");
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ParseFailureTest,
    testing::Values(
        FailureCase{"Empty", u""}, FailureCase{"ShorterThanNine", u"\"text\":\""},
        FailureCase{"NoMarker", u"{\"candidates\": []}"},
        FailureCase{"EmptyValue", u"{\"text\": \"\"}"},
        FailureCase{"ValueStartsAtEnd", u"{\"text\": \""},
        FailureCase{"MemberWithoutColon", u"[\"text\", \"x\"]"},
        FailureCase{"ErrorObject",
                    u"{\n  \"error\": {\n    \"code\": 400,\n    \"message\": \"API key not valid. Please "
                    u"pass a valid API key.\",\n    \"status\": \"INVALID_ARGUMENT\",\n    \"details\": "
                    u"[\n      {\n        \"@type\": \"type.googleapis.com/google.rpc.ErrorInfo\",\n "
                    u"       \"reason\": \"API_KEY_INVALID\"\n      }\n    ]\n  }\n}\n"},
        FailureCase{"HtmlPage", u"<html><body><h1>502 Bad Gateway</h1></body></html>"},
        FailureCase{"LongReply", std::u16string(5000, u'z')}),
    CaseName());

// Plain text is copied four code units at a time, and a run may stop at any
// unit of a word: values of 3-5, 7-9 and 15-17 characters with an escape, a
// control character or a character outside ASCII at each place, closed by a
// quotation mark or running to the end of the reply.
TEST(ExtractWordBoundaries, PieceAtEachPlaceOfShortValues) {
  struct Piece {
    std::u16string json;
    std::u16string decoded;
  };
  const Piece pieces[] = {
      {u"\\n", u"\n"},
      {u"\\\"", u"\""},
      {u"\\u00e4", u"\u00E4"},
      {u"\\ud83d\\ude00", u"\U0001F600"},
      {u"\x01", u""},
      {u"\u0645", u"\u0645"},
      {u"\U0001F600", u"\U0001F600"},
      {u"\xD83D", u"\xD83D"},  // a lone surrogate is copied as it stands
  };
  for (const std::size_t length : {3, 4, 5, 7, 8, 9, 15, 16, 17}) {
    for (std::size_t at = 0; at < length; ++at) {
      for (const Piece& piece : pieces) {
        const std::u16string value =
            std::u16string(at, u'a') + piece.json + std::u16string(length - at - 1, u'b');
        const std::u16string answer =
            std::u16string(at, u'a') + piece.decoded + std::u16string(length - at - 1, u'b');
        const std::u16string open = u"{\"text\": \"";
        for (const std::u16string& reply : {open + value + u"\"}", open + value}) {
          SCOPED_TRACE(testing::PrintToString(Utf16ToUtf8(reply)));
          EXPECT_EQ(ExtractResponseText(reply), answer);
        }
      }
    }
  }
}

TEST(ParseFailureText, KeepsExactlyTwoHundredUnits) {
  const std::u16string reply = std::u16string(199, u'a') + u"bc";
  const std::u16string text = ParseFailureText(reply);
  EXPECT_EQ(text.size(), 47u + 200u + 3u);
  EXPECT_EQ(text.substr(47), std::u16string(199, u'a') + u"b...");
  EXPECT_EQ(kParseFailurePrefix.size(), 47u);
}

}  // namespace
}  // namespace parlivo
