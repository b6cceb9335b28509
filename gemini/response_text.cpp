#include "gemini/response_text.h"

#include <cstdint>
#include <cstring>
#include <exception>
#include <iterator>
#include <type_traits>

#include "common/lanes.h"
#include "common/utf8.h"

namespace parlivo {
namespace {

// The reply is read either as UTF-16 or as the UTF-8 bytes that convert to
// it; `Char` is the code unit of the form at hand. Every code unit that
// steers the extraction (quotation mark, backslash, colon, white space,
// control characters, hex digits, the letters of the member name) is ASCII,
// and in UTF-8 no ASCII byte belongs to a multi-byte sequence. So both forms
// hold the same steering units in the same order, with the same text between
// them, and are read by the same code. Only the copying of plain text
// differs: UTF-16 is copied as it stands, UTF-8 is widened and decoded.
template <typename Char>
constexpr bool kIsUtf8 = std::is_same_v<Char, char>;

// A code unit as a number; a UTF-8 byte gives 0 to 255.
constexpr char16_t UnitValue(char16_t c) { return c; }
constexpr char16_t UnitValue(char c) { return static_cast<unsigned char>(c); }

template <typename Char>
constexpr Char kTextMemberName[] = {'"', 't', 'e', 'x', 't', '"'};
// Shorter replies cannot hold the member name, the colon and a value, in
// code units or in bytes.
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

// Where copying plain text stops: at the end of the run and, in UTF-8, at a
// byte of a multi-byte sequence, which the decoder of common/utf8 takes on.
template <typename Char>
constexpr bool StopsCopy(char16_t c) {
  return EndsRun(c) || (kIsUtf8<Char> && c >= 0x80);
}

// Answers run to hundreds of kilobytes, so plain text is looked at a 64-bit
// word at a time, with a lane for each code unit: eight bytes of UTF-8 or
// four units of UTF-16. (Two words at a time copy long runs a little faster
// with -O2, but escape-dense text slower, and everything slower with -Os.)
//
// The top bit of each lane whose code unit stops the copy (see StopsCopy).
// Each test adds to the low bits of a lane so that its top bit says
// "passed"; such a sum never carries into the next lane, so the lanes do not
// disturb each other. A lane with its own top bit set holds no ASCII
// character: it never ends a run, and in UTF-8 it stops the copy.
template <typename Char>
constexpr std::uint64_t StopLanes(std::uint64_t lanes) {
  using L = Lanes<Char>;
  constexpr std::uint64_t kOnes = L::kOneInEach;
  constexpr std::uint64_t kTopBitOfLane = std::uint64_t{1} << (L::kBits - 1);
  const std::uint64_t low = lanes & L::kLowBitsOfEach;
  const std::uint64_t notControl = low + kOnes * (kTopBitOfLane - 0x20);
  const std::uint64_t notQuote = (low ^ (kOnes * '"')) + L::kLowBitsOfEach;
  const std::uint64_t notBackslash = (low ^ (kOnes * '\\')) + L::kLowBitsOfEach;
  const std::uint64_t runEnds = ~((notControl & notQuote & notBackslash) | lanes);
  return (kIsUtf8<Char> ? runEnds | lanes : runEnds) & L::kTopBitOfEach;
}

// Copies the whole word of code units at `src` to `dest`, widening UTF-8 as
// if it were ASCII, and returns how many of its units come before the first
// that stops the copy: only those count.
template <typename Char>
std::size_t CopyWord(const Char* src, char16_t* dest) {
  using L = Lanes<Char>;
  std::uint64_t lanes;
  std::memcpy(&lanes, src, sizeof lanes);
  if constexpr (kIsUtf8<Char>) {
    std::uint8_t bytes[L::kPerWord];
    std::memcpy(bytes, src, sizeof bytes);
    for (std::size_t k = 0; k < L::kPerWord; ++k) dest[k] = bytes[k];
  } else {
    std::memcpy(dest, src, sizeof lanes);
  }
  const std::uint64_t stops = StopLanes<Char>(lanes);
  return stops == 0 ? L::kPerWord : FirstMarkedLane(stops, L::kBits);
}

template <typename Char>
std::size_t SkipJsonWhitespace(std::basic_string_view<Char> text, std::size_t pos) {
  while (pos < text.size() && IsJsonWhitespace(UnitValue(text[pos]))) ++pos;
  return pos;
}

// Where the value of the first "text" member begins (after its opening
// quotation mark), or npos. The name must be followed by a colon and a
// string, with JSON white space allowed around the colon.
template <typename Char>
std::size_t FindTextValue(std::basic_string_view<Char> reply) {
  const std::basic_string_view<Char> name(kTextMemberName<Char>, std::size(kTextMemberName<Char>));
  for (std::size_t at = reply.find(name); at != reply.npos; at = reply.find(name, at + 1)) {
    std::size_t pos = SkipJsonWhitespace(reply, at + name.size());
    if (pos >= reply.size() || reply[pos] != ':') continue;
    pos = SkipJsonWhitespace(reply, pos + 1);
    if (pos < reply.size() && reply[pos] == '"') return pos + 1;
  }
  return reply.npos;
}

int HexValue(char16_t c) {
  if (c >= u'0' && c <= u'9') return c - u'0';
  if (c >= u'a' && c <= u'f') return c - u'a' + 10;
  if (c >= u'A' && c <= u'F') return c - u'A' + 10;
  return -1;
}

// The code unit of a \uXXXX escape whose four digits start at `pos`, or -1.
// The digits are ASCII, so four bytes of UTF-8 hold them when four code
// units of UTF-16 do.
template <typename Char>
long ParseHex4(std::basic_string_view<Char> text, std::size_t pos) {
  if (pos > text.size() || text.size() - pos < 4) return -1;
  long value = 0;
  for (std::size_t i = 0; i < 4; ++i) {
    const int digit = HexValue(UnitValue(text[pos + i]));
    if (digit < 0) return -1;
    value = value * 16 + digit;
  }
  return value;
}

// Decodes one JSON string value into the answer. Escaped surrogate pairs
// are joined; an escaped surrogate without its partner becomes U+FFFD.
//
// Decoding never makes the text longer (nor does converting UTF-8), so the
// answer is written into a buffer with a code unit for each unit of the rest
// of the reply, and the answer written so far never reaches past the part of
// the reply read so far.
template <typename Char>
class ValueDecoder {
 public:
  explicit ValueDecoder(std::basic_string_view<Char> reply) : reply_(reply) {}

