#include "gemini/winhttp_transport.h"

#include <windows.h>
#include <winhttp.h>

#include <string>

#include "common/wide_string.h"

namespace parlivo {

HttpHandle WinHttpTransport::OpenSession(std::u16string_view userAgent) {
  HINTERNET session = WinHttpOpen(Wide(userAgent).c_str(), WINHTTP_ACCESS_TYPE_DEFAULT_PROXY,
                                  WINHTTP_NO_PROXY_NAME, WINHTTP_NO_PROXY_BYPASS, 0);
  if (session != nullptr) {
    WinHttpSetTimeouts(session, kResolveTimeoutMs, kConnectTimeoutMs, kSendTimeoutMs,
                       kReceiveTimeoutMs);
    // The wait for the status line and headers has a limit of its own, which
    // the call above leaves alone (Wine sets none; Windows 90 s).
    DWORD responseTimeoutMs = kReceiveTimeoutMs;
    WinHttpSetOption(session, WINHTTP_OPTION_RECEIVE_RESPONSE_TIMEOUT, &responseTimeoutMs,
                     sizeof(responseTimeoutMs));
  }
  return session;
}

bool WinHttpTransport::CrackUrl(std::u16string_view url, UrlParts& parts) {
  const std::wstring terminated = Wide(url);
  URL_COMPONENTS components{};
  components.dwStructSize = sizeof(components);
  // -1 asks for a part as a pointer into the URL. The extra information is
  // not asked for, so the path keeps the query string.
  components.dwSchemeLength = static_cast<DWORD>(-1);
  components.dwHostNameLength = static_cast<DWORD>(-1);
  components.dwUrlPathLength = static_cast<DWORD>(-1);
  if (!WinHttpCrackUrl(terminated.c_str(), 0, 0, &components)) return false;
  parts.host = FromWide(components.lpszHostName, components.dwHostNameLength);
  parts.port = components.nPort;
  parts.pathAndQuery = FromWide(components.lpszUrlPath, components.dwUrlPathLength);
  return true;
}

HttpHandle WinHttpTransport::Connect(HttpHandle session, std::u16string_view host,
                                     std::uint16_t port) {
  return WinHttpConnect(session, Wide(host).c_str(), port, 0);
}

HttpHandle WinHttpTransport::OpenRequest(HttpHandle connection, std::u16string_view verb,
                                         std::u16string_view pathAndQuery) {
  return WinHttpOpenRequest(connection, Wide(verb).c_str(),
                            Wide(pathAndQuery).c_str(), nullptr, WINHTTP_NO_REFERER,
                            WINHTTP_DEFAULT_ACCEPT_TYPES, WINHTTP_FLAG_SECURE);
}

bool WinHttpTransport::AddHeader(HttpHandle request, std::u16string_view headerLine) {
  return WinHttpAddRequestHeaders(request, Wide(headerLine).c_str(),
                                  static_cast<DWORD>(-1), WINHTTP_ADDREQ_FLAG_ADD);
}

bool WinHttpTransport::Send(HttpHandle request, std::string_view body) {
  const auto length = static_cast<DWORD>(body.size());
  return WinHttpSendRequest(request, WINHTTP_NO_ADDITIONAL_HEADERS, 0,
                            const_cast<char*>(body.data()), length, length, 0);
}

bool WinHttpTransport::ReceiveResponse(HttpHandle request) {
  return WinHttpReceiveResponse(request, nullptr);
}

bool WinHttpTransport::QueryDataAvailable(HttpHandle request, std::uint32_t& available) {
  DWORD count = 0;
  const bool ok = WinHttpQueryDataAvailable(request, &count);
  available = count;
  return ok;
}

bool WinHttpTransport::ReadData(HttpHandle request, char* buffer, std::uint32_t toRead,
                                std::uint32_t& read) {
  DWORD count = 0;
  const bool ok = WinHttpReadData(request, buffer, toRead, &count);
  read = count;
  return ok;
}

void WinHttpTransport::Close(HttpHandle handle) { WinHttpCloseHandle(handle); }

}  // namespace parlivo
