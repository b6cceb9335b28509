#pragma once

#include <optional>
#include <string>
#include <string_view>

// Window position arithmetic of the shell, kept free of Win32 so it can be
// tested on its own.
namespace parlivo {

inline constexpr int kMainWindowWidth = 450;
inline constexpr int kMainWindowHeight = 380;

struct Point {
  int x = 0;
  int y = 0;
  friend bool operator==(const Point&, const Point&) = default;
};

struct Rect {
  int left = 0;
  int top = 0;
  int right = 0;
  int bottom = 0;
};

// The position asked for with "--pos X Y" anywhere in the command line (the
// first "--pos" counts; each number may be preceded by white space), or
// nothing when it is absent or not followed by two integers.
std::optional<Point> ParsePosOption(std::u16string_view commandLine);

// The main window's top-left corner when it is centred on the screen.
Point CenteredPosition(int screenWidth, int screenHeight);

// Where the New command opens the second window: up and to the left of the
// current one by 30 to 80 pixels per axis (from two draws of rand()), kept on
// the screen by the command's own rules.
Point NewWindowPosition(const Rect& current, int firstDraw, int secondDraw, int screenWidth,
                        int screenHeight);

// The command line of the second process: "Parlivo.exe --pos X Y".
std::u16string NewWindowCommandLine(Point position);

// The top-left corner that centres a window of `inner`'s size over `outer`.
Point CenterOver(const Rect& outer, const Rect& inner);

}  // namespace parlivo
