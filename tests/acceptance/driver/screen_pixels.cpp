#include "screen_pixels.h"

#include <cstdlib>
#include <fstream>
#include <functional>

#include "protocol.h"

namespace driver {
namespace {

// A channel may differ this much between the icon drawn here and on screen.
constexpr int kIconChannelTolerance = 24;

struct SystemIcon {
  const char* name;
  WORD resource;  // the number behind IDI_HAND and the like
};

constexpr SystemIcon kSystemIcons[] = {
    {"error", 32513},        // IDI_HAND
    {"question", 32514},     // IDI_QUESTION
    {"warning", 32515},      // IDI_EXCLAMATION
    {"information", 32516},  // IDI_ASTERISK
};

// Runs `draw` on a 32-bit top-down bitmap of the given size and returns its pixels.
Pixels DrawOffscreen(int width, int height, const std::function<void(HDC)>& draw) {
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof(info.bmiHeader);
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = -height;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  HDC screen = GetDC(nullptr);
  HDC memory = CreateCompatibleDC(screen);
  void* bits = nullptr;
  HBITMAP bitmap = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  if (bitmap == nullptr) {
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    throw CommandError("cannot create a bitmap");
  }
  HGDIOBJ previous = SelectObject(memory, bitmap);
  draw(memory);
  GdiFlush();
  Pixels pixels{width, height, {}};
  const auto* source = static_cast<const std::uint32_t*>(bits);
  pixels.rgb.assign(source, source + static_cast<std::size_t>(width) * height);
  for (std::uint32_t& pixel : pixels.rgb) pixel &= 0xFFFFFF;
  SelectObject(memory, previous);
  DeleteObject(bitmap);
  DeleteDC(memory);
  ReleaseDC(nullptr, screen);
  return pixels;
}

int Channel(std::uint32_t rgb, int shift) { return static_cast<int>((rgb >> shift) & 0xFF); }

bool Near(std::uint32_t a, std::uint32_t b, int tolerance) {
  for (const int shift : {0, 8, 16}) {
    if (std::abs(Channel(a, shift) - Channel(b, shift)) > tolerance) return false;
  }
  return true;
}

Pixels DrawIconOn(HICON icon, int width, int height, COLORREF background) {
  return DrawOffscreen(width, height, [&](HDC dc) {
    HBRUSH brush = CreateSolidBrush(background);
    RECT all{0, 0, width, height};
    FillRect(dc, &all, brush);
    DeleteObject(brush);
    DrawIconEx(dc, 0, 0, icon, width, height, 0, nullptr, DI_NORMAL);
  });
}

// Share of the icon's opaque pixels (the same on black and on white) that
// the shown pixels reproduce.
double ScoreIcon(const Pixels& shown, WORD resource) {
  HICON icon = LoadIconW(nullptr, MAKEINTRESOURCEW(resource));
  if (icon == nullptr) return 0.0;
  const Pixels onBlack = DrawIconOn(icon, shown.width, shown.height, RGB(0, 0, 0));
  const Pixels onWhite = DrawIconOn(icon, shown.width, shown.height, RGB(255, 255, 255));
  int opaque = 0;
  int matching = 0;
  for (std::size_t i = 0; i < shown.rgb.size(); ++i) {
    if (onBlack.rgb[i] != onWhite.rgb[i]) continue;
    ++opaque;
    if (Near(onBlack.rgb[i], shown.rgb[i], kIconChannelTolerance)) ++matching;
  }
  return opaque == 0 ? 0.0 : static_cast<double>(matching) / opaque;
}

}  // namespace

Pixels CaptureScreen(const RECT& area) {
  const int width = area.right - area.left;
  const int height = area.bottom - area.top;
  if (width <= 0 || height <= 0) throw CommandError("empty capture area");
  return DrawOffscreen(width, height, [&](HDC dc) {
    HDC screen = GetDC(nullptr);
    BitBlt(dc, 0, 0, width, height, screen, area.left, area.top, SRCCOPY);
    ReleaseDC(nullptr, screen);
  });
}

void WriteBitmapFile(const Pixels& pixels, const std::wstring& path) {
  const int rowBytes = (pixels.width * 3 + 3) & ~3;
  const DWORD imageBytes = static_cast<DWORD>(rowBytes) * pixels.height;
  BITMAPFILEHEADER file{};
  BITMAPINFOHEADER info{};
  file.bfType = 0x4D42;  // "BM"
  file.bfOffBits = sizeof(file) + sizeof(info);
  file.bfSize = file.bfOffBits + imageBytes;
  info.biSize = sizeof(info);
  info.biWidth = pixels.width;
  info.biHeight = pixels.height;
  info.biPlanes = 1;
  info.biBitCount = 24;
  info.biCompression = BI_RGB;
  info.biSizeImage = imageBytes;
  std::ofstream out(path.c_str(), std::ios::binary);
  if (!out) throw CommandError("cannot write " + WideToUtf8(path));
  out.write(reinterpret_cast<const char*>(&file), sizeof(file));
  out.write(reinterpret_cast<const char*>(&info), sizeof(info));
  std::string row(static_cast<std::size_t>(rowBytes), '\0');
  for (int y = pixels.height - 1; y >= 0; --y) {
    for (int x = 0; x < pixels.width; ++x) {
      const std::uint32_t rgb = pixels.rgb[static_cast<std::size_t>(y) * pixels.width + x];
      row[x * 3 + 0] = static_cast<char>(Channel(rgb, 0));
      row[x * 3 + 1] = static_cast<char>(Channel(rgb, 8));
      row[x * 3 + 2] = static_cast<char>(Channel(rgb, 16));
    }
    out.write(row.data(), rowBytes);
  }
}

IconMatch MatchSystemIcon(const Pixels& shown) {
  IconMatch match;
  for (const SystemIcon& icon : kSystemIcons) {
    const double score = ScoreIcon(shown, icon.resource);
    match.scores.emplace_back(icon.name, score);
    if (score > match.bestScore) {
      match.bestScore = score;
      match.best = icon.name;
    }
  }
  return match;
}

std::string IconMatch::ToJson() const {
  JsonObject perMille;
  for (const auto& [name, score] : scores) {
    perMille.Number(name, static_cast<long long>(score * 1000));
  }
  return JsonObject()
      .Text("best", Utf8ToWide(best))
      .Raw("scores_per_mille", perMille.Finish())
      .Finish();
}

}  // namespace driver
