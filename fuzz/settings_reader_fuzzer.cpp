// The settings reader on arbitrary file contents, fed in chunks whose sizes
// the last bytes of the input choose.
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

ReadResult ReadWhole(std::string_view file) {
  ReadResult result{kHeldBefore};
  SettingsReader reader(result.settings);
  result.textEnded = !reader.Feed(file);
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

void CheckField(const std::u16string& value, const std::u16string& heldBefore,
                std::u16string_view file, std::u16string_view prefix) {
  Require(value.find(u'\n') == std::u16string::npos, "a field never holds a line feed");
  Require(value.find(char16_t{kEndOfText}) == std::u16string::npos, "a field never holds Ctrl-Z");
  Require(Trim(value) == value, "a field has no blanks or tabs at either end");
  Require(value == heldBefore || file.find(prefix) != std::u16string_view::npos,
          "a field changes only when its key occurs in the file");
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

  const ReadResult whole = ReadWhole(file);
  const ReadResult chunked = ReadInChunks(file, chunkSizes);

  Require(chunked.settings.geminiKey == whole.settings.geminiKey,
          "the key does not depend on the chunk sizes");
  Require(chunked.settings.geminiModel == whole.settings.geminiModel,
          "the model does not depend on the chunk sizes");
  const bool hasEndOfText = file.find(kEndOfText) != std::string::npos;
  Require(whole.textEnded == hasEndOfText && chunked.textEnded == hasEndOfText,
          "Feed reports the end of the text exactly when Ctrl-Z has come");
  const std::u16string text = AsLatin1(file);
  CheckField(whole.settings.geminiKey, kHeldBefore.geminiKey, text, kKeyPrefix);
  CheckField(whole.settings.geminiModel, kHeldBefore.geminiModel, text, kModelPrefix);
  return 0;
}
