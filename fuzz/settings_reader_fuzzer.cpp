// The settings reader on arbitrary file contents, fed in chunks whose sizes
// the last bytes of the input choose, against a plain line-by-line reader.
#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "common/text.h"
#include "config/config_format.h"
#include "fuzz_check.h"

namespace parlivo {
namespace {

constexpr std::size_t kMaxChunkSizes = 8;
constexpr std::size_t kLargestChunk = 32;
constexpr char kEndOfText = '\x1A';
constexpr std::string_view kUtf8ByteOrderMark = "\xEF\xBB\xBF";

// What a reload starts from: fields whose key the file lacks keep these.
const Settings kHeldBefore{u"held-key-0123", u"held-model"};

struct ReadResult {
  Settings settings;
  bool textEnded = false;  // some Feed call said the text had ended
};

ReadResult ReadInChunks(std::string_view file, const std::vector<std::size_t>& chunkSizes) {
  ReadResult result{kHeldBefore};
  SettingsReader reader(result.settings);
  // Feeding goes on after the end of the text, which the reader must ignore.
  for (std::size_t i = 0; !file.empty(); ++i) {
    const std::size_t size = std::min(chunkSizes[i % chunkSizes.size()], file.size());
    if (!reader.Feed(file.substr(0, size))) result.textEnded = true;
    file.remove_prefix(size);
  }
  reader.Finish();
  return result;
}

// The file's bytes as the reader takes them: each byte one character.
std::u16string AsLatin1(std::string_view file) {
  std::u16string text;
  text.reserve(file.size());
  for (const unsigned char byte : file) text.push_back(byte);
  return text;
}

// The text up to Ctrl-Z, without a byte-order mark at its very start, cut
// into lines at LF, each less the CR that ends it (before its LF, or at the
// end of the text: an editor's line end, never part of a value); the last
// line that begins with a key's name sets that field.
Settings ReadLineByLine(std::string_view file) {
  Settings settings = kHeldBefore;
  std::string_view text = file.substr(0, file.find(kEndOfText));
  if (text.starts_with(kUtf8ByteOrderMark)) text.remove_prefix(kUtf8ByteOrderMark.size());
  while (!text.empty()) {
    const std::size_t lineFeed = text.find('\n');
    std::string_view line = text.substr(0, lineFeed);
    if (line.ends_with('\r')) line.remove_suffix(1);
    text.remove_prefix(lineFeed == text.npos ? text.size() : lineFeed + 1);
    const std::u16string characters = AsLatin1(line);
    if (StartsWith(characters, kKeyPrefix)) {
      settings.geminiKey = Trim(std::u16string_view(characters).substr(kKeyPrefix.size()));
    } else if (StartsWith(characters, kModelPrefix)) {
      settings.geminiModel = Trim(std::u16string_view(characters).substr(kModelPrefix.size()));
    }
  }
  return settings;
}

}  // namespace
}  // namespace parlivo

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace parlivo;
  FuzzedDataProvider input(data, size);
  std::vector<std::size_t> chunkSizes(input.ConsumeIntegralInRange<std::size_t>(1, kMaxChunkSizes));
  for (std::size_t& chunk : chunkSizes) {
    chunk = input.ConsumeIntegralInRange<std::size_t>(1, kLargestChunk);
  }
  const std::string file = input.ConsumeRemainingBytesAsString();

  const ReadResult whole = ReadInChunks(file, {file.size()});
  const ReadResult chunked = ReadInChunks(file, chunkSizes);

  Require(chunked.settings.geminiKey == whole.settings.geminiKey,
          "the key does not depend on the chunk sizes");
  Require(chunked.settings.geminiModel == whole.settings.geminiModel,
          "the model does not depend on the chunk sizes");
  const bool hasEndOfText = file.find(kEndOfText) != std::string::npos;
  Require(whole.textEnded == hasEndOfText && chunked.textEnded == hasEndOfText,
          "Feed reports the end of the text exactly when Ctrl-Z has come");
  const Settings expected = ReadLineByLine(file);
  Require(whole.settings.geminiKey == expected.geminiKey, "the key is the line reader's");
  Require(whole.settings.geminiModel == expected.geminiModel, "the model is the line reader's");
  return 0;
}