  // Decodes from `begin` up to the first unescaped quotation mark or the end
  // of the reply.
  std::u16string Decode(std::size_t begin) {
    const std::size_t size = reply_.size();
    std::u16string answer(size - begin, u'\0');
    dest_ = answer.data();
    std::size_t pos = begin;
    for (;;) {
      pos = CopyPlainRun(pos);
      if (pos >= size || At(pos) == u'"') break;
      if (At(pos) == u'\\' && pos + 1 < size) {
        pos = DecodeEscape(pos);
      } else {
        Append(At(pos));
        ++pos;
      }
    }
    answer.resize(static_cast<std::size_t>(dest_ - answer.data()));
    return answer;
  }

 private:
  static constexpr std::size_t kUnicodeEscapeLength = 6;  // \uXXXX

  char16_t At(std::size_t pos) const { return UnitValue(reply_[pos]); }

  // Copies the text from `pos` up to the next code unit that ends a run;
  // returns that unit's position.
  std::size_t CopyPlainRun(std::size_t pos) {
    if (pos == reply_.size() || EndsRun(At(pos))) return pos;
    for (;;) {
      pos = CopyUpToStop(pos);
      if constexpr (kIsUtf8<Char>) {
        if (pos < reply_.size() && At(pos) >= 0x80) {
          const Utf8DecodeEnd end = DecodeNonAsciiRun(reply_, pos, dest_);
          pos = end.pos;
          dest_ = end.dest;
          continue;
        }
      }
      return pos;
    }
  }

