#pragma once

#include <string>
#include <string_view>

#include "config/settings.h"

namespace parlivo {

inline constexpr std::u16string_view kConfigFileName = u"config.ini";
inline constexpr std::u16string_view kKeyPrefix = u"gemini_key=";
inline constexpr std::u16string_view kModelPrefix = u"gemini_model=";
inline constexpr std::u16string_view kPlaceholderKey = u"YOUR_GEMINI_KEY";
inline constexpr std::size_t kMinimumKeyLength = 10;

// Written on the first start: three CR LF lines, 75 bytes.
inline constexpr std::string_view kConfigTemplate =
    "[Gemini]\r\n"
    "gemini_key= YOUR_GEMINI_KEY\r\n"
    "gemini_model=gemini-2.5-flash-lite\r\n";

// Used when the file can neither be read nor created.
inline constexpr std::u16string_view kFallbackModel = u"gemini-2.0-flash-lite";

// config.ini in the directory of the given executable path: everything up to
// and including the last backslash, then the file name.
std::u16string ConfigPathBeside(std::u16string_view modulePath);

// A key is usable when it has at least ten characters and is not the
// placeholder of the template (compared case-sensitively).
bool IsUsableKey(std::u16string_view key);

// Reads the settings file as single-byte text, fed in chunks of any size.
// A line ends at LF, a CR right before that LF is dropped, a last line needs
// no ending and the byte 1A hex ends the text. A CR that ends the last line
// (no LF after it, or Ctrl-Z right after it) is dropped too: an editor wrote
// it as a line end, and kept it would go raw into the request URL. Any other
// CR stays in the line. A UTF-8 byte-order mark at the
// very start is skipped. Only lines that begin exactly with "gemini_key=" or
// "gemini_model=" set a field (the later line wins); fields whose key does
// not occur keep the value they had.
class SettingsReader {
 public:
  explicit SettingsReader(Settings& settings) : settings_(settings) {}

  // Returns false once the text has ended (Ctrl-Z); later bytes are ignored.
  bool Feed(std::string_view bytes);
  // Takes the last line, which needs no line end.
  void Finish();

 private:
  void EndLine();

  Settings& settings_;
  std::u16string line_;
  // Set while the line can no longer begin with a key; its bytes are dropped.
  bool skippingLine_ = false;
  bool ended_ = false;
  // How many bytes of a UTF-8 byte-order mark the file has begun with.
  std::size_t markBytesSeen_ = 0;
};

}  // namespace parlivo
