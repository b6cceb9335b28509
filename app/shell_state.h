#pragma once

#include <windows.h>

// Handles and saved procedures of the main window's controls. Set by
// CreateMainWindow and valid until the main window is destroyed.
namespace parlivo {

inline constexpr int kNameCapacity = 100;

struct ShellState {
  HINSTANCE instance = nullptr;
  wchar_t windowTitle[kNameCapacity] = {};
  wchar_t className[kNameCapacity] = {};

  HWND modelLabel = nullptr;
  HWND inputBox = nullptr;
  HWND translateButton = nullptr;
  HWND clearButton = nullptr;
  HWND exitButton = nullptr;
  HWND arabicBox = nullptr;
  HWND englishBox = nullptr;
  HWND germanBox = nullptr;

  HFONT font = nullptr;

  // Previous window procedures of the subclassed controls.
  WNDPROC inputBoxPrevious = nullptr;
  WNDPROC arabicBoxPrevious = nullptr;
  WNDPROC englishBoxPrevious = nullptr;
  WNDPROC germanBoxPrevious = nullptr;
  WNDPROC modelLabelPrevious = nullptr;
};

extern ShellState g_shell;

}  // namespace parlivo
