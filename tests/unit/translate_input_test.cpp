#include "translate/translate_input.h"

#include <gtest/gtest.h>

#include <string>

#include "case_name.h"

namespace parlivo {
namespace {

using Verdict = TranslateInput::Verdict;

using InputCase = Case<std::u16string, TranslateInput>;

class CheckTranslateInputTest : public testing::TestWithParam<InputCase> {};

TEST_P(CheckTranslateInputTest, TrimsThenRefusesEmptyBeforeTooLong) {
  const TranslateInput input = CheckTranslateInput(GetParam().input);
  EXPECT_EQ(input.verdict, GetParam().expected.verdict);
  EXPECT_EQ(input.trimmed, GetParam().expected.trimmed);
}

const std::u16string kMax(10000, u'w');

INSTANTIATE_TEST_SUITE_P(
    Cases, CheckTranslateInputTest,
    testing::Values(
        InputCase{"Empty", u"", {Verdict::kEmpty, u""}},
        InputCase{"BlanksAndTabs", u" \t \t", {Verdict::kEmpty, u""}},
        InputCase{"Word", u"  Haus\t", {Verdict::kSend, u"Haus"}},
        InputCase{"LineBreaksAreText", u"\r\n", {Verdict::kSend, u"\r\n"}},
        InputCase{"LineBreaksWithBlanks", u" \r\n \r\n ", {Verdict::kSend, u"\r\n \r\n"}},
        InputCase{"ExactlyTheLimit", kMax, {Verdict::kSend, kMax}},
        InputCase{"LimitWithOuterBlanks", u"  " + kMax + u"\t", {Verdict::kSend, kMax}},
        InputCase{"OneOverTheLimit", kMax + u"w", {Verdict::kTooLong, kMax + u"w"}},
        InputCase{"PairCountsTwice", std::u16string(9999, u'w') + u"\U0001F600",
                  {Verdict::kTooLong, std::u16string(9999, u'w') + u"\U0001F600"}}),
    CaseName());

TEST(WarningTexts, AreTheProgramsOwn) {
  EXPECT_EQ(kEmptyInputText,
            u"Please enter some text to translate.\n\nEmpty or whitespace-only text cannot be translated.");
  EXPECT_EQ(kTooLongText, u"Text is too long. Please use shorter text (maximum 10,000 characters).");
}

TEST(DebugPreviewLine, ShowsAtMostOneHundredUnits) {
  const std::u16string hundred(100, u'a');
  EXPECT_EQ(DebugPreviewLine(u"Haus"), u"Debug - Text being sent: Haus");
  EXPECT_EQ(DebugPreviewLine(hundred), u"Debug - Text being sent: " + hundred);
  EXPECT_EQ(DebugPreviewLine(hundred + u"b"), u"Debug - Text being sent: " + hundred + u"...");
  EXPECT_EQ(DebugPreviewLine(u"a\r\nb"), u"Debug - Text being sent: a\r\nb");
}

TEST(TranslationFailedText, DecodesTheUtf8Message) {
  EXPECT_EQ(TranslationFailedText("invalid string position"),
            u"Translation failed: invalid string position");
  EXPECT_EQ(TranslationFailedText("caf\xC3\xA9 \xFF"), u"Translation failed: caf\u00E9 \uFFFD");
}

}  // namespace
}  // namespace parlivo