  // Copies from `pos` up to the next code unit that stops the copy; returns
  // its position. Whole words are copied ahead, and only the part before
  // the unit that stops the copy is kept.
  std::size_t CopyUpToStop(std::size_t pos) {
    constexpr std::size_t kWordUnits = Lanes<Char>::kPerWord;
    const std::size_t size = reply_.size();
    while (size - pos >= kWordUnits) {
      const std::size_t plain = CopyWord(reply_.data() + pos, dest_);
      dest_ += plain;
      pos += plain;
      if (plain < kWordUnits) return pos;
    }
    for (; pos < size && !StopsCopy<Char>(At(pos)); ++pos) Put(At(pos));
    return pos;
  }

  void Put(char16_t c) { *dest_++ = c; }

  void Append(char16_t c) {
    if (!IsRemovedControl(c)) Put(c);
  }

  // Decodes the escape whose backslash stands at `pos`; returns where reading
  // goes on. A malformed escape keeps its backslash, and the character after
  // it is read on its own.
  std::size_t DecodeEscape(std::size_t pos) {
    switch (At(pos + 1)) {
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
        AppendEscapedUnit(static_cast<char16_t>(unit), pos);
        return pos + kUnicodeEscapeLength;
      }
      default: break;
    }
    Append(u'\\');
    return pos + 1;
  }

  // An escaped high surrogate goes into the answer as U+FFFD at once; when
  // the escape right after it is a low surrogate, the pair takes its place.
  void AppendEscapedUnit(char16_t unit, std::size_t escapeStart) {
    if (IsLowSurrogate(unit) && escapeStart == highSurrogateEnd_) {
      dest_[-1] = highSurrogate_;
      Put(unit);
    } else if (IsHighSurrogate(unit)) {
      Put(kReplacementCharacter);
      highSurrogate_ = unit;
      highSurrogateEnd_ = escapeStart + kUnicodeEscapeLength;
    } else {
      Append(IsLowSurrogate(unit) ? kReplacementCharacter : unit);
    }
  }

  std::basic_string_view<Char> reply_;
  char16_t* dest_ = nullptr;  // where the next code unit of the answer goes
  char16_t highSurrogate_ = 0;
  std::size_t highSurrogateEnd_ = std::basic_string_view<Char>::npos;  // of its escape
};

// Each UTF-16 code unit comes from at most three bytes (a four-byte
// character gives two units), so this many bytes convert to at least one
// unit more than the failure text shows. The conversion of a prefix differs
// from that of the whole reply only in its last unit, when the cut broke a
// character, so the units shown are those of the whole reply.
constexpr std::size_t kShownBytesBound = 3 * (kParseFailureShownUnits + 1);

std::u16string FailureText(std::u16string_view reply) { return ParseFailureText(reply); }
std::u16string FailureText(std::string_view replyBytes) {
  return ParseFailureText(Utf8ToUtf16(replyBytes.substr(0, kShownBytesBound)));
}

template <typename Char>
std::u16string Extract(std::basic_string_view<Char> reply) {
  try {
    if (reply.size() < kShortestReply) return FailureText(reply);
    const std::size_t value = FindTextValue(reply);
    if (value == reply.npos || value >= reply.size() || reply[value] == '"') {
      return FailureText(reply);
    }
    return ValueDecoder<Char>(reply).Decode(value);
  } catch (const std::exception&) {
    return std::u16string(kErrorParseException);
  } catch (...) {
    return std::u16string(kErrorParseUnexpected);
  }
}

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

std::u16string ExtractResponseText(std::u16string_view reply) { return Extract(reply); }

std::u16string ExtractResponseTextFromUtf8(std::string_view replyBytes) {
  return Extract(replyBytes);
}

}  // namespace parlivo
