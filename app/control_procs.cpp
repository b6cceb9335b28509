#include "app/control_procs.h"

#include "app/shell_state.h"
#include "translate/translate_command_win.h"

namespace parlivo {
namespace {

constexpr COLORREF kModelLabelColor = RGB(0, 128, 0);
constexpr int kModelLabelCapacity = 256;
constexpr WPARAM kLetterA = 'A';

// The key state that belongs to the message being handled.
bool IsHeld(int virtualKey) { return (GetKeyState(virtualKey) & 0x8000) != 0; }

bool IsSelectAll(UINT message, WPARAM key) {
  return message == WM_KEYDOWN && key == kLetterA && IsHeld(VK_CONTROL);
}

void SelectAll(HWND box) { SendMessageW(box, EM_SETSEL, 0, -1); }

// Forward only, whatever Shift says.
bool MoveFocusOn(HWND box) {
  const HWND parent = GetParent(box);
  if (parent == nullptr) return false;
  const HWND next = GetNextDlgTabItem(parent, box, FALSE);
  if (next == nullptr) return false;
  SetFocus(next);
  return true;
}

void PaintModelLabel(HWND label) {
  PAINTSTRUCT paint;
  const HDC dc = BeginPaint(label, &paint);
  RECT client;
  GetClientRect(label, &client);
  wchar_t text[kModelLabelCapacity];
  GetWindowTextW(label, text, kModelLabelCapacity);
  SetTextColor(dc, kModelLabelColor);
  SetBkMode(dc, TRANSPARENT);
  const auto font = reinterpret_cast<HFONT>(SendMessageW(label, WM_GETFONT, 0, 0));
  const HGDIOBJ previousFont = font != nullptr ? SelectObject(dc, font) : nullptr;
  DrawTextW(dc, text, -1, &client, DT_SINGLELINE | DT_CENTER | DT_VCENTER);
  if (font != nullptr) SelectObject(dc, previousFont);
  EndPaint(label, &paint);
}

}  // namespace

LRESULT CALLBACK InputBoxProc(HWND box, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_KEYDOWN && wParam == VK_RETURN && !IsHeld(VK_SHIFT)) {
    if (const HWND parent = GetParent(box)) OnTranslate(parent);
    return 0;
  }
  if (IsSelectAll(message, wParam)) {
    SelectAll(box);
    return 0;
  }
  if (message == WM_KEYDOWN && wParam == VK_TAB && MoveFocusOn(box)) return 0;
  // Tab's character still comes here after the key moved the focus on; it
  // would put a tab into the text the user has just left.
  if (message == WM_CHAR && wParam == L'\t' && GetFocus() != box) return 0;
  // Enter's character would insert a line break; only Shift+Enter may.
  if (message == WM_CHAR && wParam == '\r' && !IsHeld(VK_SHIFT)) return 0;
  return CallWindowProcW(g_shell.inputBoxPrevious, box, message, wParam, lParam);
}

LRESULT CALLBACK OutputBoxProc(HWND box, UINT message, WPARAM wParam, LPARAM lParam) {
  if (IsSelectAll(message, wParam)) {
    SelectAll(box);
    return 0;
  }
  WNDPROC previous = nullptr;
  if (box == g_shell.arabicBox) previous = g_shell.arabicBoxPrevious;
  else if (box == g_shell.englishBox) previous = g_shell.englishBoxPrevious;
  else if (box == g_shell.germanBox) previous = g_shell.germanBoxPrevious;
  if (previous == nullptr) return DefWindowProcW(box, message, wParam, lParam);
  return CallWindowProcW(previous, box, message, wParam, lParam);
}

LRESULT CALLBACK ModelLabelProc(HWND label, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_PAINT) {
    PaintModelLabel(label);
    return 0;
  }
  return CallWindowProcW(g_shell.modelLabelPrevious, label, message, wParam, lParam);
}

}  // namespace parlivo
