#pragma once

// What is on the screen: pixels copied from the desktop, as a person sees them.

#include <windows.h>

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace driver {

struct Pixels {
  int width = 0;
  int height = 0;
  std::vector<std::uint32_t> rgb;  // 0x00RRGGBB, rows top-down
};

Pixels CaptureScreen(const RECT& area);

// A 24-bit bottom-up BMP file.
void WriteBitmapFile(const Pixels& pixels, const std::wstring& path);

// How well shown pixels reproduce each of the four system icons of message
// boxes ("error", "warning", "information", "question"), as the share of the
// icon's opaque pixels that match.
struct IconMatch {
  std::string best = "none";
  double bestScore = 0.0;
  std::vector<std::pair<std::string, double>> scores;

  std::string ToJson() const;
};

IconMatch MatchSystemIcon(const Pixels& shown);

}  // namespace driver
