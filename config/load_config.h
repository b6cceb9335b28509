#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "config/settings.h"

namespace parlivo {

enum class MessageIcon { kInformation, kWarning, kError };

// The settings file as LoadConfig needs it. Files are opened without sharing
// restrictions, so an editor may hold the file open meanwhile.
class ConfigFileAccess {
 public:
  enum class OpenResult { kOpened, kMissing, kUnreadable };

  virtual ~ConfigFileAccess() = default;
  virtual OpenResult OpenForReading(const std::u16string& path) = 0;
  // Fills up to `capacity` bytes; 0 at the end of the file or on a read error.
  virtual std::size_t Read(char* buffer, std::size_t capacity) = 0;
  virtual void Close() = 0;
  // Creates the file only if it does not exist yet, and writes `contents`.
  // Returns false when the file could not be created; write errors after a
  // successful creation are not reported.
  virtual bool CreateNew(const std::u16string& path, std::string_view contents) = 0;
};

// How LoadConfig reaches the user when it ends the program.
class ConfigUserSide {
 public:
  virtual ~ConfigUserSide() = default;
  virtual void ShowMessage(std::u16string_view text, std::u16string_view caption,
                           MessageIcon icon) = 0;
  virtual void OpenInEditor(const std::u16string& path) = 0;
  // Ends the process with exit code 0. The Windows program never returns from
  // it; LoadConfig returns at once should it come back.
  virtual void EndProcess() = 0;
};

inline constexpr std::u16string_view kCreatedText =
    u"Configuration file 'config.ini' has been created.\n\n"
    u"Update your Gemini API key, save it, then restart the app.";
inline constexpr std::u16string_view kCreatedCaption = u"Configuration Setup";
inline constexpr std::u16string_view kInvalidKeyText =
    u"Gemini API key is not correct.\n\n"
    u"Update your Gemini API key, save it, then restart the app.";
inline constexpr std::u16string_view kInvalidKeyCaption = u"Invalid API Key";
inline constexpr std::u16string_view kUnreadableCaption = u"Configuration Error";

// The message for a settings file that exists but cannot be read.
std::u16string UnreadableConfigText(std::u16string_view path);

// Shows the message, opens the settings file in the editor and ends the process.
void OpenConfigAndExit(ConfigUserSide& user, const std::u16string& path, std::u16string_view text,
                       std::u16string_view caption, MessageIcon icon);

// Reads the settings file at `path` into `settings`. Returns normally with a
// usable key, or with the fallback settings when the file can neither be read
// nor created. Otherwise it tells the user, opens the file in the editor and
// ends the process: after writing the template when the file is missing, and
// leaving the file untouched when it exists but cannot be read or holds no
// usable key.
void LoadConfig(Settings& settings, const std::u16string& path, ConfigFileAccess& files,
                ConfigUserSide& user);

}  // namespace parlivo
