#include "dialog_boxes.h"

#include <vector>

#include "protocol.h"
#include "screen_pixels.h"
#include "window_queries.h"

namespace driver {
namespace {

// The static control that holds a message box's text.
constexpr int kMessageTextId = 0xFFFF;
// A freshly shown box may not have painted its icon yet.
constexpr DWORD kIconPaintWaitMs = 1500;
constexpr DWORD kIconPollMs = 100;
// Below this share of matching pixels no icon counts as shown.
constexpr double kIconRecognised = 0.9;

HWND FindIconControl(HWND box) {
  for (HWND child = GetWindow(box, GW_CHILD); child != nullptr;
       child = GetWindow(child, GW_HWNDNEXT)) {
    const DWORD style = static_cast<DWORD>(GetWindowLongW(child, GWL_STYLE));
    if (ClassOf(child) == L"Static" && (style & SS_TYPEMASK) == SS_ICON) return child;
  }
  return nullptr;
}

IconMatch IconOf(HWND box) {
  HWND control = FindIconControl(box);
  if (control == nullptr) return {};
  const DWORD start = GetTickCount();
  for (;;) {
    RECT rect{};
    GetWindowRect(control, &rect);
    IconMatch match = MatchSystemIcon(CaptureScreen(rect));
    if (match.bestScore >= kIconRecognised) return match;
    if (GetTickCount() - start > kIconPaintWaitMs) {
      match.best = "none";
      return match;
    }
    Sleep(kIconPollMs);
  }
}

}  // namespace

std::string DescribeDialogBox(HWND box) {
  if (!IsWindow(box)) throw CommandError("no such window");
  std::vector<std::string> buttons;
  std::wstring message;
  bool hasMessage = false;
  for (HWND child = GetWindow(box, GW_CHILD); child != nullptr;
       child = GetWindow(child, GW_HWNDNEXT)) {
    const int id = GetDlgCtrlID(child);
    if (id == kMessageTextId) {
      message = TextByMessage(child).value_or(CaptionOf(child));
      hasMessage = true;
    } else if (ClassOf(child) == L"Button") {
      buttons.push_back(JsonObject()
                            .Number("id", id)
                            .Text("text", CaptionOf(child))
                            .Number("style", static_cast<DWORD>(GetWindowLongW(child, GWL_STYLE)))
                            .Finish());
    }
  }
  JsonObject json;
  json.Window("hwnd", box).Text("caption", CaptionOf(box));
  if (hasMessage) {
    json.Text("message", message);
  } else {
    json.Null("message");
  }
  DWORD processId = 0;
  GetWindowThreadProcessId(box, &processId);
  return json.Window("owner", GetWindow(box, GW_OWNER))
      .Number("pid", processId)
      .Raw("buttons", JsonArray(buttons))
      .Raw("icon", IconOf(box).ToJson())
      .Finish();
}

}  // namespace driver
