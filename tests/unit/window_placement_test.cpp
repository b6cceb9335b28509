#include "app/window_placement.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "case_name.h"

namespace parlivo {
namespace {

using PosCase = Case<std::u16string, std::optional<Point>>;

class ParsePosOptionTest : public testing::TestWithParam<PosCase> {};

TEST_P(ParsePosOptionTest, ReadsTwoSignedIntegers) {
  EXPECT_EQ(ParsePosOption(GetParam().input), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ParsePosOptionTest,
    testing::Values(
        PosCase{"Absent", u"\"C:\\Parlivo.exe\"", std::nullopt},
        PosCase{"Plain", u"Parlivo.exe --pos 100 200", Point{100, 200}},
        PosCase{"NegativeNotClamped", u"Parlivo.exe --pos -50 7", Point{-50, 7}},
        PosCase{"PlusSignAndTabs", u"x --pos\t+5\t\t6", Point{5, 6}},
        PosCase{"NoBlankNeeded", u"x --pos12 34", Point{12, 34}},
        PosCase{"TrailingTextIgnored", u"x --pos 1 2abc", Point{1, 2}},
        PosCase{"OneNumber", u"x --pos 100", std::nullopt},
        PosCase{"NoNumber", u"x --pos", std::nullopt},
        PosCase{"NotANumber", u"x --pos a 1", std::nullopt},
        PosCase{"SignWithoutDigits", u"x --pos - 1 2", std::nullopt},
        PosCase{"FirstOccurrenceCounts", u"x --pos 1 y --pos 3 4", std::nullopt},
        PosCase{"InsideTheProgramPath", u"C:\\a--pos 7 8\\Parlivo.exe", Point{7, 8}},
        PosCase{"IntLimits", u"x --pos -2147483648 2147483647", Point{-2147483647 - 1, 2147483647}},
        PosCase{"BeyondIntRefused", u"x --pos 2147483648 1", std::nullopt}),
    CaseName());

TEST(CenteredPosition, TruncatesTowardZero) {
  EXPECT_EQ(CenteredPosition(1920, 1080), (Point{735, 350}));
  EXPECT_EQ(CenteredPosition(1281, 1025), (Point{415, 322}));
  EXPECT_EQ(CenteredPosition(400, 300), (Point{-25, -40}));
}

struct NewWindowCase {
  const char* name;
  Rect current;
  int firstDraw;
  int secondDraw;
  int screenWidth;
  int screenHeight;
  Point expected;
};

class NewWindowPositionTest : public testing::TestWithParam<NewWindowCase> {};

TEST_P(NewWindowPositionTest, OpensUpAndLeftWithinTheScreen) {
  const NewWindowCase& c = GetParam();
  EXPECT_EQ(NewWindowPosition(c.current, c.firstDraw, c.secondDraw, c.screenWidth, c.screenHeight),
            c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, NewWindowPositionTest,
    testing::Values(
        NewWindowCase{"Offsets30And80", {100, 100, 550, 480}, 0, 50, 1920, 1080, {70, 20}},
        NewWindowCase{"DrawsWrapAt51", {200, 200, 650, 580}, 51, 101, 1920, 1080, {170, 120}},
        NewWindowCase{"NegativeBecomes20", {10, 10, 460, 390}, 7, 9, 1920, 1080, {20, 20}},
        NewWindowCase{"RightEdge", {1800, 100, 2250, 480}, 0, 0, 1920, 1080, {1450, 70}},
        NewWindowCase{"BottomEdge", {100, 1000, 550, 1380}, 0, 0, 1920, 1080, {70, 680}},
        NewWindowCase{"ExactBoundStays", {1500, 730, 1950, 1110}, 0, 0, 1920, 1080, {1470, 700}},
        NewWindowCase{"TinyScreenGoesNegative", {10, 10, 460, 390}, 0, 0, 460, 390, {-10, -10}},
        NewWindowCase{"MaxRandValue", {500, 500, 950, 880}, 32767, 32767, 1920, 1080, {445, 445}}),
    CaseName());

TEST(NewWindowCommandLine, FormatsBothCoordinates) {
  EXPECT_EQ(NewWindowCommandLine({70, 20}), u"Parlivo.exe --pos 70 20");
  EXPECT_EQ(NewWindowCommandLine({-10, 1450}), u"Parlivo.exe --pos -10 1450");
  EXPECT_EQ(ParsePosOption(NewWindowCommandLine({-7, 9})), (Point{-7, 9}));
}

TEST(CenterOver, UsesSignedTruncatingDivision) {
  EXPECT_EQ(CenterOver({735, 350, 1185, 730}, {0, 0, 321, 190}), (Point{799, 445}));
  // Dialog wider than the window: -129 / 2 is -64, not -65.
  EXPECT_EQ(CenterOver({0, 0, 192, 100}, {0, 0, 321, 100}), (Point{-64, 0}));
}

}  // namespace
}  // namespace parlivo
