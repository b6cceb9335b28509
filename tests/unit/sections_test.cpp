#include "translate/sections.h"

#include <gtest/gtest.h>

#include <string>

#include "translate/display_plan.h"

#include "case_name.h"

namespace parlivo {
namespace {

using CutCase = Case<std::u16string, BoxTexts>;

class CutAnswerTest : public testing::TestWithParam<CutCase> {};

TEST_P(CutAnswerTest, FillsTheThreeBoxes) {
  const BoxTexts boxes = CutAnswer(GetParam().input);
  EXPECT_EQ(boxes.arabic, GetParam().expected.arabic);
  EXPECT_EQ(boxes.english, GetParam().expected.english);
  EXPECT_EQ(boxes.german, GetParam().expected.german);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, CutAnswerTest,
    testing::Values(
        CutCase{"OneLine", u"Arabic: a English: b German: c", {u"a", u"b", u"c"}},
        CutCase{"CrLfLines", u"Arabic: a\r\nEnglish: b\r\nGerman: c\r\n", {u"a", u"b", u"c"}},
        CutCase{"LabelAloneOnItsLine", u"Arabic:\nxyz\nEnglish: b", {u"\nxyz", u"b", u""}},
        CutCase{"SectionRunsAcrossLines", u"Arabic: a\n\nnote\nEnglish: b\nGerman: c",
                {u"a\n\nnote", u"b", u"c"}},
        CutCase{"OutOfOrder", u"Arabic: a German: c English: b", {u"a", u"b", u""}},
        CutCase{"TextBeforeFirstLabel", u"English: x Arabic: a English: b German: c", {u"a", u"b", u"c"}},
        CutCase{"GluedLabel", u"Arabic: aEnglish: b German: c", {u"aEnglish: b", u"", u"c"}},
        CutCase{"WrappedLabels", u"**Arabic:** a\n**English:** b\n**German:** c",
                {u"** a\n**English:** b\n**German:** c", u"", u""}},
        CutCase{"RepeatedLabel", u"Arabic: a\nArabic: z\nEnglish: b", {u"a\nArabic: z", u"b", u""}},
        CutCase{"LineFallback", u"See Arabic: English:\nArabic: foo", {u"foo", u"", u""}},
        CutCase{"LineFallbackKeepsCr", u"See Arabic: English:\r\nArabic: foo\r\n", {u"foo\r", u"", u""}},
        CutCase{"LineFallbackLaterLineOverwrites",
                u"German: Arabic:\nGerman: one\nGerman:\ttwo \n", {u"", u"", u"two"}},
        CutCase{"BlankBeforeColonIsNoLabel", u"Arabic :a", {u"", u"", u""}},
        CutCase{"InvisibleOnlySectionStillMovesStart", u"Arabic:\u200F English: b", {u"", u"b", u""}},
        CutCase{"TrimBeforeCleaning", u"Arabic: a \u200F\nEnglish: b", {u"a ", u"b", u""}},
        CutCase{"ErrorAsAnswerWord", u"Arabic: Error", {u"Error", u"", u""}},
        CutCase{"Empty", u"", {u"", u"", u""}},
        CutCase{"NonLatinScripts",
                u"Arabic: \u0645\u0631\u062D\u0628\u0627\nEnglish: hello, hi\nGerman: hallo, servus",
                {u"\u0645\u0631\u062D\u0628\u0627", u"hello, hi", u"hallo, servus"}},
        CutCase{"InvisiblesRemovedInside", u"Arabic: \u202Ba\u202C\uFEFF\x01 English: b\u2066",
                {u"a", u"b", u""}}),
    CaseName());

TEST(ExtractSection, ReportsWhereTheSectionStops) {
  const std::u16string text = u"Arabic: a \nEnglish: b";
  const Section arabic = ExtractSection(text, u"Arabic", 0);
  EXPECT_EQ(arabic.content, u"a");
  EXPECT_EQ(arabic.endPos, 11u);  // the next label, not the trimmed end
  const Section english = ExtractSection(text, u"English", arabic.endPos);
  EXPECT_EQ(english.content, u"b");
  EXPECT_EQ(english.endPos, text.size());
}

TEST(ExtractSection, AbsentLabelGivesNpos) {
  for (const std::size_t start : {std::size_t{0}, std::size_t{3}, std::size_t{100}}) {
    const Section s = ExtractSection(u"German: x", u"Arabic", start);
    EXPECT_TRUE(s.content.empty());
    EXPECT_EQ(s.endPos, std::u16string::npos);
  }
  const Section past = ExtractSection(u"Arabic: x", u"Arabic", 3);
  EXPECT_EQ(past.endPos, std::u16string::npos);
}

TEST(ExtractSection, LabelAtTheVeryEndGivesEmptyContentAndItsEnd) {
  const Section s = ExtractSection(u"Arabic:", u"Arabic", 0);
  EXPECT_TRUE(s.content.empty());
  EXPECT_EQ(s.endPos, 7u);
}

TEST(StripInvisibleChars, RemovesExactlyTheInvisibleSet) {
  std::u16string removed;
  for (char16_t c = 0; c < 0x20; ++c) {
    if (c != u'\t' && c != u'\n' && c != u'\r') removed.push_back(c);
  }
  removed += u"\u200B\u200C\u200D\u200E\u200F\u202A\u202B\u202C\u202D\u202E\u2066\u2067\u2068\u2069\uFEFF";
  const std::u16string kept = u"\t\n\r \x7F\x80\x9F\u00A0\u200A\u2010\u2029\u202F\u2065\u206A\uFEFE\uFFFD";
  EXPECT_EQ(StripInvisibleChars(removed + kept + removed), kept);
}

struct ErrorCase {
  std::u16string result;
  bool isError;
};

class DisplayPlanTest : public testing::TestWithParam<ErrorCase> {};

TEST_P(DisplayPlanTest, ErrorResultsGoToAMessageBox) {
  EXPECT_EQ(IsErrorResult(GetParam().result), GetParam().isError);
  EXPECT_EQ(PlanDisplay(GetParam().result).has_value(), !GetParam().isError);
}

INSTANTIATE_TEST_SUITE_P(Cases, DisplayPlanTest,
                         testing::Values(ErrorCase{u"Error: Failed to parse URL", true},
                                         ErrorCase{u"Error", true}, ErrorCase{u"Errors galore", true},
                                         ErrorCase{u"Erro", false}, ErrorCase{u"error: x", false},
                                         ErrorCase{u" Error", false}, ErrorCase{u"", false},
                                         ErrorCase{u"Arabic: Error", false}));

TEST(DisplayPlan, EmptyResultClearsAllBoxes) {
  const auto plan = PlanDisplay(u"");
  ASSERT_TRUE(plan.has_value());
  EXPECT_EQ(plan->arabic + plan->english + plan->german, u"");
}

}  // namespace
}  // namespace parlivo
