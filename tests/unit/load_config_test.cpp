#include "config/load_config.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <optional>
#include <string>
#include <vector>

#include "config/config_format.h"

namespace parlivo {
namespace {

const std::u16string kPath = u"C:\\Parlivo\\config.ini";

// A settings file in memory that hands out its bytes in small reads.
class FakeFiles final : public ConfigFileAccess {
 public:
  OpenResult openResult = OpenResult::kOpened;
  std::optional<std::string> contents;  // the file as it is on disk
  bool createSucceeds = true;
  std::size_t readSize = 7;
  std::optional<std::size_t> failReadAfter;  // bytes delivered before a read error
  std::vector<std::string> calls;

  OpenResult OpenForReading(const std::u16string& path) override {
    EXPECT_EQ(path, kPath);
    calls.push_back("open");
    offset_ = 0;
    return openResult;
  }
  std::size_t Read(char* buffer, std::size_t capacity) override {
    std::size_t end = contents->size();
    if (failReadAfter) end = std::min(end, *failReadAfter);
    const std::size_t n = std::min({capacity, readSize, end - offset_});
    std::memcpy(buffer, contents->data() + offset_, n);
    offset_ += n;
    return n;
  }
  void Close() override { calls.push_back("close"); }
  bool CreateNew(const std::u16string& path, std::string_view text) override {
    EXPECT_EQ(path, kPath);
    calls.push_back("create");
    if (!createSucceeds || contents) return false;
    contents = std::string(text);
    return true;
  }

 private:
  std::size_t offset_ = 0;
};

struct Message {
  std::u16string text;
  std::u16string caption;
  MessageIcon icon;
};

class FakeUser final : public ConfigUserSide {
 public:
  std::vector<Message> messages;
  std::vector<std::u16string> edited;
  int endings = 0;
  std::vector<std::string> order;

  void ShowMessage(std::u16string_view text, std::u16string_view caption, MessageIcon icon) override {
    messages.push_back({std::u16string(text), std::u16string(caption), icon});
    order.push_back("message");
  }
  void OpenInEditor(const std::u16string& path) override {
    edited.push_back(path);
    order.push_back("editor");
  }
  void EndProcess() override {
    ++endings;
    order.push_back("end");
  }
};

class LoadConfigTest : public testing::Test {
 protected:
  void Load() { LoadConfig(settings, kPath, files, user); }

  void ExpectEndedWith(std::u16string_view text, std::u16string_view caption, MessageIcon icon) {
    ASSERT_EQ(user.messages.size(), 1u);
    EXPECT_EQ(user.messages[0].text, text);
    EXPECT_EQ(user.messages[0].caption, caption);
    EXPECT_EQ(user.messages[0].icon, icon);
    EXPECT_EQ(user.edited, std::vector<std::u16string>{kPath});
    EXPECT_EQ(user.order, (std::vector<std::string>{"message", "editor", "end"}));
  }

  void ExpectRanOn() {
    EXPECT_TRUE(user.messages.empty());
    EXPECT_TRUE(user.edited.empty());
    EXPECT_EQ(user.endings, 0);
  }

  Settings settings;
  FakeFiles files;
  FakeUser user;
};

TEST_F(LoadConfigTest, ReadableFileWithAUsableKeyFillsSettingsAndReturns) {
  std::string comments;
  for (int i = 0; i < 20000; ++i) comments += "; comment line number " + std::to_string(i) + "\r\n";
  // (case, settings held before, the file, bytes read before a read error, settings after)
  const struct {
    const char* name;
    Settings before;
    std::string file;
    std::optional<std::size_t> failReadAfter;
    Settings after;
  } cases[] = {
      {"values trimmed", {}, "[Gemini]\r\ngemini_key= abcdefghijKL \r\ngemini_model=gemini-x\r\n",
       {}, {u"abcdefghijKL", u"gemini-x"}},
      {"no model line leaves it empty", {}, "gemini_key=abcdefghij\n", {}, {u"abcdefghij", u""}},
      {"a reload keeps values whose lines are gone", {u"held-key-123", u"held-model"},
       "[Gemini]\r\n", {}, {u"held-key-123", u"held-model"}},
      {"a read error keeps the lines read so far", {},
       "gemini_key=abcdefghij\ngemini_model=never-read\n", 22, {u"abcdefghij", u""}},
      {"a large file is read to its end", {}, comments + "gemini_key=abcdefghij\r\n", {},
       {u"abcdefghij", u""}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    settings = c.before;
    files = FakeFiles();
    files.contents = c.file;
    files.failReadAfter = c.failReadAfter;
    Load();
    ExpectRanOn();
    EXPECT_EQ(settings.geminiKey, c.after.geminiKey);
    EXPECT_EQ(settings.geminiModel, c.after.geminiModel);
    EXPECT_EQ(files.calls, (std::vector<std::string>{"open", "close"}));
  }
}

TEST_F(LoadConfigTest, MissingFileGetsTheTemplateAndEndsTheProgram) {
  files.openResult = ConfigFileAccess::OpenResult::kMissing;
  Load();
  EXPECT_EQ(files.contents, std::string(kConfigTemplate));
  ExpectEndedWith(kCreatedText, u"Configuration Setup", MessageIcon::kInformation);
  EXPECT_EQ(user.messages[0].text,
            u"Configuration file 'config.ini' has been created.\n\n"
            u"Update your Gemini API key, save it, then restart the app.");
}

TEST_F(LoadConfigTest, InvalidKeysEndTheProgramWithoutWriting) {
  for (const char* file : {"", "[Gemini]\r\ngemini_key= YOUR_GEMINI_KEY\r\n", "gemini_key=123456789\n",
                           " gemini_key=abcdefghijk\n", "gemini_key=abcdefghij\ngemini_key=\n"}) {
    SCOPED_TRACE(file);
    settings = {};
    files = FakeFiles();
    user = FakeUser();
    files.contents = file;
    Load();
    EXPECT_EQ(files.contents, file);
    ExpectEndedWith(u"Gemini API key is not correct.\n\n"
                    u"Update your Gemini API key, save it, then restart the app.",
                    u"Invalid API Key", MessageIcon::kWarning);
  }
}

TEST_F(LoadConfigTest, ExistingUnreadableFileIsNeverOverwritten) {
  files.openResult = ConfigFileAccess::OpenResult::kUnreadable;
  files.contents = "gemini_key=precious-user-key\n";
  Load();
  EXPECT_EQ(files.contents, "gemini_key=precious-user-key\n");
  EXPECT_EQ(files.calls, std::vector<std::string>{"open"});
  ExpectEndedWith(UnreadableConfigText(kPath), u"Configuration Error", MessageIcon::kError);
  EXPECT_NE(user.messages[0].text.find(kPath), std::u16string::npos);
}

TEST_F(LoadConfigTest, NeitherReadableNorCreatableGivesTheFallback) {
  files.openResult = ConfigFileAccess::OpenResult::kMissing;
  files.createSucceeds = false;
  settings = {u"held-key-123", u"held-model"};
  Load();
  ExpectRanOn();
  EXPECT_EQ(settings.geminiKey, u"YOUR_GEMINI_KEY");
  EXPECT_EQ(settings.geminiModel, u"gemini-2.0-flash-lite");
}

}  // namespace
}  // namespace parlivo
