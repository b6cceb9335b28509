#include "timing_probe.h"

#include <optional>

#include "window_queries.h"

namespace driver {
namespace {

// A millisecond: short beside a start-up of 50 ms or more.
constexpr DWORD kPollMs = 1;
constexpr long long kMicrosecondsPerSecond = 1'000'000;
constexpr long long kMicrosecondsPerMillisecond = 1'000;
constexpr UINT kNotStartedCode = 1;
constexpr DWORD kTickMs = 1;

// The thread of fresh_ticks and the event that ends it; null while none runs.
HANDLE g_stopTicking = nullptr;
HANDLE g_ticking = nullptr;

DWORD WINAPI WakeServerEachTick(void* stop) {
  while (WaitForSingleObject(stop, kTickMs) == WAIT_TIMEOUT) {
  }
  return 0;
}

void StopTicking() {
  if (g_ticking == nullptr) return;
  SetEvent(g_stopTicking);
  WaitForSingleObject(g_ticking, INFINITE);
  CloseHandle(g_ticking);
  CloseHandle(g_stopTicking);
  g_ticking = g_stopTicking = nullptr;
}

long long MicrosecondsNow() {
  static const long long frequency = [] {
    LARGE_INTEGER f;
    QueryPerformanceFrequency(&f);
    return f.QuadPart;
  }();
  LARGE_INTEGER now;
  QueryPerformanceCounter(&now);
  return now.QuadPart / frequency * kMicrosecondsPerSecond +
         now.QuadPart % frequency * kMicrosecondsPerSecond / frequency;
}

bool PastDeadline(long long since, DWORD timeoutMs) {
  return MicrosecondsNow() - since > timeoutMs * kMicrosecondsPerMillisecond;
}

// Closes a handle on every way out.
class OwnedHandle {
 public:
  explicit OwnedHandle(HANDLE handle) : handle_(handle) {}
  ~OwnedHandle() { CloseHandle(handle_); }
  OwnedHandle(const OwnedHandle&) = delete;
  OwnedHandle& operator=(const OwnedHandle&) = delete;
  HANDLE get() const { return handle_; }

 private:
  HANDLE handle_;
};

std::wstring FolderOf(const std::wstring& path) {
  const std::size_t slash = path.find_last_of(L"\\/");
  return slash == std::wstring::npos ? L"." : path.substr(0, slash);
}

// Waits for the window's thread rather than giving up when it is busy: a
// busy program answers once it is back in its message loop.
std::optional<std::size_t> LengthOf(HWND window) {
  DWORD_PTR length = 0;
  if (!SendMessageTimeoutW(window, WM_GETTEXTLENGTH, 0, 0, SMTO_NORMAL, kMessageTimeoutMs,
                           &length)) {
    return std::nullopt;
  }
  return static_cast<std::size_t>(length);
}

HWND WaitForWindow(HANDLE process, DWORD processId, const std::wstring& className,
                   long long since, DWORD timeoutMs) {
  for (;;) {
    if (WaitForSingleObject(process, 0) == WAIT_OBJECT_0) {
      throw CommandError("the program ended during its start");
    }
    const std::vector<HWND> windows = TopLevelWindows(className, L"", processId);
    if (!windows.empty()) return windows.front();
    if (PastDeadline(since, timeoutMs)) throw CommandError("no window within the time limit");
    Sleep(kPollMs);
  }
}

}  // namespace

std::string ClockNow(const Request&) {
  return JsonObject().Number("now_us", MicrosecondsNow()).Finish();
}

std::string StartTimed(const Request& request) {
  const std::wstring& exe = request.Text(0);
  const std::wstring& className = request.Text(1);
  const auto timeoutMs = static_cast<DWORD>(request.Integer(2));
  std::wstring commandLine = L"\"" + exe + L"\"";
  const std::wstring folder = FolderOf(exe);
  STARTUPINFOW startup{};
  startup.cb = sizeof(startup);
  PROCESS_INFORMATION started{};

  const long long startedAt = MicrosecondsNow();
  if (!CreateProcessW(exe.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                      folder.c_str(), &startup, &started)) {
    throw CommandError("cannot start " + WideToUtf8(exe));
  }
  CloseHandle(started.hThread);
  const OwnedHandle process(started.hProcess);
  long long idleAt = 0;
  long long windowAt = 0;
  long long answeredAt = 0;
  HWND window = nullptr;
  try {
    // A blocking wait takes no processor time from the program being timed.
    if (WaitForInputIdle(process.get(), timeoutMs) != 0) {
      throw CommandError("the program did not turn idle within the time limit");
    }
    idleAt = MicrosecondsNow();
    window = WaitForWindow(process.get(), started.dwProcessId, className, startedAt, timeoutMs);
    windowAt = MicrosecondsNow();
    DWORD_PTR ignored = 0;
    if (!SendMessageTimeoutW(window, WM_NULL, 0, 0, SMTO_NORMAL, timeoutMs, &ignored)) {
      throw CommandError("the window did not answer within the time limit");
    }
    answeredAt = MicrosecondsNow();
  } catch (...) {
    // The caller knows no id to end it by.
    TerminateProcess(process.get(), kNotStartedCode);
    throw;
  }
  return JsonObject()
      .Number("pid", started.dwProcessId)
      .Window("hwnd", window)
      .Number("started_us", startedAt)
      .Number("idle_us", idleAt)
      .Number("window_us", windowAt)
      .Number("answered_us", answeredAt)
      .Finish();
}

std::string ClickTimed(const Request& request) {
  const HWND button = request.Window(0);
  const HWND box = request.Window(1);
  const auto timeoutMs = static_cast<DWORD>(request.Integer(2));

  const long long clickedAt = MicrosecondsNow();
  if (!PostMessageW(button, BM_CLICK, 0, 0)) throw CommandError("PostMessageW failed");
  // Each query waits until the program is back in its message loop, so this
  // loop turns only a few times however long the program is busy.
  for (;;) {
    const std::optional<std::size_t> length = LengthOf(box);
    if (length && *length > 0 && IsWindowEnabled(button)) break;
    if (PastDeadline(clickedAt, timeoutMs)) {
      throw CommandError("the box was not filled within the time limit");
    }
    Sleep(kPollMs);
  }
  const long long doneAt = MicrosecondsNow();
  return JsonObject().Number("clicked_us", clickedAt).Number("done_us", doneAt).Finish();
}

std::string TextLength(const Request& request) {
  const std::optional<std::size_t> length = LengthOf(request.Window(0));
  if (!length) throw CommandError("the window did not answer within the time limit");
  return JsonObject().Number("length", static_cast<long long>(*length)).Finish();
}

std::string FreshTicks(const Request& request) {
  StopTicking();
  if (request.Integer(0) == 0) return JsonObject().Finish();
  const HANDLE stop = CreateEventW(nullptr, TRUE, FALSE, nullptr);
  const HANDLE thread =
      stop != nullptr ? CreateThread(nullptr, 0, WakeServerEachTick, stop, 0, nullptr) : nullptr;
  if (thread == nullptr) {
    if (stop != nullptr) CloseHandle(stop);
    throw CommandError("cannot start the ticking thread");
  }
  g_stopTicking = stop;
  g_ticking = thread;
  return JsonObject().Finish();
}

}  // namespace driver
