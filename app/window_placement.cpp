#include "app/window_placement.h"

#include <limits>
#include <string>

namespace parlivo {
namespace {

constexpr std::u16string_view kPosOption = u"--pos";
constexpr int kMinOffset = 30;
constexpr int kOffsetSpread = 51;  // offsets run from 30 to 80
constexpr int kEdgeFallback = 20;

constexpr bool IsScanSpace(char16_t c) {
  return c == u' ' || (c >= u'\t' && c <= u'\r');
}

// Reads one decimal integer the way "%d" does: white space, an optional sign,
// then digits. Values outside the range of int are refused.
std::optional<int> ScanInt(std::u16string_view text, std::size_t& pos) {
  while (pos < text.size() && IsScanSpace(text[pos])) ++pos;
  bool negative = false;
  if (pos < text.size() && (text[pos] == u'-' || text[pos] == u'+')) {
    negative = text[pos] == u'-';
    ++pos;
  }
  const std::size_t digitsStart = pos;
  long long value = 0;
  constexpr long long kLimit = static_cast<long long>(std::numeric_limits<int>::max()) + 1;
  while (pos < text.size() && text[pos] >= u'0' && text[pos] <= u'9') {
    value = value * 10 + (text[pos] - u'0');
    if (value > kLimit) return std::nullopt;
    ++pos;
  }
  if (pos == digitsStart) return std::nullopt;
  if (negative) value = -value;
  if (value > std::numeric_limits<int>::max()) return std::nullopt;
  return static_cast<int>(value);
}

void AppendDecimal(std::u16string& out, int value) {
  const std::string digits = std::to_string(value);
  out.append(digits.begin(), digits.end());
}

}  // namespace

std::optional<Point> ParsePosOption(std::u16string_view commandLine) {
  std::size_t pos = commandLine.find(kPosOption);
  if (pos == std::u16string_view::npos) return std::nullopt;
  pos += kPosOption.size();
  const std::optional<int> x = ScanInt(commandLine, pos);
  if (!x) return std::nullopt;
  const std::optional<int> y = ScanInt(commandLine, pos);
  if (!y) return std::nullopt;
  return Point{*x, *y};
}

Point CenteredPosition(int screenWidth, int screenHeight) {
  return {(screenWidth - kMainWindowWidth) / 2, (screenHeight - kMainWindowHeight) / 2};
}

Point NewWindowPosition(const Rect& current, int firstDraw, int secondDraw, int screenWidth,
                        int screenHeight) {
  const int dx = kMinOffset + firstDraw % kOffsetSpread;
  const int dy = kMinOffset + secondDraw % kOffsetSpread;
  Point p{current.left - dx, current.top - dy};
  if (p.x < 0) p.x = kEdgeFallback;
  if (p.y < 0) p.y = kEdgeFallback;
  // The bounds are the window's size; the values put in their place lie
  // another 20 pixels further in.
  if (p.y > screenHeight - kMainWindowHeight) p.y = screenHeight - kMainWindowHeight - kEdgeFallback;
  if (p.x > screenWidth - kMainWindowWidth) p.x = screenWidth - kMainWindowWidth - kEdgeFallback;
  return p;
}

std::u16string NewWindowCommandLine(Point position) {
  std::u16string line = u"Parlivo.exe --pos ";
  AppendDecimal(line, position.x);
  line += u' ';
  AppendDecimal(line, position.y);
  return line;
}

Point CenterOver(const Rect& outer, const Rect& inner) {
  const int outerWidth = outer.right - outer.left;
  const int outerHeight = outer.bottom - outer.top;
  const int innerWidth = inner.right - inner.left;
  const int innerHeight = inner.bottom - inner.top;
  return {outer.left + (outerWidth - innerWidth) / 2, outer.top + (outerHeight - innerHeight) / 2};
}

}  // namespace parlivo
