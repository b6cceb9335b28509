#include "config/config_format.h"

#include "common/text.h"

namespace parlivo {
namespace {

constexpr char kEndOfText = '\x1A';
constexpr std::string_view kUtf8ByteOrderMark = "\xEF\xBB\xBF";

// True while `line` may still grow into a line that begins with `prefix`.
bool MayBecome(std::u16string_view line, std::u16string_view prefix) {
  const std::size_t n = line.size() < prefix.size() ? line.size() : prefix.size();
  return line.substr(0, n) == prefix.substr(0, n);
}

}  // namespace

std::u16string ConfigPathBeside(std::u16string_view modulePath) {
  const std::size_t slash = modulePath.rfind(u'\\');
  const std::size_t keep = slash == std::u16string_view::npos ? 0 : slash + 1;
  std::u16string path(modulePath.substr(0, keep));
  path += kConfigFileName;
  return path;
}

bool IsUsableKey(std::u16string_view key) {
  return key.size() >= kMinimumKeyLength && key != kPlaceholderKey;
}

bool SettingsReader::Feed(std::string_view bytes) {
  if (ended_) return false;
  for (const char byte : bytes) {
    if (byte == kEndOfText) {
      ended_ = true;
      return false;
    }
    if (markBytesSeen_ < kUtf8ByteOrderMark.size()) {
      if (byte == kUtf8ByteOrderMark[markBytesSeen_]) {
        ++markBytesSeen_;
        continue;
      }
      // The start of a mark that does not go on is text, and no key line
      // begins with it.
      if (markBytesSeen_ > 0) skippingLine_ = true;
      markBytesSeen_ = kUtf8ByteOrderMark.size();
    }
    if (byte == '\n') {
      // Only a CR right before the LF belongs to the line end.
      if (!line_.empty() && line_.back() == u'\r') line_.pop_back();
      EndLine();
      continue;
    }
    if (skippingLine_) continue;
    line_.push_back(static_cast<unsigned char>(byte));
    if (line_.size() <= kModelPrefix.size() && !MayBecome(line_, kKeyPrefix) &&
        !MayBecome(line_, kModelPrefix)) {
      skippingLine_ = true;
    }
  }
  return true;
}

void SettingsReader::Finish() {
  if (!line_.empty() || skippingLine_) EndLine();
}

void SettingsReader::EndLine() {
  if (!skippingLine_) {
    const std::u16string_view line = line_;
    if (StartsWith(line, kKeyPrefix)) {
      settings_.geminiKey = Trim(line.substr(kKeyPrefix.size()));
    } else if (StartsWith(line, kModelPrefix)) {
      settings_.geminiModel = Trim(line.substr(kModelPrefix.size()));
    }
  }
  line_.clear();
  skippingLine_ = false;
}

}  // namespace parlivo
