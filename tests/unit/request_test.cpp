#include "gemini/request.h"

#include <gtest/gtest.h>

#include <new>
#include <stdexcept>
#include <string>

#include "fake_transport.h"
#include "gemini/response_text.h"
#include "gemini/translate_text.h"

#include "case_name.h"

namespace parlivo {
namespace {

constexpr std::u16string_view kPromptTail =
    u"' to Arabic, English, and German use (Du). Keep answers plain text and short and practical, "
    u"with 2-3 meanings separated by commas if important (no extra text) . Format: Arabic: <text> "
    u"English: <text> German: <text>";

TEST(RequestUrl, HasTheQueryShapeWithAnEmptyFirstParameter) {
  EXPECT_EQ(BuildRequestUrl({u"KEY-1234567", u"gemini-2.5-flash-lite"}),
            u"https://generativelanguage.googleapis.com/v1beta/models/gemini-2.5-flash-lite"
            u":generateContent?&key=KEY-1234567");
}

TEST(RequestUrl, InsertsValuesUnencodedAndLeavesEmptyPlacesEmpty) {
  EXPECT_EQ(BuildRequestUrl({u"", u""}),
            u"https://generativelanguage.googleapis.com/v1beta/models/:generateContent?&key=");
  EXPECT_EQ(BuildRequestUrl({u"a&b c", u"my model/x"}),
            u"https://generativelanguage.googleapis.com/v1beta/models/my model/x:generateContent?&key=a&b c");
}

TEST(RequestBody, IsByteExactAroundTheEscapedText) {
  const std::u16string body = BuildRequestBody(u"Haus");
  EXPECT_EQ(body, std::u16string(u"{\"contents\":[{\"role\":\"user\",\"parts\":[{\"text\":\"Translate 'Haus") +
                      std::u16string(kPromptTail) + u"\"}]}]}");
}

TEST(RequestBody, FixedPartsAreTwoHundredSeventySevenUnits) {
  EXPECT_EQ(BuildRequestBody(u"").size(), 277u);
  EXPECT_EQ(BuildRequestBody(u"a\"b").size(), 277u + 4u);
}

TEST(RequestBody, ApostrophesStayUnescaped) {
  EXPECT_NE(BuildRequestBody(u"it's").find(u"Translate 'it's' to Arabic"), std::u16string::npos);
}

using EscapeCase = Case<std::u16string>;

class EscapeJsonTest : public testing::TestWithParam<EscapeCase> {};

TEST_P(EscapeJsonTest, ProducesAValidJsonStringContent) {
  EXPECT_EQ(EscapeJson(GetParam().input), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, EscapeJsonTest,
    testing::Values(
        EscapeCase{"Empty", u"", u""},
        EscapeCase{"QuoteAndBackslash", u"a\"b\\c", u"a\\\"b\\\\c"},
        EscapeCase{"ShortEscapes", u"\b\t\n\f\r", u"\\b\\t\\n\\f\\r"},
        EscapeCase{"CrLf", u"x\r\ny", u"x\\r\\ny"},
        EscapeCase{"OtherControlsAsHex", std::u16string(u"\0\x01\x0B\x0E\x1F", 5), u"\\u0000\\u0001\\u000b\\u000e\\u001f"},
        EscapeCase{"SolidusAndDeleteStay", u"a/b\x7F", u"a/b\x7F"},
        EscapeCase{"NonAsciiStays", u"\u0645\u00E4\u20AC", u"\u0645\u00E4\u20AC"},
        EscapeCase{"SurrogatePairStays", u"\U0001F600", u"\U0001F600"},
        EscapeCase{"ApostropheStays", u"it's", u"it's"}),
    CaseName());

TEST(EscapeJson, EveryCodeUnitSurvivesAnEscapeAndDecodeRoundTrip) {
  // The reply decoder drops control characters by design, so the round trip
  // is checked on the units it keeps, and separately for the controls.
  std::u16string kept;
  for (char32_t unit = 0x20; unit <= 0xFFFF; ++unit) {
    if (unit >= 0xD800 && unit <= 0xDFFF) continue;
    kept.push_back(static_cast<char16_t>(unit));
  }
  kept += u"\t\n\r";
  const std::u16string reply = u"{\"text\": \"" + EscapeJson(kept) + u"\"}";
  EXPECT_EQ(ExtractResponseText(reply), kept);
}

TEST(EscapeJson, NoRawControlCharacterLeavesIt) {
  for (char16_t unit = 0; unit < 0x20; ++unit) {
    const std::u16string escaped = EscapeJson(std::u16string(1, unit));
    ASSERT_EQ(escaped.front(), u'\\') << int(unit);
    for (const char16_t c : escaped) EXPECT_GE(c, 0x20) << int(unit);
  }
}

TEST(TranslateText, PostsTheComposedRequestAndReturnsTheAnswer) {
  FakeTransport transport;
  transport.chunks = {R"({"candidates": [{"content": {"parts": [{"text": "Arabic: \u0628 English: b German: c\n"}]}}]})"};
  const Settings settings{u"KEY-1234567", u"gemini-2.5-flash-lite"};
  EXPECT_EQ(TranslateText(u"b\"", settings, transport), u"Arabic: \u0628 English: b German: c\n");
  EXPECT_EQ(transport.crackedUrl, BuildRequestUrl(settings));
  std::string expectedBody;
  for (const char16_t c : BuildRequestBody(u"b\"")) expectedBody.push_back(static_cast<char>(c));
  EXPECT_EQ(transport.sentBody, expectedBody);
}

TEST(TranslateText, ErrorTextsPassThroughUnchanged) {
  FakeTransport transport;
  transport.failing = {FakeTransport::Step::kSend};
  EXPECT_EQ(TranslateText(u"x", {u"k", u"m"}, transport), u"Error: Failed to send request");
}

// A transport whose session step throws what the test asks for.
class ThrowingTransport final : public HttpTransport {
 public:
  explicit ThrowingTransport(int kind) : kind_(kind) {}
  HttpHandle OpenSession(std::u16string_view) override {
    if (kind_ == 0) throw std::length_error("basic_string::_M_create \xC3\xA4");
    if (kind_ == 1) throw std::bad_alloc();
    throw 42;
  }
  bool CrackUrl(std::u16string_view, UrlParts&) override { return false; }
  HttpHandle Connect(HttpHandle, std::u16string_view, std::uint16_t) override { return nullptr; }
  HttpHandle OpenRequest(HttpHandle, std::u16string_view, std::u16string_view) override { return nullptr; }
  bool AddHeader(HttpHandle, std::u16string_view) override { return false; }
  bool Send(HttpHandle, std::string_view) override { return false; }
  bool ReceiveResponse(HttpHandle) override { return false; }
  bool QueryDataAvailable(HttpHandle, std::uint32_t&) override { return false; }
  bool ReadData(HttpHandle, char*, std::uint32_t, std::uint32_t&) override { return false; }
  void Close(HttpHandle) override {}

 private:
  int kind_;
};

TEST(TranslateText, TurnsExceptionsIntoErrorTexts) {
  ThrowingTransport standard(0);
  EXPECT_EQ(TranslateText(u"x", {}, standard), u"Error: basic_string::_M_create \u00E4");
  ThrowingTransport memory(1);
  EXPECT_EQ(TranslateText(u"x", {}, memory), u"Error: std::bad_alloc");
  ThrowingTransport other(2);
  EXPECT_EQ(TranslateText(u"x", {}, other),
            u"Error: Unexpected error occurred during translation request.");
}

}  // namespace
}  // namespace parlivo
