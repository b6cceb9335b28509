#include "gemini/response_text.h"

#include <cstdint>
#include <cstring>
#include <exception>
#include <utility>

#include "common/lanes.h"
#include "common/utf8.h"

namespace parlivo {
namespace {

constexpr std::u16string_view kTextMemberName = u"\"text\"";
// Shorter replies cannot hold the member name, the colon and a value.
constexpr std::size_t kShortestReply = 9;

constexpr bool IsJsonWhitespace(char16_t c) {
  return c == u' ' || c == u'\t' || c == u'\n' || c == u'\r';
}

constexpr bool IsHighSurrogate(char16_t c) { return c >= 0xD800 && c <= 0xDBFF; }
constexpr bool IsLowSurrogate(char16_t c) { return c >= 0xDC00 && c <= 0xDFFF; }

// Control characters that never reach the answer: all below the blank except
// tab, line feed and carriage return.
constexpr bool IsRemovedControl(char16_t c) {
  return c < 0x20 && c != u'\t' && c != u'\n' && c != u'\r';
}

// Code units that end a run of text that is copied as it stands.
constexpr bool EndsRun(char16_t c) { return c == u'"' || c == u'\\' || c < 0x20; }

// Answers run to hundreds of kilobytes, so plain text is looked at four
// code units at a time, as the 16-bit lanes of a 64-bit word.
constexpr std::size_t kLanesPerWord = sizeof(std::uint64_t) / sizeof(char16_t);
constexpr int kBitsPerLane = 16;
constexpr std::uint64_t kOneInEachLane = 0x0001000100010001;
constexpr std::uint64_t kTopBitOfEachLane = 0x8000800080008000;
constexpr std::uint64_t kLowBitsOfEachLane = ~kTopBitOfEachLane;

// The top bit of each lane whose code unit ends a run. Each test adds to the
// low 15 bits of a lane so that its top bit says "passed"; such a sum never
// carries into the next lane, so the lanes do not disturb each other. A lane
// with its own top bit set holds no ASCII character and never ends a run.
constexpr std::uint64_t RunEndLanes(std::uint64_t lanes) {
  const std::uint64_t low = lanes & kLowBitsOfEachLane;
  const std::uint64_t notControl = low + kOneInEachLane * (0x8000 - 0x20);
  const std::uint64_t notQuote = (low ^ (kOneInEachLane * u'"')) + kLowBitsOfEachLane;
  const std::uint64_t notBackslash = (low ^ (kOneInEachLane * u'\\')) + kLowBitsOfEachLane;
  return ~((notControl & notQuote & notBackslash) | lanes) & kTopBitOfEachLane;
}

std::size_t SkipJsonWhitespace(std::u16string_view text, std::size_t pos) {
  while (pos < text.size() && IsJsonWhitespace(text[pos])) ++pos;
  return pos;
}

// Where the value of the first "text" member begins (after its opening
// quotation mark), or npos. The name must be followed by a colon and a
// string, with JSON white space allowed around the colon.
std::size_t FindTextValue(std::u16string_view reply) {
  for (std::size_t name = reply.find(kTextMemberName); name != std::u16string_view::npos;
       name = reply.find(kTextMemberName, name + 1)) {
    std::size_t pos = SkipJsonWhitespace(reply, name + kTextMemberName.size());
    if (pos >= reply.size() || reply[pos] != u':') continue;
    pos = SkipJsonWhitespace(reply, pos + 1);
    if (pos < reply.size() && reply[pos] == u'"') return pos + 1;
  }
  return std::u16string_view::npos;
}

int HexValue(char16_t c) {
  if (c >= u'0' && c <= u'9') return c - u'0';
  if (c >= u'a' && c <= u'f') return c - u'a' + 10;
  if (c >= u'A' && c <= u'F') return c - u'A' + 10;
  return -1;
}

// The code unit of a \uXXXX escape whose four digits start at `pos`, or -1.
long ParseHex4(std::u16string_view text, std::size_t pos) {
  if (pos > text.size() || text.size() - pos < 4) return -1;
  long value = 0;
  for (std::size_t i = 0; i < 4; ++i) {
    const int digit = HexValue(text[pos + i]);
    if (digit < 0) return -1;
    value = value * 16 + digit;
  }
  return value;
}

// Decodes one JSON string value into the answer. Escaped surrogate pairs
// are joined; an escaped surrogate without its partner becomes U+FFFD.
//
// Decoding never makes the text longer, so the answer is written into a
// buffer of the size of the rest of the reply, and the answer written so far
// never reaches past the part of the reply read so far.
class ValueDecoder {
 public:
  explicit ValueDecoder(std::u16string_view reply) : reply_(reply) {}

