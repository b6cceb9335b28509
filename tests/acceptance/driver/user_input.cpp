#include "user_input.h"

#include <algorithm>
#include <cstdlib>
#include <vector>

#include "protocol.h"

namespace driver {
namespace {

constexpr DWORD kForegroundWaitMs = 2000;
constexpr DWORD kPollMs = 20;
constexpr int kAbsoluteSpan = 65535;
constexpr DWORD kPointerRestMs = 100;
constexpr DWORD kPointerArrivalMs = 3000;

struct NamedKey {
  const wchar_t* name;
  WORD virtualKey;
  bool extended;
};

constexpr NamedKey kNamedKeys[] = {
    {L"enter", VK_RETURN, false}, {L"tab", VK_TAB, false},       {L"esc", VK_ESCAPE, false},
    {L"space", VK_SPACE, false},  {L"back", VK_BACK, false},     {L"delete", VK_DELETE, true},
    {L"home", VK_HOME, true},     {L"end", VK_END, true},        {L"left", VK_LEFT, true},
    {L"right", VK_RIGHT, true},   {L"up", VK_UP, true},          {L"down", VK_DOWN, true},
    {L"f4", VK_F4, false},        {L"ctrl", VK_CONTROL, false},  {L"shift", VK_SHIFT, false},
    {L"alt", VK_MENU, false},
};

struct Key {
  WORD virtualKey;
  bool extended;
};

INPUT KeyEvent(Key key, bool up) {
  INPUT input{};
  input.type = INPUT_KEYBOARD;
  input.ki.wVk = key.virtualKey;
  input.ki.wScan = static_cast<WORD>(MapVirtualKeyW(key.virtualKey, MAPVK_VK_TO_VSC));
  input.ki.dwFlags = (up ? KEYEVENTF_KEYUP : 0) | (key.extended ? KEYEVENTF_EXTENDEDKEY : 0);
  return input;
}

INPUT UnicodeEvent(wchar_t unit, bool up) {
  INPUT input{};
  input.type = INPUT_KEYBOARD;
  input.ki.wScan = unit;
  input.ki.dwFlags = KEYEVENTF_UNICODE | (up ? KEYEVENTF_KEYUP : 0);
  return input;
}

INPUT MouseEvent(DWORD flags, int x, int y) {
  INPUT input{};
  input.type = INPUT_MOUSE;
  input.mi.dx = x;
  input.mi.dy = y;
  input.mi.dwFlags = flags;
  return input;
}

void Send(std::vector<INPUT>& inputs) {
  if (inputs.empty()) return;
  const UINT sent = SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
  if (sent != inputs.size()) throw CommandError("SendInput delivered only part of the events");
}

// The key for a chord part, and whether it needs Shift on this layout.
Key KeyForPart(const std::wstring& part, bool& needsShift) {
  needsShift = false;
  for (const NamedKey& named : kNamedKeys) {
    if (part == named.name) return {named.virtualKey, named.extended};
  }
  if (part.size() == 1) {
    const SHORT scan = VkKeyScanW(part[0]);
    if (scan == -1) throw CommandError("no key types " + WideToUtf8(part));
    needsShift = (HIBYTE(scan) & 1) != 0;
    return {LOBYTE(scan), false};
  }
  throw CommandError("unknown key " + WideToUtf8(part));
}

std::vector<std::wstring> SplitChord(const std::wstring& chord) {
  std::vector<std::wstring> parts;
  std::size_t start = 0;
  for (;;) {
    // A '+' right at a part's start is the key itself, not a separator.
    const std::size_t plus = chord.find(L'+', start + 1);
    parts.push_back(chord.substr(start, plus == std::wstring::npos ? plus : plus - start));
    if (plus == std::wstring::npos) return parts;
    start = plus + 1;
  }
}

// The key events of one press of a chord.
std::vector<INPUT> ChordEvents(const std::wstring& chord) {
  const std::vector<std::wstring> parts = SplitChord(chord);
  std::vector<Key> held;
  for (std::size_t i = 0; i + 1 < parts.size(); ++i) {
    bool unused = false;
    held.push_back(KeyForPart(parts[i], unused));
  }
  bool needsShift = false;
  const Key key = KeyForPart(parts.back(), needsShift);
  const bool shiftHeld = std::any_of(held.begin(), held.end(),
                                     [](Key k) { return k.virtualKey == VK_SHIFT; });
  if (needsShift && !shiftHeld) held.push_back({VK_SHIFT, false});

  std::vector<INPUT> inputs;
  for (const Key modifier : held) inputs.push_back(KeyEvent(modifier, false));
  inputs.push_back(KeyEvent(key, false));
  inputs.push_back(KeyEvent(key, true));
  for (auto it = held.rbegin(); it != held.rend(); ++it) inputs.push_back(KeyEvent(*it, true));
  return inputs;
}

}  // namespace

bool BringToForeground(HWND window) {
  if (!IsWindow(window)) throw CommandError("no such window");
  // Activating a window talks to its thread, which may be busy translating.
  if (GetForegroundWindow() == window) return true;
  SetForegroundWindow(window);
  const DWORD start = GetTickCount();
  while (GetForegroundWindow() != window && GetTickCount() - start < kForegroundWaitMs) {
    Sleep(kPollMs);
    SetForegroundWindow(window);
  }
  return GetForegroundWindow() == window;
}

void TypeText(const std::wstring& text) {
  std::vector<INPUT> inputs;
  inputs.reserve(text.size() * 2);
  for (const wchar_t unit : text) {
    inputs.push_back(UnicodeEvent(unit, false));
    inputs.push_back(UnicodeEvent(unit, true));
  }
  Send(inputs);
}

void PressChord(const std::wstring& chord) {
  std::vector<INPUT> inputs = ChordEvents(chord);
  Send(inputs);
}

DWORD PressChordRepeatedly(const std::wstring& chord, int count, DWORD intervalMs) {
  std::vector<INPUT> inputs = ChordEvents(chord);
  const DWORD start = GetTickCount();
  for (int i = 0; i < count; ++i) {
    if (i > 0) Sleep(intervalMs);
    Send(inputs);
  }
  return GetTickCount() - start;
}

void ClickAt(int x, int y) {
  // Two clicks at the same spot in quick succession are a double click; a
  // second single click waits until the double-click time has passed.
  static POINT lastClick{-1, -1};
  static DWORD lastClickTime = 0;
  if (std::abs(x - lastClick.x) <= GetSystemMetrics(SM_CXDOUBLECLK) &&
      std::abs(y - lastClick.y) <= GetSystemMetrics(SM_CYDOUBLECLK)) {
    const DWORD since = GetTickCount() - lastClickTime;
    if (since <= GetDoubleClickTime()) Sleep(GetDoubleClickTime() - since + 1);
  }
  const int width = GetSystemMetrics(SM_CXSCREEN);
  const int height = GetSystemMetrics(SM_CYSCREEN);
  const int absoluteX = MulDiv(x, kAbsoluteSpan, width - 1);
  const int absoluteY = MulDiv(y, kAbsoluteSpan, height - 1);
  // The pointer must have arrived before the button goes down: under Wine a
  // late motion report from the X server can still put it back where it was,
  // so the move is repeated until the pointer stays at the point a moment.
  const DWORD start = GetTickCount();
  DWORD restingSince = 0;
  for (;;) {
    POINT at{};
    GetCursorPos(&at);
    if (at.x == x && at.y == y) {
      if (restingSince == 0) restingSince = GetTickCount();
      if (GetTickCount() - restingSince >= kPointerRestMs) break;
    } else {
      restingSince = 0;
      std::vector<INPUT> move{
          MouseEvent(MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE, absoluteX, absoluteY)};
      Send(move);
    }
    if (GetTickCount() - start > kPointerArrivalMs) {
      throw CommandError("the pointer did not stay at the point");
    }
    Sleep(kPollMs);
  }
  std::vector<INPUT> click{MouseEvent(MOUSEEVENTF_LEFTDOWN, 0, 0),
                           MouseEvent(MOUSEEVENTF_LEFTUP, 0, 0)};
  Send(click);
  lastClick = {x, y};
  lastClickTime = GetTickCount();
}

}  // namespace driver
