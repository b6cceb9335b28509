#include "window_queries.h"

#include "protocol.h"

namespace driver {
namespace {

constexpr int kClassNameCapacity = 256;

struct TopLevelSearch {
  const std::wstring* className;
  const std::wstring* title;
  DWORD processId;
  std::vector<HWND> found;
};

BOOL CALLBACK CollectTopLevel(HWND window, LPARAM param) {
  auto& search = *reinterpret_cast<TopLevelSearch*>(param);
  if (!IsWindowVisible(window)) return TRUE;
  if (!search.className->empty() && ClassOf(window) != *search.className) return TRUE;
  if (!search.title->empty() && CaptionOf(window) != *search.title) return TRUE;
  if (search.processId != 0) {
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (owner != search.processId) return TRUE;
  }
  search.found.push_back(window);
  return TRUE;
}

bool OwnedBy(HWND window, DWORD processId) {
  DWORD owner = 0;
  GetWindowThreadProcessId(window, &owner);
  return owner == processId;
}

BOOL CALLBACK CountWindow(HWND, LPARAM param) {
  ++*reinterpret_cast<long long*>(param);
  return TRUE;
}

long long CountDescendants(HWND window) {
  long long count = 0;
  EnumChildWindows(window, CountWindow, reinterpret_cast<LPARAM>(&count));
  return count;
}

struct OwnedWindows {
  DWORD processId;
  long long topLevel = 0;
  long long children = 0;
};

BOOL CALLBACK CountOwnedTopLevel(HWND window, LPARAM param) {
  auto& owned = *reinterpret_cast<OwnedWindows*>(param);
  if (OwnedBy(window, owned.processId)) {
    ++owned.topLevel;
    owned.children += CountDescendants(window);
  }
  return TRUE;
}

RECT RectInParentClient(HWND window) {
  RECT rect{};
  GetWindowRect(window, &rect);
  MapWindowPoints(HWND_DESKTOP, GetParent(window), reinterpret_cast<POINT*>(&rect), 2);
  return rect;
}

JsonObject& AddText(JsonObject& json, HWND window) {
  const std::optional<std::wstring> text = TextByMessage(window);
  return text ? json.Text("text", *text) : json.Null("text");
}

}  // namespace

std::wstring ClassOf(HWND window) {
  wchar_t name[kClassNameCapacity] = {};
  GetClassNameW(window, name, kClassNameCapacity);
  return name;
}

std::wstring CaptionOf(HWND window) {
  const int length = GetWindowTextLengthW(window);
  std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
  const int copied = GetWindowTextW(window, text.data(), length + 1);
  text.resize(static_cast<std::size_t>(copied > 0 ? copied : 0));
  return text;
}

std::optional<std::wstring> TextByMessage(HWND window) {
  DWORD_PTR length = 0;
  if (!SendMessageTimeoutW(window, WM_GETTEXTLENGTH, 0, 0, SMTO_ABORTIFHUNG, kMessageTimeoutMs,
                           &length)) {
    return std::nullopt;
  }
  std::wstring text(length + 1, L'\0');
  DWORD_PTR copied = 0;
  if (!SendMessageTimeoutW(window, WM_GETTEXT, length + 1, reinterpret_cast<LPARAM>(text.data()),
                           SMTO_ABORTIFHUNG, kMessageTimeoutMs, &copied)) {
    return std::nullopt;
  }
  text.resize(copied);
  return text;
}

std::vector<HWND> TopLevelWindows(const std::wstring& className, const std::wstring& title,
                                  DWORD processId) {
  TopLevelSearch search{&className, &title, processId, {}};
  EnumWindows(CollectTopLevel, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

std::string CountWindowsOf(DWORD processId) {
  OwnedWindows owned{processId};
  EnumWindows(CountOwnedTopLevel, reinterpret_cast<LPARAM>(&owned));
  // Message-only windows are not top-level windows and EnumWindows skips them.
  long long messageOnly = 0;
  for (HWND window = FindWindowExW(HWND_MESSAGE, nullptr, nullptr, nullptr); window != nullptr;
       window = FindWindowExW(HWND_MESSAGE, window, nullptr, nullptr)) {
    if (OwnedBy(window, processId)) {
      ++messageOnly;
      owned.children += CountDescendants(window);
    }
  }
  return JsonObject()
      .Number("top_level", owned.topLevel)
      .Number("children", owned.children)
      .Number("message_only", messageOnly)
      .Finish();
}

std::string DescribeWindow(HWND window) {
  if (!IsWindow(window)) throw CommandError("no such window");
  RECT rect{};
  GetWindowRect(window, &rect);
  RECT client{};
  GetClientRect(window, &client);
  POINT origin{0, 0};
  ClientToScreen(window, &origin);
  DWORD processId = 0;
  const DWORD threadId = GetWindowThreadProcessId(window, &processId);
  JsonObject json;
  json.Window("hwnd", window)
      .Text("class", ClassOf(window))
      .Text("title", CaptionOf(window));
  AddText(json, window)
      .Number("style", static_cast<DWORD>(GetWindowLongW(window, GWL_STYLE)))
      .Number("exstyle", static_cast<DWORD>(GetWindowLongW(window, GWL_EXSTYLE)))
      .Number("id", static_cast<long long>(GetWindowLongPtrW(window, GWLP_ID)))
      .Raw("rect", JsonRect(rect))
      .Raw("client", JsonRect(client))
      .Number("client_x", origin.x)
      .Number("client_y", origin.y)
      .Window("parent", (GetWindowLongW(window, GWL_STYLE) & WS_CHILD) ? GetParent(window) : nullptr)
      .Window("owner", GetWindow(window, GW_OWNER))
      .Bool("has_menu", !(GetWindowLongW(window, GWL_STYLE) & WS_CHILD) && GetMenu(window) != nullptr)
      .Number("pid", processId)
      .Number("tid", threadId)
      .Bool("visible", IsWindowVisible(window))
      .Bool("enabled", IsWindowEnabled(window));
  return json.Finish();
}

std::string DescribeChildren(HWND parent) {
  if (!IsWindow(parent)) throw CommandError("no such window");
  std::vector<std::string> items;
  for (HWND child = GetWindow(parent, GW_CHILD); child != nullptr;
       child = GetWindow(child, GW_HWNDNEXT)) {
    JsonObject json;
    json.Window("hwnd", child)
        .Text("class", ClassOf(child))
        .Number("id", static_cast<long long>(GetWindowLongPtrW(child, GWLP_ID)))
        .Number("style", static_cast<DWORD>(GetWindowLongW(child, GWL_STYLE)))
        .Number("exstyle", static_cast<DWORD>(GetWindowLongW(child, GWL_EXSTYLE)))
        .Raw("rect", JsonRect(RectInParentClient(child)))
        .Text("title", CaptionOf(child));
    AddText(json, child)
        .Bool("visible", IsWindowVisible(child))
        .Bool("enabled", IsWindowEnabled(child));
    items.push_back(json.Finish());
  }
  return JsonObject().Raw("children", JsonArray(items)).Finish();
}

std::string DescribeFocus(HWND window) {
  GUITHREADINFO info{};
  info.cbSize = sizeof(info);
  const DWORD threadId = GetWindowThreadProcessId(window, nullptr);
  if (threadId == 0 || !GetGUIThreadInfo(threadId, &info)) {
    throw CommandError("no thread information for that window");
  }
  return JsonObject()
      .Window("focus", info.hwndFocus)
      .Window("active", info.hwndActive)
      .Window("capture", info.hwndCapture)
      .Window("foreground", GetForegroundWindow())
      .Finish();
}

}  // namespace driver
