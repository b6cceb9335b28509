#include "common/utf8.h"

#include <cstdint>
#include <cstring>

#include "common/lanes.h"

namespace parlivo {
namespace {

// Replies are mostly ASCII, so bytes are looked at in blocks. The block
// steps are simple loops over a fixed count, which the compiler turns into a
// few vector instructions.
constexpr std::size_t kBlockBytes = 16;
constexpr std::size_t kWordsPerBlock = kBlockBytes / sizeof(std::uint64_t);
using ByteLanes = Lanes<char>;

// Widens all of the block at `src` into `dest`, as if it were ASCII, and
// returns how many of its bytes really are: only those count.
std::size_t WidenAsciiPrefix(const std::uint8_t* src, char16_t* dest) {
  std::uint8_t block[kBlockBytes];
  std::memcpy(block, src, sizeof block);
  for (std::size_t k = 0; k < kBlockBytes; ++k) dest[k] = block[k];
  std::uint64_t words[kWordsPerBlock];
  std::memcpy(words, block, sizeof words);
  for (std::size_t w = 0; w < kWordsPerBlock; ++w) {
    const std::uint64_t nonAscii = words[w] & ByteLanes::kTopBitOfEach;
    if (nonAscii != 0) return w * ByteLanes::kPerWord + FirstMarkedLane(nonAscii, ByteLanes::kBits);
  }
  return kBlockBytes;
}

constexpr bool IsContinuation(std::uint8_t byte) { return (byte & 0xC0) == 0x80; }

constexpr bool IsHighSurrogate(char16_t unit) { return unit >= 0xD800 && unit <= 0xDBFF; }
constexpr bool IsLowSurrogate(char16_t unit) { return unit >= 0xDC00 && unit <= 0xDFFF; }

// Well-formed UTF-8 restricts the second byte for a few lead bytes: this
// rules out overlong forms, encoded surrogates and code points past U+10FFFF.
struct LeadInfo {
  int length;  // 0 for a byte that cannot start a sequence
  std::uint8_t secondMin;
  std::uint8_t secondMax;
};

constexpr LeadInfo InfoForLead(std::uint8_t lead) {
  if (lead >= 0xC2 && lead <= 0xDF) return {2, 0x80, 0xBF};
  if (lead == 0xE0) return {3, 0xA0, 0xBF};
  if (lead == 0xED) return {3, 0x80, 0x9F};
  if (lead >= 0xE1 && lead <= 0xEF) return {3, 0x80, 0xBF};
  if (lead == 0xF0) return {4, 0x90, 0xBF};
  if (lead >= 0xF1 && lead <= 0xF3) return {4, 0x80, 0xBF};
  if (lead == 0xF4) return {4, 0x80, 0x8F};
  return {0, 0, 0};
}

void AppendUtf8(std::string& out, char32_t cp) {
  if (cp < 0x80) {
    out.push_back(static_cast<char>(cp));
  } else if (cp < 0x800) {
    out.push_back(static_cast<char>(0xC0 | (cp >> 6)));
    out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
  } else if (cp < 0x10000) {
    out.push_back(static_cast<char>(0xE0 | (cp >> 12)));
    out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
  } else {
    out.push_back(static_cast<char>(0xF0 | (cp >> 18)));
    out.push_back(static_cast<char>(0x80 | ((cp >> 12) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
  }
}

// Decodes the sequence whose lead byte, not ASCII, stands at `i` into `dest`.
Utf8DecodeEnd DecodeSequence(const std::uint8_t* src, std::size_t size, std::size_t i,
                             char16_t* dest) {
  const std::uint8_t lead = src[i];
  const LeadInfo info = InfoForLead(lead);
  if (info.length == 0) {
    *dest = kReplacementCharacter;
    return {i + 1, dest + 1};
  }
  char32_t cp = lead & (0xFF >> (info.length + 1));
  std::size_t next = i + 1;
  for (int k = 1; k < info.length; ++k, ++next) {
    const bool fits =
        next < size && (k == 1 ? (src[next] >= info.secondMin && src[next] <= info.secondMax)
                               : IsContinuation(src[next]));
    if (!fits) {
      // The lead and the continuation bytes that fitted form one maximal
      // ill-formed subsequence; the byte that broke it is read afresh.
      *dest = kReplacementCharacter;
      return {next, dest + 1};
    }
    cp = (cp << 6) | (src[next] & 0x3F);
  }
  if (cp < 0x10000) {
    *dest = static_cast<char16_t>(cp);
    return {next, dest + 1};
  }
  cp -= 0x10000;
  dest[0] = static_cast<char16_t>(0xD800 + (cp >> 10));
  dest[1] = static_cast<char16_t>(0xDC00 + (cp & 0x3FF));
  return {next, dest + 2};
}

}  // namespace

Utf8DecodeEnd DecodeNonAsciiRun(std::string_view bytes, std::size_t pos, char16_t* dest) {
  const auto* src = reinterpret_cast<const std::uint8_t*>(bytes.data());
  const std::size_t size = bytes.size();
  while (pos < size && src[pos] >= 0x80) {
    // Two-byte sequences (Arabic, accented Latin) take the short way.
    const std::uint8_t lead = src[pos];
    if (lead >= 0xC2 && lead <= 0xDF && pos + 1 < size && IsContinuation(src[pos + 1])) {
      *dest++ = static_cast<char16_t>(((lead & 0x1F) << 6) | (src[pos + 1] & 0x3F));
      pos += 2;
    } else {
      const Utf8DecodeEnd end = DecodeSequence(src, size, pos, dest);
      pos = end.pos;
      dest = end.dest;
    }
  }
  return {pos, dest};
}

std::u16string Utf8ToUtf16(std::string_view bytes) {
  // A UTF-16 text never has more code units than its UTF-8 form has bytes,
  // so one allocation serves the whole conversion. The units written so far
  // never outnumber the bytes read so far, so a block widened ahead fits.
  std::u16string out(bytes.size(), u'\0');
  char16_t* dest = out.data();
  const auto* src = reinterpret_cast<const std::uint8_t*>(bytes.data());
  const std::size_t size = bytes.size();
  std::size_t i = 0;
  while (i < size) {
    if (size - i >= kBlockBytes) {
      const std::size_t ascii = WidenAsciiPrefix(src + i, dest);
      i += ascii;
      dest += ascii;
      if (ascii == kBlockBytes) continue;
    } else if (src[i] < 0x80) {
      *dest++ = src[i++];
      continue;
    }
    // Non-ASCII characters come in runs, such as the words of Arabic text.
    const Utf8DecodeEnd end = DecodeNonAsciiRun(bytes, i, dest);
    i = end.pos;
    dest = end.dest;
  }
  out.resize(static_cast<std::size_t>(dest - out.data()));
  return out;
}

std::string Utf16ToUtf8(std::u16string_view text) {
  std::string out;
  out.reserve(text.size() * 3);
  const std::size_t size = text.size();
  for (std::size_t i = 0; i < size; ++i) {
    const char16_t unit = text[i];
    if (unit < 0x80) {
      out.push_back(static_cast<char>(unit));
    } else if (IsHighSurrogate(unit) && i + 1 < size && IsLowSurrogate(text[i + 1])) {
      const char32_t cp = 0x10000 + ((char32_t{unit} - 0xD800) << 10) + (text[i + 1] - 0xDC00);
      AppendUtf8(out, cp);
      ++i;
    } else if (IsHighSurrogate(unit) || IsLowSurrogate(unit)) {
      AppendUtf8(out, kReplacementCharacter);
    } else {
      AppendUtf8(out, unit);
    }
  }
  return out;
}

}  // namespace parlivo
