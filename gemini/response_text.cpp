#include "gemini/response_text.h"

#include <exception>
#include <utility>

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
class ValueDecoder {
 public:
  explicit ValueDecoder(std::u16string_view reply) : reply_(reply) {}

  // Decodes from `begin` up to the first unescaped quotation mark or the end
  // of the reply.
  std::u16string Decode(std::size_t begin) {
    const std::size_t size = reply_.size();
    std::size_t pos = begin;
    while (pos < size) {
      // The run of characters that need no decoding is copied in one piece.
      const std::size_t runStart = pos;
      while (pos < size && reply_[pos] != u'"' && reply_[pos] != u'\\' && reply_[pos] >= 0x20) {
        ++pos;
      }
      if (pos > runStart) {
        FlushLoneHigh();
        out_.append(reply_.data() + runStart, pos - runStart);
      }
      if (pos >= size || reply_[pos] == u'"') break;
      if (reply_[pos] == u'\\' && pos + 1 < size) {
        pos = DecodeEscape(pos);
      } else {
        Append(reply_[pos]);
        ++pos;
      }
    }
    FlushLoneHigh();
    return std::move(out_);
  }

 private:
  void FlushLoneHigh() {
    if (pendingHigh_ != 0) out_.push_back(kReplacementCharacter);
    pendingHigh_ = 0;
  }

  void Append(char16_t c) {
    FlushLoneHigh();
    if (!IsRemovedControl(c)) out_.push_back(c);
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
      out_.push_back(pendingHigh_);
      out_.push_back(unit);
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
