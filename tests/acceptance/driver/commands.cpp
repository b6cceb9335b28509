#include "commands.h"

#include <functional>
#include <map>

#include "debug_monitor.h"
#include "dialog_boxes.h"
#include "menu_reader.h"
#include "process_probe.h"
#include "screen_pixels.h"
#include "timing_probe.h"
#include "user_input.h"
#include "version_info.h"
#include "window_queries.h"

namespace driver {
namespace {

constexpr DWORD kPollMs = 50;

using Handler = std::function<std::string(const Request&)>;

std::string Empty() { return "{}"; }

DWORD ProcessIdArg(const Request& request, std::size_t index) {
  return static_cast<DWORD>(request.Integer(index));
}

RECT AreaArgs(const Request& request, std::size_t first) {
  const auto x = static_cast<LONG>(request.Integer(first));
  const auto y = static_cast<LONG>(request.Integer(first + 1));
  return {x, y, x + static_cast<LONG>(request.Integer(first + 2)),
          y + static_cast<LONG>(request.Integer(first + 3))};
}

// Polls `done` until it holds or `timeoutMs` passes; true when it held.
bool PollUntil(DWORD timeoutMs, const std::function<bool()>& done) {
  const DWORD start = GetTickCount();
  for (;;) {
    if (done()) return true;
    if (GetTickCount() - start >= timeoutMs) return false;
    Sleep(kPollMs);
  }
}

// find CLASS TITLE TIMEOUT_MS [PID]: the first visible top-level match.
std::string Find(const Request& request) {
  const std::wstring& className = request.Text(0);
  const std::wstring& title = request.Text(1);
  const auto timeoutMs = static_cast<DWORD>(request.Integer(2));
  const auto processId = static_cast<DWORD>(request.IntegerOr(3, 0));
  HWND found = nullptr;
  PollUntil(timeoutMs, [&] {
    const std::vector<HWND> windows = TopLevelWindows(className, title, processId);
    found = windows.empty() ? nullptr : windows.front();
    return found != nullptr;
  });
  if (found == nullptr) throw CommandError("no such window within the time limit");
  return JsonObject().Window("hwnd", found).Finish();
}

// windows CLASS TITLE [PID]: every visible top-level match.
std::string Windows(const Request& request) {
  std::vector<std::string> items;
  for (HWND window : TopLevelWindows(request.Text(0), request.Text(1),
                                     static_cast<DWORD>(request.IntegerOr(2, 0)))) {
    items.push_back(DescribeWindow(window));
  }
  return JsonObject().Raw("windows", JsonArray(items)).Finish();
}

std::string Text(const Request& request) {
  const std::optional<std::wstring> text = TextByMessage(request.Window(0));
  if (!text) throw CommandError("the window did not answer within the time limit");
  return JsonObject().Text("text", *text).Finish();
}

std::string SetText(const Request& request) {
  DWORD_PTR result = 0;
  if (!SendMessageTimeoutW(request.Window(0), WM_SETTEXT, 0,
                           reinterpret_cast<LPARAM>(request.Text(1).c_str()), SMTO_ABORTIFHUNG,
                           kMessageTimeoutMs, &result)) {
    throw CommandError("the window did not answer within the time limit");
  }
  return JsonObject().Bool("set", result != 0).Finish();
}

std::string Selection(const Request& request) {
  DWORD_PTR packed = 0;
  if (!SendMessageTimeoutW(request.Window(0), EM_GETSEL, 0, 0, SMTO_ABORTIFHUNG, kMessageTimeoutMs,
                           &packed)) {
    throw CommandError("the window did not answer within the time limit");
  }
  return JsonObject()
      .Number("start", LOWORD(packed))
      .Number("end", HIWORD(packed))
      .Finish();
}

std::string Post(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (!PostMessageW(window, message, wParam, lParam)) throw CommandError("PostMessageW failed");
  return Empty();
}

// hit_test HWND X Y: what the window says lies under a screen point (WM_NCHITTEST).
std::string HitTest(const Request& request) {
  DWORD_PTR hit = 0;
  const auto x = static_cast<short>(request.Integer(1));
  const auto y = static_cast<short>(request.Integer(2));
  if (!SendMessageTimeoutW(request.Window(0), WM_NCHITTEST, 0,
                           MAKELPARAM(static_cast<WORD>(x), static_cast<WORD>(y)),
                           SMTO_ABORTIFHUNG, kMessageTimeoutMs, &hit)) {
    throw CommandError("the window did not answer within the time limit");
  }
  return JsonObject().Number("hit", static_cast<LONG_PTR>(hit)).Finish();
}

std::string WaitGone(const Request& request) {
  HWND window = request.Window(0);
  const bool gone = PollUntil(static_cast<DWORD>(request.Integer(1)),
                              [&] { return !IsWindow(window) || !IsWindowVisible(window); });
  return JsonObject().Bool("gone", gone).Finish();
}

// Brings the window given as first argument (0: leave as it is) to the foreground.
void ForegroundArg(const Request& request) {
  HWND window = request.Window(0);
  if (window != nullptr && !BringToForeground(window)) {
    throw CommandError("the window did not come to the foreground");
  }
}

// system_folder: where the system keeps its own programs, Notepad among them.
std::string SystemFolder(const Request&) {
  wchar_t folder[MAX_PATH];
  const UINT length = GetSystemDirectoryW(folder, MAX_PATH);
  if (length == 0 || length >= MAX_PATH) throw CommandError("the system folder is unknown");
  return JsonObject().Text("folder", std::wstring(folder, length)).Finish();
}

std::string Capture(const Request& request) {
  WriteBitmapFile(CaptureScreen(AreaArgs(request, 0)), request.Text(4));
  return Empty();
}

// The commands, with their arguments (HWND and PID as decimal numbers; an
// HWND of 0 for the keyboard commands leaves the foreground as it is):
//   ping | screen | system_folder | find CLASS TITLE MS [PID] | windows CLASS TITLE [PID]
//   info HWND | children HWND | text HWND | caption HWND | set_text HWND TEXT
//   sel HWND | focus HWND | add_style HWND BITS | hit_test HWND X Y
//   box HWND | answer HWND ID | click HWND | command HWND ID | wait_gone HWND MS
//   foreground HWND | type HWND TEXT | keys HWND CHORD | mouse_click X Y
//   keys_repeat HWND CHORD COUNT INTERVAL_MS | capture X Y W H PATH.bmp
//   menu_resource EXE ID | stats PID | window_count PID | wait_exit PID MS
//   terminate PID | debug_monitor | debug_messages PID
//   lock PATH | hold PATH | unlock LOCK | quit
//   clock | start_timed EXE CLASS MS | click_timed BUTTON BOX MS | text_length HWND
//   fresh_ticks 1|0
//   version_info EXE NAME...
const std::map<std::wstring, Handler>& Handlers() {
  static const std::map<std::wstring, Handler> handlers{
      {L"ping", [](const Request&) { return Empty(); }},
      {L"screen",
       [](const Request&) {
         return JsonObject()
             .Number("width", GetSystemMetrics(SM_CXSCREEN))
             .Number("height", GetSystemMetrics(SM_CYSCREEN))
             .Finish();
       }},
      {L"system_folder", SystemFolder},
      {L"find", Find},
      {L"windows", Windows},
      {L"info", [](const Request& r) { return DescribeWindow(r.Window(0)); }},
      {L"children", [](const Request& r) { return DescribeChildren(r.Window(0)); }},
      {L"text", Text},
      {L"caption",
       [](const Request& r) { return JsonObject().Text("text", CaptionOf(r.Window(0))).Finish(); }},
      {L"set_text", SetText},
      {L"sel", Selection},
      {L"focus", [](const Request& r) { return DescribeFocus(r.Window(0)); }},
      {L"add_style",
       [](const Request& r) {
         const LONG_PTR style = GetWindowLongPtrW(r.Window(0), GWL_STYLE) | r.Integer(1);
         SetWindowLongPtrW(r.Window(0), GWL_STYLE, style);
         return JsonObject().Number("style", GetWindowLongPtrW(r.Window(0), GWL_STYLE)).Finish();
       }},
      {L"box", [](const Request& r) { return DescribeDialogBox(r.Window(0)); }},
      {L"answer",
       [](const Request& r) {
         return Post(r.Window(0), WM_COMMAND, static_cast<WPARAM>(r.Integer(1)), 0);
       }},
      {L"click", [](const Request& r) { return Post(r.Window(0), BM_CLICK, 0, 0); }},
      {L"command",
       [](const Request& r) {
         return Post(r.Window(0), WM_COMMAND, MAKEWPARAM(r.Integer(1), 0), 0);
       }},
      {L"hit_test", HitTest},
      {L"wait_gone", WaitGone},
      {L"foreground",
       [](const Request& r) {
         return JsonObject().Bool("foreground", BringToForeground(r.Window(0))).Finish();
       }},
      {L"type",
       [](const Request& r) {
         ForegroundArg(r);
         TypeText(r.Text(1));
         return Empty();
       }},
      {L"keys",
       [](const Request& r) {
         ForegroundArg(r);
         PressChord(r.Text(1));
         return Empty();
       }},
      {L"keys_repeat",
       [](const Request& r) {
         ForegroundArg(r);
         const DWORD elapsed = PressChordRepeatedly(r.Text(1), static_cast<int>(r.Integer(2)),
                                                    static_cast<DWORD>(r.Integer(3)));
         return JsonObject().Number("elapsed_ms", elapsed).Finish();
       }},
      {L"mouse_click",
       [](const Request& r) {
         ClickAt(static_cast<int>(r.Integer(0)), static_cast<int>(r.Integer(1)));
         return Empty();
       }},
      {L"capture", Capture},
      {L"menu_resource",
       [](const Request& r) {
         return DescribeMenuResource(r.Text(0), static_cast<int>(r.Integer(1)));
       }},
      {L"stats", [](const Request& r) { return DescribeProcessResources(ProcessIdArg(r, 0)); }},
      {L"window_count", [](const Request& r) { return CountWindowsOf(ProcessIdArg(r, 0)); }},
      {L"wait_exit",
       [](const Request& r) {
         return WaitForExit(ProcessIdArg(r, 0), static_cast<DWORD>(r.Integer(1)));
       }},
      {L"terminate",
       [](const Request& r) {
         TerminateById(ProcessIdArg(r, 0));
         return Empty();
       }},
      {L"debug_monitor",
       [](const Request&) {
         StartDebugMonitor();
         return Empty();
       }},
      {L"debug_messages",
       [](const Request& r) { return TakeDebugMessages(ProcessIdArg(r, 0)); }},
      {L"lock",
       [](const Request& r) { return JsonObject().Number("lock", LockFile(r.Text(0))).Finish(); }},
      {L"clock", ClockNow},
      {L"start_timed", StartTimed},
      {L"click_timed", ClickTimed},
      {L"text_length", TextLength},
      {L"fresh_ticks", FreshTicks},
      {L"version_info",
       [](const Request& r) {
         std::vector<std::wstring> names;
         for (std::size_t i = 1; r.Has(i); ++i) names.push_back(r.Text(i));
         return DescribeVersionResource(r.Text(0), names);
       }},
      {L"hold",
       [](const Request& r) {
         return JsonObject().Number("lock", HoldFileForEditing(r.Text(0))).Finish();
       }},
      {L"unlock",
       [](const Request& r) {
         ReleaseFile(r.Integer(0));
         return Empty();
       }},
  };
  return handlers;
}

// The command's own members follow "ok" in the same object.
std::string Succeeded(const std::string& answer) {
  if (answer == Empty()) return "{\"ok\":true}";
  return "{\"ok\":true," + answer.substr(1);
}

std::string Failed(const std::string& error) {
  return JsonObject().Bool("ok", false).Text("error", Utf8ToWide(error)).Finish();
}

}  // namespace

std::string RunCommand(const Request& request, bool& quit) {
  if (request.Name() == L"quit") {
    quit = true;
    return Succeeded(Empty());
  }
  const auto it = Handlers().find(request.Name());
  if (it == Handlers().end()) return Failed("unknown command " + WideToUtf8(request.Name()));
  try {
    return Succeeded(it->second(request));
  } catch (const std::exception& error) {
    return Failed(error.what());
  }
}

}  // namespace driver
