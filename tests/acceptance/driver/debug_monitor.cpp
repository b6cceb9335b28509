#include "debug_monitor.h"

#include <mutex>
#include <thread>
#include <utility>
#include <vector>

#include "protocol.h"

namespace driver {
namespace {

constexpr DWORD kBufferBytes = 4096;

// The layout every writer fills: its process id, then the message as
// single-byte text with a terminating zero.
struct DebugBuffer {
  DWORD processId;
  char text[kBufferBytes - sizeof(DWORD)];
};

struct Collected {
  std::mutex lock;
  std::vector<std::pair<DWORD, std::wstring>> messages;
};

Collected& Messages() {
  static Collected collected;
  return collected;
}

std::wstring FromAnsi(const char* text, std::size_t capacity) {
  std::size_t length = 0;
  while (length < capacity && text[length] != '\0') ++length;
  if (length == 0) return {};
  const int units = MultiByteToWideChar(CP_ACP, 0, text, static_cast<int>(length), nullptr, 0);
  std::wstring out(static_cast<std::size_t>(units), L'\0');
  MultiByteToWideChar(CP_ACP, 0, text, static_cast<int>(length), out.data(), units);
  return out;
}

void Listen(HANDLE bufferReady, HANDLE dataReady, const DebugBuffer* buffer) {
  for (;;) {
    SetEvent(bufferReady);
    if (WaitForSingleObject(dataReady, INFINITE) != WAIT_OBJECT_0) return;
    std::wstring text = FromAnsi(buffer->text, sizeof(buffer->text));
    const std::lock_guard<std::mutex> guard(Messages().lock);
    Messages().messages.emplace_back(buffer->processId, std::move(text));
  }
}

}  // namespace

void StartDebugMonitor() {
  static std::once_flag started;
  std::call_once(started, [] {
    HANDLE bufferReady = CreateEventW(nullptr, FALSE, FALSE, L"DBWIN_BUFFER_READY");
    HANDLE dataReady = CreateEventW(nullptr, FALSE, FALSE, L"DBWIN_DATA_READY");
    HANDLE mapping = CreateFileMappingW(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0,
                                        kBufferBytes, L"DBWIN_BUFFER");
    void* view = mapping ? MapViewOfFile(mapping, FILE_MAP_READ, 0, 0, kBufferBytes) : nullptr;
    if (bufferReady == nullptr || dataReady == nullptr || view == nullptr) {
      throw CommandError("cannot set up the debug output buffer");
    }
    // Lives as long as the driver; the handles are never closed.
    std::thread(Listen, bufferReady, dataReady, static_cast<const DebugBuffer*>(view)).detach();
  });
}

std::string TakeDebugMessages(DWORD processId) {
  std::vector<std::string> taken;
  const std::lock_guard<std::mutex> guard(Messages().lock);
  auto& messages = Messages().messages;
  for (auto it = messages.begin(); it != messages.end();) {
    if (it->first == processId) {
      taken.push_back(JsonObject().Text("text", it->second).Finish());
      it = messages.erase(it);
    } else {
      ++it;
    }
  }
  return JsonObject().Raw("messages", JsonArray(taken)).Finish();
}

}  // namespace driver
