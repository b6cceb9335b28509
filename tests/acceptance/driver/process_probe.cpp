#include "process_probe.h"

#include <psapi.h>
#include <winternl.h>

#include <algorithm>
#include <map>
#include <optional>
#include <vector>

#include "protocol.h"

namespace driver {
namespace {

constexpr UINT kTerminatedByTestCode = 1;
constexpr NTSTATUS kStatusInfoLengthMismatch = static_cast<NTSTATUS>(0xC0000004);
constexpr ULONG kFirstHandleTableBytes = 1 << 16;
constexpr int kHandleTableAttempts = 8;

// Closes a process handle on every way out.
class ProcessHandle {
 public:
  ProcessHandle(DWORD access, DWORD processId) : handle_(OpenProcess(access, FALSE, processId)) {}
  ~ProcessHandle() {
    if (handle_ != nullptr) CloseHandle(handle_);
  }
  ProcessHandle(const ProcessHandle&) = delete;
  ProcessHandle& operator=(const ProcessHandle&) = delete;
  HANDLE get() const { return handle_; }

 private:
  HANDLE handle_;
};

std::map<long long, HANDLE>& HeldFiles() {
  static std::map<long long, HANDLE> files;
  return files;
}

long long KeepHeld(HANDLE file, const std::wstring& path) {
  if (file == INVALID_HANDLE_VALUE) throw CommandError("cannot open " + WideToUtf8(path));
  static long long nextNumber = 1;
  HeldFiles()[nextNumber] = file;
  return nextNumber++;
}

// The number of entries of the system's handle table that belong to the
// process; nothing when the system does not give the table. The table grows
// between calls, so the buffer grows until it fits.
std::optional<long long> HandleTableEntries(DWORD processId) {
  std::vector<unsigned char> buffer(kFirstHandleTableBytes);
  for (int attempt = 0; attempt < kHandleTableAttempts; ++attempt) {
    ULONG needed = 0;
    const NTSTATUS status = NtQuerySystemInformation(
        SystemHandleInformation, buffer.data(), static_cast<ULONG>(buffer.size()), &needed);
    if (status == kStatusInfoLengthMismatch) {
      buffer.resize(std::max<std::size_t>(buffer.size() * 2, needed + kFirstHandleTableBytes));
      continue;
    }
    if (status < 0) return std::nullopt;
    const auto* table = reinterpret_cast<const SYSTEM_HANDLE_INFORMATION*>(buffer.data());
    long long count = 0;
    for (ULONG i = 0; i < table->Count; ++i) {
      if (table->Handle[i].OwnerPid == processId) ++count;
    }
    return count;
  }
  return std::nullopt;
}

}  // namespace

std::string DescribeProcessResources(DWORD processId) {
  ProcessHandle process(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, processId);
  if (process.get() == nullptr) throw CommandError("cannot open process");
  JsonObject json;
  // A count the system cannot give is null, not 0 (Wine gives no GDI or USER counts).
  const auto count = [&json](std::string_view key, bool known, long long value) {
    known ? json.Number(key, value) : json.Null(key);
  };
  const DWORD gdiObjects = GetGuiResources(process.get(), GR_GDIOBJECTS);
  const DWORD userObjects = GetGuiResources(process.get(), GR_USEROBJECTS);
  count("gdi_objects", gdiObjects != 0, gdiObjects);
  count("user_objects", userObjects != 0, userObjects);
  DWORD handles = 0;
  count("handles", GetProcessHandleCount(process.get(), &handles) && handles != 0, handles);
  PROCESS_MEMORY_COUNTERS_EX memory{};
  memory.cb = sizeof(memory);
  const bool memoryKnown =
      GetProcessMemoryInfo(process.get(), reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&memory),
                           sizeof(memory));
  count("private_bytes", memoryKnown && memory.PrivateUsage != 0,
        static_cast<long long>(memory.PrivateUsage));
  count("working_set_bytes", memoryKnown && memory.WorkingSetSize != 0,
        static_cast<long long>(memory.WorkingSetSize));
  const std::optional<long long> tableEntries = HandleTableEntries(processId);
  count("handle_table_entries", tableEntries.has_value(), tableEntries.value_or(0));
  return json.Finish();
}

std::string WaitForExit(DWORD processId, DWORD timeoutMs) {
  ProcessHandle process(SYNCHRONIZE | PROCESS_QUERY_LIMITED_INFORMATION, processId);
  if (process.get() == nullptr) throw CommandError("cannot open process");
  if (WaitForSingleObject(process.get(), timeoutMs) != WAIT_OBJECT_0) {
    return JsonObject().Bool("exited", false).Finish();
  }
  DWORD code = 0;
  GetExitCodeProcess(process.get(), &code);
  return JsonObject().Bool("exited", true).Number("code", code).Finish();
}

void TerminateById(DWORD processId) {
  ProcessHandle process(PROCESS_TERMINATE, processId);
  if (process.get() == nullptr || !TerminateProcess(process.get(), kTerminatedByTestCode)) {
    throw CommandError("cannot terminate process");
  }
}

long long LockFile(const std::wstring& path) {
  return KeepHeld(CreateFileW(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr),
                  path);
}

long long HoldFileForEditing(const std::wstring& path) {
  return KeepHeld(CreateFileW(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                              nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr),
                  path);
}

void ReleaseFile(long long lockNumber) {
  const auto it = HeldFiles().find(lockNumber);
  if (it == HeldFiles().end()) throw CommandError("no such lock");
  CloseHandle(it->second);
  HeldFiles().erase(it);
}

}  // namespace driver
