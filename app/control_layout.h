#pragma once

#include <windows.h>

#include "app/resource_ids.h"
#include "app/shell_state.h"

// The main window and its eight controls: classes, styles, geometry and the
// shared font, as CreateMainWindow builds them.
namespace parlivo {

inline constexpr DWORD kMainWindowStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;
inline constexpr DWORD kLabelStyle = WS_CHILD | WS_VISIBLE | SS_CENTER;
inline constexpr DWORD kInputStyle =
    WS_CHILD | WS_VISIBLE | WS_BORDER | WS_VSCROLL | ES_MULTILINE | ES_WANTRETURN;
inline constexpr DWORD kButtonStyle = WS_CHILD | WS_VISIBLE | BS_PUSHBUTTON;
inline constexpr DWORD kOutputStyle = WS_CHILD | WS_VISIBLE | WS_BORDER | WS_VSCROLL |
                                      ES_MULTILINE | ES_AUTOVSCROLL | ES_READONLY | ES_WANTRETURN;

inline constexpr int kFontHeight = 20;
inline constexpr wchar_t kFontFace[] = L"Segoe UI";

struct ControlLayout {
  const wchar_t* className;
  int id;
  const wchar_t* text;
  int x, y, width, height;
  DWORD style;
  HWND ShellState::*handle;
};

// In creation order. The Clear button overlaps the model label on purpose.
inline constexpr ControlLayout kControls[] = {
    {L"STATIC", IDC_MODEL_LABEL, L"", 12, 12, 280, 18, kLabelStyle, &ShellState::modelLabel},
    {L"EDIT", IDC_INPUT_BOX, L"", 10, 35, 280, 65, kInputStyle, &ShellState::inputBox},
    {L"BUTTON", IDC_TRANSLATE_BUTTON, L"Translate", 295, 35, 85, 40, kButtonStyle,
     &ShellState::translateButton},
    {L"BUTTON", IDC_CLEAR_BUTTON, L"C", 10, 10, 20, 20, kButtonStyle, &ShellState::clearButton},
    {L"BUTTON", IDC_EXIT_BUTTON, L"Exit", 385, 35, 45, 40, kButtonStyle, &ShellState::exitButton},
    {L"EDIT", IDC_ARABIC_BOX, L"", 10, 105, 420, 65, kOutputStyle, &ShellState::arabicBox},
    {L"EDIT", IDC_ENGLISH_BOX, L"", 10, 175, 420, 65, kOutputStyle, &ShellState::englishBox},
    {L"EDIT", IDC_GERMAN_BOX, L"", 10, 245, 420, 65, kOutputStyle, &ShellState::germanBox},
};

// The font every control but the model label gets at creation.
inline HFONT CreateSharedFont() {
  const HFONT font = CreateFontW(kFontHeight, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE,
                                 ANSI_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
                                 DEFAULT_QUALITY, FF_SWISS | DEFAULT_PITCH, kFontFace);
  return font != nullptr ? font : static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
}

}  // namespace parlivo
