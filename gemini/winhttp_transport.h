#pragma once

#include "gemini/http_transport.h"

namespace parlivo {

// Every phase of the exchange ends within its limit, so a silent server can
// never hold the window for good. Receiving is generous: a thinking model
// may take well over the layer's default 30 s for a long answer.
inline constexpr int kResolveTimeoutMs = 15'000;
inline constexpr int kConnectTimeoutMs = 15'000;
inline constexpr int kSendTimeoutMs = 30'000;
inline constexpr int kReceiveTimeoutMs = 120'000;

// The exchange's operations on WinHTTP in synchronous mode, with the system's
// proxy settings and its certificate checks, which are never turned off.
class WinHttpTransport final : public HttpTransport {
 public:
  HttpHandle OpenSession(std::u16string_view userAgent) override;
  bool CrackUrl(std::u16string_view url, UrlParts& parts) override;
  HttpHandle Connect(HttpHandle session, std::u16string_view host, std::uint16_t port) override;
  HttpHandle OpenRequest(HttpHandle connection, std::u16string_view verb,
                         std::u16string_view pathAndQuery) override;
  bool AddHeader(HttpHandle request, std::u16string_view headerLine) override;
  bool Send(HttpHandle request, std::string_view body) override;
  bool ReceiveResponse(HttpHandle request) override;
  bool QueryDataAvailable(HttpHandle request, std::uint32_t& available) override;
  bool ReadData(HttpHandle request, char* buffer, std::uint32_t toRead,
                std::uint32_t& read) override;
  void Close(HttpHandle handle) override;
};

}  // namespace parlivo
