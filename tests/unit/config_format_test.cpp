#include "config/config_format.h"

#include <gtest/gtest.h>

#include <string>

#include "case_name.h"

namespace parlivo {
namespace {

Settings ReadWhole(std::string_view file, Settings settings = {}) {
  SettingsReader reader(settings);
  reader.Feed(file);
  reader.Finish();
  return settings;
}

struct ReadCase {
  const char* name;
  std::string file;
  std::u16string key;
  std::u16string model;
};

class SettingsReaderTest : public testing::TestWithParam<ReadCase> {};

TEST_P(SettingsReaderTest, ReadsKeyAndModel) {
  const Settings settings = ReadWhole(GetParam().file);
  EXPECT_EQ(settings.geminiKey, GetParam().key);
  EXPECT_EQ(settings.geminiModel, GetParam().model);
}

TEST_P(SettingsReaderTest, GivesTheSameResultByteByByte) {
  Settings settings;
  SettingsReader reader(settings);
  for (const char byte : GetParam().file) {
    if (!reader.Feed(std::string_view(&byte, 1))) break;
  }
  reader.Finish();
  EXPECT_EQ(settings.geminiKey, GetParam().key);
  EXPECT_EQ(settings.geminiModel, GetParam().model);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, SettingsReaderTest,
    testing::Values(
        ReadCase{"Template", std::string(kConfigTemplate), u"YOUR_GEMINI_KEY", u"gemini-2.5-flash-lite"},
        ReadCase{"LfOnly", "[Gemini]\ngemini_key=abcdefghij\ngemini_model=m1\n", u"abcdefghij", u"m1"},
        ReadCase{"NoSectionAndNoFinalNewline", "gemini_model=m\r\ngemini_key=k", u"k", u"m"},
        ReadCase{"ValuesTrimmedOfBlanksAndTabs", "gemini_key=\t a b \t\r\ngemini_model=  x  ", u"a b", u"x"},
        ReadCase{"EqualsSignStaysInValue", "gemini_model=a=b\n", u"", u"a=b"},
        ReadCase{"LaterLineWins", "gemini_key=first-key-1\ngemini_key=second-key\n", u"second-key", u""},
        ReadCase{"LaterEmptyLineWins", "gemini_key=first-key-1\ngemini_key=   \n", u"", u""},
        ReadCase{"KeyNameMustStartTheLine", " gemini_key=abcdefghij\n", u"", u""},
        ReadCase{"NoBlankBeforeEquals", "gemini_key =abcdefghij\n", u"", u""},
        ReadCase{"CaseSensitive", "GEMINI_KEY=abcdefghij\nGemini_model=x\n", u"", u""},
        ReadCase{"LoneCrStaysInValue", "gemini_key=ab\rcd\r\n", u"ab\rcd", u""},
        ReadCase{"OnlyOneCrIsDropped", "gemini_key=abc\r\r\n", u"abc\r", u""},
        ReadCase{"CrEndingTheLastLineStays", "gemini_key=abc\r", u"abc\r", u""},
        ReadCase{"NonBreakingSpaceStays", "gemini_key=\xA0key\xA0\n", u"\u00A0key\u00A0", u""},
        ReadCase{"BytesAreLatin1", "gemini_model=\xE9\xFF\n", u"", u"\u00E9\u00FF"},
        ReadCase{"CtrlZEndsText", "gemini_model=a\x1Agemini_key=abcdefghij\n", u"", u"a"},
        ReadCase{"CtrlZAtStart", "\x1Agemini_key=abcdefghij\n", u"", u""},
        ReadCase{"NulInValueStays", std::string("gemini_model=a\0b\n", 17), u"", std::u16string(u"a\0b", 3)},
        ReadCase{"ByteOrderMarkSkipped", "\xEF\xBB\xBFgemini_key=abcdefghij\n", u"abcdefghij", u""},
        ReadCase{"MarkOnlyAtFileStart", "x\n\xEF\xBB\xBFgemini_key=abcdefghij\n", u"", u""},
        ReadCase{"PartialMarkIsText", "\xEF\xBBgemini_key=abcdefghij\n", u"", u""},
        ReadCase{"PartialMarkThenNextLine", "\xEF\ngemini_key=abcdefghij\n", u"abcdefghij", u""},
        ReadCase{"EmptyFile", "", u"", u""},
        ReadCase{"PrefixWithoutValue", "gemini_key=\ngemini_model=", u"", u""},
        ReadCase{"TruncatedPrefixIsNoKey", "gemini_ke\ngemini_mode", u"", u""},
        ReadCase{"LongOtherLinesIgnored", std::string(100000, 'x') + "\ngemini_key=abcdefghij", u"abcdefghij", u""}),
    CaseName());

TEST(SettingsReader, KeepsFieldsWhoseKeyIsAbsent) {
  const Settings before{u"old-key-12345", u"old-model"};
  const Settings after = ReadWhole("gemini_model=new-model\n", before);
  EXPECT_EQ(after.geminiKey, u"old-key-12345");
  EXPECT_EQ(after.geminiModel, u"new-model");
}

TEST(SettingsReader, IgnoresEverythingAfterCtrlZ) {
  Settings settings;
  SettingsReader reader(settings);
  EXPECT_TRUE(reader.Feed("gemini_key=abcdefghij\n"));
  EXPECT_FALSE(reader.Feed("gemini_model=m\x1Agemini_key=zzz\n"));
  EXPECT_FALSE(reader.Feed("gemini_model=later\n"));
  reader.Finish();
  EXPECT_EQ(settings.geminiKey, u"abcdefghij");
  EXPECT_EQ(settings.geminiModel, u"m");
}

TEST(ConfigTemplate, IsTheExactSeventyFiveBytes) {
  EXPECT_EQ(kConfigTemplate.size(), 75u);
  EXPECT_EQ(kConfigTemplate,
            "[Gemini]\r\ngemini_key= YOUR_GEMINI_KEY\r\ngemini_model=gemini-2.5-flash-lite\r\n");
}

struct KeyCase {
  std::u16string key;
  bool usable;
};

class UsableKeyTest : public testing::TestWithParam<KeyCase> {};

TEST_P(UsableKeyTest, NeedsTenCharactersAndNotThePlaceholder) {
  EXPECT_EQ(IsUsableKey(GetParam().key), GetParam().usable) << std::string(GetParam().key.begin(), GetParam().key.end());
}

INSTANTIATE_TEST_SUITE_P(Cases, UsableKeyTest,
                         testing::Values(KeyCase{u"", false}, KeyCase{u"123456789", false},
                                         KeyCase{u"1234567890", true},
                                         KeyCase{u"YOUR_GEMINI_KEY", false},
                                         KeyCase{u"your_gemini_key", true},
                                         KeyCase{u"YOUR_GEMINI_KEY ", true}));

struct PathCase {
  std::u16string module;
  std::u16string expected;
};

class ConfigPathTest : public testing::TestWithParam<PathCase> {};

TEST_P(ConfigPathTest, PutsConfigBesideTheExecutable) {
  EXPECT_EQ(ConfigPathBeside(GetParam().module), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ConfigPathTest,
    testing::Values(PathCase{u"C:\\Apps\\Parlivo\\Parlivo.exe", u"C:\\Apps\\Parlivo\\config.ini"},
                    PathCase{u"C:\\Parlivo.exe", u"C:\\config.ini"},
                    PathCase{u"\\\\?\\C:\\a\\b.exe", u"\\\\?\\C:\\a\\config.ini"},
                    PathCase{u"Parlivo.exe", u"config.ini"}));

TEST(ConfigPath, WorksForPathsBeyondTheOldLimit) {
  std::u16string deep = u"C:";
  while (deep.size() < 600) deep += u"\\folder";
  EXPECT_EQ(ConfigPathBeside(deep + u"\\Parlivo.exe"), deep + u"\\config.ini");
}

}  // namespace
}  // namespace parlivo
