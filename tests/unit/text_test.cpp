#include "common/text.h"

#include <gtest/gtest.h>

namespace parlivo {
namespace {

struct TrimCase {
  std::u16string input;
  std::u16string expected;
};

class TrimTest : public testing::TestWithParam<TrimCase> {};

TEST_P(TrimTest, RemovesOnlyOuterBlanksAndTabs) {
  EXPECT_EQ(Trim(GetParam().input), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, TrimTest,
    testing::Values(TrimCase{u"", u""}, TrimCase{u" \t \t", u""}, TrimCase{u"  a b\t", u"a b"},
                    TrimCase{u"\tword", u"word"}, TrimCase{u"a\t \tb", u"a\t \tb"},
                    // Line breaks, non-breaking spaces and vertical tabs are text.
                    TrimCase{u"\r\n a \r\n", u"\r\n a \r\n"}, TrimCase{u"\u00A0x\u00A0", u"\u00A0x\u00A0"},
                    TrimCase{u" \v ", u"\v"}, TrimCase{u" \u3000", u"\u3000"}));

}  // namespace
}  // namespace parlivo
