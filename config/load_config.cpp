#include "config/load_config.h"

#include <array>

#include "config/config_format.h"

namespace parlivo {
namespace {

constexpr std::size_t kReadChunkBytes = 4096;

void ReadSettingsFile(ConfigFileAccess& files, Settings& settings) {
  SettingsReader reader(settings);
  std::array<char, kReadChunkBytes> buffer;
  for (;;) {
    const std::size_t got = files.Read(buffer.data(), buffer.size());
    if (got == 0 || !reader.Feed(std::string_view(buffer.data(), got))) break;
  }
  reader.Finish();
  files.Close();
}

}  // namespace

std::u16string UnreadableConfigText(std::u16string_view path) {
  std::u16string text = u"The configuration file could not be read:\n";
  text += path;
  text += u"\n\nClose any program that locks it or check its permissions, then restart the app.";
  return text;
}

void OpenConfigAndExit(ConfigUserSide& user, const std::u16string& path, std::u16string_view text,
                       std::u16string_view caption, MessageIcon icon) {
  user.ShowMessage(text, caption, icon);
  user.OpenInEditor(path);
  user.EndProcess();
}

void LoadConfig(Settings& settings, const std::u16string& path, ConfigFileAccess& files,
                ConfigUserSide& user) {
  switch (files.OpenForReading(path)) {
    case ConfigFileAccess::OpenResult::kOpened:
      ReadSettingsFile(files, settings);
      if (!IsUsableKey(settings.geminiKey)) {
        OpenConfigAndExit(user, path, kInvalidKeyText, kInvalidKeyCaption, MessageIcon::kWarning);
      }
      return;
    case ConfigFileAccess::OpenResult::kUnreadable:
      // The user's settings are in there: never replace them with the template.
      OpenConfigAndExit(user, path, UnreadableConfigText(path), kUnreadableCaption,
                        MessageIcon::kError);
      return;
    case ConfigFileAccess::OpenResult::kMissing:
      if (files.CreateNew(path, kConfigTemplate)) {
        OpenConfigAndExit(user, path, kCreatedText, kCreatedCaption, MessageIcon::kInformation);
        return;
      }
      settings.geminiKey = kPlaceholderKey;
      settings.geminiModel = kFallbackModel;
      return;
  }
}

}  // namespace parlivo