  // Decodes from `begin` up to the first unescaped quotation mark or the end
  // of the reply.
  std::u16string Decode(std::size_t begin) {
    const std::size_t size = reply_.size();
    out_.resize(size - begin);
    written_ = 0;
    std::size_t pos = begin;
    while (pos < size) {
      pos = CopyPlainRun(pos);
      if (pos >= size || reply_[pos] == u'"') break;
      if (reply_[pos] == u'\\' && pos + 1 < size) {
        pos = DecodeEscape(pos);
      } else {
        Append(reply_[pos]);
        ++pos;
      }
    }
    FlushLoneHigh();
    out_.resize(written_);
    return std::move(out_);
  }

 private:
  // Copies the text from `pos` up to the next code unit that ends a run;
  // returns that unit's position. Whole words are copied ahead, and only the
  // part before the unit that ends the run is kept.
  std::size_t CopyPlainRun(std::size_t pos) {
    const std::size_t size = reply_.size();
    const char16_t* const text = reply_.data();
    if (pos == size || EndsRun(text[pos])) return pos;
    FlushLoneHigh();
    while (size - pos >= kLanesPerWord) {
      std::uint64_t lanes;
      std::memcpy(&lanes, text + pos, sizeof lanes);
      std::memcpy(out_.data() + written_, &lanes, sizeof lanes);
      const std::uint64_t ends = RunEndLanes(lanes);
      const std::size_t plain = ends == 0 ? kLanesPerWord : FirstMarkedLane(ends, kBitsPerLane);
      written_ += plain;
      pos += plain;
      if (plain < kLanesPerWord) return pos;
    }
    for (; pos < size && !EndsRun(text[pos]); ++pos) Put(text[pos]);
    return pos;
  }

  void Put(char16_t c) { out_[written_++] = c; }

  void FlushLoneHigh() {
    if (pendingHigh_ != 0) Put(kReplacementCharacter);
    pendingHigh_ = 0;
  }

  void Append(char16_t c) {
    FlushLoneHigh();
    if (!IsRemovedControl(c)) Put(c);
  }

  // Decodes the escape whose backslash stands at `pos`; returns where reading
  // goes on. A malformed escape keeps its backslash, and the character after
  // it is read on its own.
  std::size_t DecodeEscape(std::size_t pos) {
    switch (reply_[pos + 1]) {
      case u'"': Append(u'"'); return pos + 2;
      case u'\\': Append(u'\\'); return pos + 2;
      case u'/': Append(u'/'); return pos + 2;
      case u'b': Append(u'\b'); return pos + 2;
      case u'f': Append(u'\f'); return pos + 2;
      case u'n': Append(u'\n'); return pos + 2;
      case u'r': Append(u'\r'); return pos + 2;
      case u't': Append(u'\t'); return pos + 2;
      case u'u': {
        const long unit = ParseHex4(reply_, pos + 2);
        if (unit < 0) break;
        AppendEscapedUnit(static_cast<char16_t>(unit));
        return pos + 6;
      }
      default: break;
    }
    Append(u'\\');
    return pos + 1;
  }

  void AppendEscapedUnit(char16_t unit) {
    if (IsLowSurrogate(unit) && pendingHigh_ != 0) {
      Put(pendingHigh_);
      Put(unit);
      pendingHigh_ = 0;
    } else if (IsHighSurrogate(unit)) {
      FlushLoneHigh();
      pendingHigh_ = unit;
    } else {
      Append(IsLowSurrogate(unit) ? kReplacementCharacter : unit);
    }
  }

  std::u16string_view reply_;
  std::u16string out_;
  std::size_t written_ = 0;
  char16_t pendingHigh_ = 0;
};

}  // namespace

std::u16string ParseFailureText(std::u16string_view reply) {
  const std::u16string_view shown = reply.substr(0, kParseFailureShownUnits);
  std::u16string text;
  text.reserve(kParseFailurePrefix.size() + shown.size() + 3);
  text += kParseFailurePrefix;
  text += shown;
  text += u"...";
  return text;
}

std::u16string ExtractResponseText(std::u16string_view reply) {
  try {
    if (reply.size() < kShortestReply) return ParseFailureText(reply);
    const std::size_t value = FindTextValue(reply);
    if (value == std::u16string_view::npos || value >= reply.size() || reply[value] == u'"') {
      return ParseFailureText(reply);
    }
    return ValueDecoder(reply).Decode(value);
  } catch (const std::exception&) {
    return std::u16string(kErrorParseException);
  } catch (...) {
    return std::u16string(kErrorParseUnexpected);
  }
}

}  // namespace parlivo
