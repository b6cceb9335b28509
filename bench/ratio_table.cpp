#include "bench/ratio_table.h"

#include <algorithm>
#include <cstdio>
#include <optional>
#include <string>
#include <vector>

#include "bench/bench_names.h"

namespace parlivo::bench {
namespace {

enum class Kind {
  kFaster,  // how many times as long the other side takes
  kFloor,   // how many times as long as memcpy
  kLinear,  // 16 times the input should cost about 16 times the time
};

// A linear pass costs the ratio of the two sizes; twice that still counts as
// linear, since the larger input no longer fits the caches. A quadratic pass
// would show the square, 256.
constexpr double kLinearRatio = static_cast<double>(kLargeBlock.count) / kSmallBlock.count;
constexpr double kLinearLimit = 2 * kLinearRatio;
constexpr double kParserGoal = 10;

// Ratios without a goal are shown for information. Beside memcpy no pass has
// one: a 1 MiB reply's extraction takes milliseconds against the seconds its
// text takes to lay out, so how near a pass comes to copying says nothing
// about what a user waits for (the program benchmark holds extraction and
// cutting to a share of the whole translation instead). Against the parser
// the goal holds for replies a user meets, and for plain text of any size;
// escape-dense replies of 64 KiB and more are shown for information.
struct Ratio {
  std::string label;
  std::string numerator;    // the benchmark whose time is divided
  std::string denominator;  // by this one's
  Kind kind;
  std::optional<double> goal;
};

std::string SizeText(Size size) {
  if (size.count % (1024 * 1024) == 0) return std::to_string(size.count / (1024 * 1024)) + " MiB";
  return std::to_string(size.count / 1024) + " KiB";
}

std::vector<Ratio> Ratios() {
  std::vector<Ratio> ratios;
  const std::string_view flavours[] = {kPlainLabel, kEscapedLabel};
  for (const Size size : {kRealisticReply, kSmallBlock, kLargeBlock}) {
    for (const std::string_view flavour : flavours) {
      const bool realisticOrPlain = size.count == kRealisticReply.count || flavour == kPlainLabel;
      ratios.push_back({"extract vs parser " + SizeText(size) + " " + std::string(flavour),
                        BenchName(kParser, flavour, size),
                        BenchName(kExtractFromUtf8, flavour, size), Kind::kFaster,
                        realisticOrPlain ? std::optional(kParserGoal) : std::nullopt});
    }
  }
  for (const std::string_view flavour : flavours) {
    const std::string suffix = " 1 MiB " + std::string(flavour);
    const std::string memcpyUtf8 = BenchName(kMemcpyUtf8, flavour, kLargeBlock);
    ratios.push_back({"ExtractResponseText vs memcpy UTF-16" + suffix,
                      BenchName(kExtract, flavour, kLargeBlock),
                      BenchName(kMemcpyUtf16, flavour, kLargeBlock), Kind::kFloor, std::nullopt});
    ratios.push_back({"extract from bytes vs memcpy UTF-8" + suffix,
                      BenchName(kExtractFromUtf8, flavour, kLargeBlock), memcpyUtf8, Kind::kFloor,
                      std::nullopt});
    ratios.push_back({"convert then extract vs memcpy UTF-8" + suffix,
                      BenchName(kConvertThenExtract, flavour, kLargeBlock), memcpyUtf8,
                      Kind::kFloor, std::nullopt});
    ratios.push_back({"HttpPost vs memcpy UTF-8" + suffix,
                      BenchName(kHttpPost, flavour, kLargeBlock), memcpyUtf8, Kind::kFloor,
                      std::nullopt});
  }
  const auto scaling = [&](std::string_view shownAs, std::string_view operation,
                           std::string_view variant) {
    std::string label = "scaling " + std::string(shownAs);
    if (!variant.empty()) label += " " + std::string(variant);
    ratios.push_back({label + " 1 MiB / 64 KiB", BenchName(operation, variant, kLargeBlock),
                      BenchName(operation, variant, kSmallBlock), Kind::kLinear, kLinearLimit});
  };
  for (const std::string_view flavour : flavours) {
    scaling("ExtractResponseText", kExtract, flavour);
    scaling("extract from bytes", kExtractFromUtf8, flavour);
    scaling("HttpPost", kHttpPost, flavour);
  }
  scaling("CutAnswer", kCutAnswer, "");
  scaling("StripInvisibleChars", kStripInvisible, "");
  scaling("EscapeJson", kEscapeJson, "");
  for (const std::string_view script : {kAsciiLabel, kArabicLabel}) {
    scaling("Utf8ToUtf16", kUtf8ToUtf16, script);
    scaling("Utf16ToUtf8", kUtf16ToUtf8, script);
  }
  return ratios;
}

struct Verdict {
  std::string value;
  std::string goal;
  std::string outcome;
};

std::string Format(const char* format, double value) {
  char text[64];
  std::snprintf(text, sizeof text, format, value);
  return text;
}

std::string ValueText(Kind kind, double value) {
  switch (kind) {
    case Kind::kFaster: return Format("%.1fx faster", value);
    case Kind::kFloor: return Format("%.1fx memcpy", value);
    case Kind::kLinear: return Format("%.1fx", value);
  }
  return {};
}

// Only speed against the parser and linear scaling have goals.
Verdict Judge(const Ratio& ratio, double value) {
  const std::string shown = ValueText(ratio.kind, value);
  if (!ratio.goal) return {shown, "no goal", "-"};
  if (ratio.kind == Kind::kFaster) {
    return {shown, Format("goal >= %.0fx", *ratio.goal), value >= *ratio.goal ? "met" : "MISSED"};
  }
  return {shown, Format("goal ~%.0fx, linear", kLinearRatio),
          value <= *ratio.goal ? "met" : "MISSED"};
}

}  // namespace

int PrintRatioTable(const MedianReporter& results, bool everyBenchmarkRan, std::ostream& out) {
  const std::vector<Ratio> ratios = Ratios();
  std::size_t labelWidth = 0;
  for (const Ratio& ratio : ratios) labelWidth = std::max(labelWidth, ratio.label.size());

  int missing = 0;
  int met = 0;
  int judged = 0;
  out << "\nRatios of median CPU times. Spread: (slowest - fastest) / median over the"
         " repetitions,\nthe larger of the two sides. Linear: at most "
      << kLinearLimit << "x; a quadratic pass would show 256x.\n";
  for (const Ratio& ratio : ratios) {
    const std::optional<double> numerator = results.MedianSeconds(ratio.numerator);
    const std::optional<double> denominator = results.MedianSeconds(ratio.denominator);
    if (!numerator || !denominator || *denominator <= 0) {
      // A filtered run leaves out what it did not select.
      if (everyBenchmarkRan) {
        out << ratio.label << ": not run\n";
        ++missing;
      }
      continue;
    }
    const Verdict verdict = Judge(ratio, *numerator / *denominator);
    const double spread = std::max(results.Spread(ratio.numerator).value_or(0),
                                   results.Spread(ratio.denominator).value_or(0));
    char line[256];
    std::snprintf(line, sizeof line, "%-*s  %-13s  %-19s  %-6s  spread %.0f%%\n",
                  static_cast<int>(labelWidth + 1), (ratio.label + ':').c_str(),
                  verdict.value.c_str(), verdict.goal.c_str(), verdict.outcome.c_str(),
                  spread * 100);
    out << line;
    if (verdict.outcome != "-") {
      ++judged;
      if (verdict.outcome == "met") ++met;
    }
  }
  if (judged > 0) out << "Goals met: " << met << " of " << judged << '\n';
  return missing;
}

}  // namespace parlivo::bench
