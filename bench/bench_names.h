#pragma once

#include <array>
#include <cstddef>
#include <string>
#include <string_view>

namespace parlivo::bench {

// One input size: its count and the label that names it. Replies and UTF-8
// texts count bytes; answers and input count UTF-16 code units.
struct Size {
  std::size_t count;
  std::string_view label;
};

inline constexpr Size kRealisticReply{1024, "1Ki"};
inline constexpr Size kSmallBlock{64 * 1024, "64Ki"};
inline constexpr Size kLargeBlock{1024 * 1024, "1Mi"};
// The answer to a long input.
inline constexpr Size kLongAnswer{10 * 1024, "10Ki"};
// The longest input the Translate command accepts.
inline constexpr Size kLongestInput{10000, "10000"};

// Every linear pass is measured at both sizes; 16 times the input should cost
// about 16 times the time.
inline constexpr std::array<Size, 2> kScalingSizes = {kSmallBlock, kLargeBlock};

inline constexpr std::string_view kPlainLabel = "plain";
inline constexpr std::string_view kEscapedLabel = "escaped";
inline constexpr std::string_view kAsciiLabel = "ascii";
inline constexpr std::string_view kArabicLabel = "arabic";

// "Operation/variant/size", or "Operation/size" without a variant: the name
// under which a benchmark registers and the ratio table finds it.
inline std::string BenchName(std::string_view operation, std::string_view variant, Size size) {
  std::string name(operation);
  if (!variant.empty()) {
    name += '/';
    name += variant;
  }
  name += '/';
  name += size.label;
  return name;
}

// The benchmarked operations, named so that --benchmark_filter takes them
// as plain text.
inline constexpr std::string_view kExtract = "ExtractResponseText";
inline constexpr std::string_view kExtractFromUtf8 = "ExtractResponseTextFromUtf8";
inline constexpr std::string_view kConvertThenExtract = "Utf8ToUtf16_ExtractResponseText";
inline constexpr std::string_view kParser = "nlohmann_json_parse";
inline constexpr std::string_view kMemcpyUtf16 = "memcpy_utf16";
inline constexpr std::string_view kMemcpyUtf8 = "memcpy_utf8";
inline constexpr std::string_view kHttpPost = "HttpPost_8KiB_chunks";
inline constexpr std::string_view kCutAnswer = "CutAnswer";
inline constexpr std::string_view kStripInvisible = "StripInvisibleChars";
inline constexpr std::string_view kEscapeJson = "EscapeJson";
inline constexpr std::string_view kUtf8ToUtf16 = "Utf8ToUtf16";
inline constexpr std::string_view kUtf16ToUtf8 = "Utf16ToUtf8";

}  // namespace parlivo::bench
