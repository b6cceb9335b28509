#pragma once

#include "gemini/http_transport.h"

namespace parlivo {

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
