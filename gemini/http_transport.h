#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace parlivo {

// An opaque handle of the HTTP layer; null means "no handle".
using HttpHandle = void*;

// The parts of a URL that the exchange asks for.
struct UrlParts {
  std::u16string host;
  std::uint16_t port = 0;
  std::u16string pathAndQuery;
};

// The synchronous HTTP operations that HttpPost performs, one for each WinHTTP
// call it makes. The Windows program implements them with WinHTTP; tests fake
// them to fail at any step, deliver chunks or break off in the middle.
class HttpTransport {
 public:
  virtual ~HttpTransport() = default;

  virtual HttpHandle OpenSession(std::u16string_view userAgent) = 0;
  // Splits the URL without decoding or escaping anything.
  virtual bool CrackUrl(std::u16string_view url, UrlParts& parts) = 0;
  // Creates the connection handle only; nothing goes over the network yet.
  virtual HttpHandle Connect(HttpHandle session, std::u16string_view host,
                             std::uint16_t port) = 0;
  // Always a secure (TLS) request.
  virtual HttpHandle OpenRequest(HttpHandle connection, std::u16string_view verb,
                                 std::u16string_view pathAndQuery) = 0;
  virtual bool AddHeader(HttpHandle request, std::u16string_view headerLine) = 0;
  // Connects, shakes hands and sends `body` as the whole entity body, with its
  // length declared up front.
  virtual bool Send(HttpHandle request, std::string_view body) = 0;
  // Waits for the status line and the headers.
  virtual bool ReceiveResponse(HttpHandle request) = 0;
  virtual bool QueryDataAvailable(HttpHandle request, std::uint32_t& available) = 0;
  virtual bool ReadData(HttpHandle request, char* buffer, std::uint32_t toRead,
                        std::uint32_t& read) = 0;
  virtual void Close(HttpHandle handle) = 0;
};

}  // namespace parlivo
