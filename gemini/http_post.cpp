#include "gemini/http_post.h"

#include "common/utf8.h"
#include "gemini/response_text.h"

namespace parlivo {
namespace {

// Closes one handle of the exchange on every way out. Declared in the order
// session, connection, request, so they close as request, connection, session.
class HandleGuard {
 public:
  HandleGuard(HttpTransport& transport, HttpHandle handle)
      : transport_(transport), handle_(handle) {}
  ~HandleGuard() {
    if (handle_ != nullptr) transport_.Close(handle_);
  }
  HandleGuard(const HandleGuard&) = delete;
  HandleGuard& operator=(const HandleGuard&) = delete;

  HttpHandle get() const { return handle_; }

 private:
  HttpTransport& transport_;
  HttpHandle handle_;
};

enum class ReadOutcome { kComplete, kTooLarge };

// Reads the body until the layer has nothing more to give. A failed query or
// read is not an error: what arrived until then is the reply.
ReadOutcome ReadBody(HttpTransport& transport, HttpHandle request, std::string& bytes) {
  for (;;) {
    std::uint32_t available = 0;
    if (!transport.QueryDataAvailable(request, available) || available == 0) {
      return ReadOutcome::kComplete;
    }
    // Tested against what has arrived, before each chunk, so the last chunk
    // may take the total past the limit.
    if (bytes.size() > kResponseLimitBytes) return ReadOutcome::kTooLarge;
    const std::size_t received = bytes.size();
    bytes.resize(received + available);
    std::uint32_t read = 0;
    const bool ok = transport.ReadData(request, bytes.data() + received, available, read);
    bytes.resize(received + (ok && read <= available ? read : 0));
    if (!ok || read == 0) return ReadOutcome::kComplete;
  }
}

}  // namespace

std::u16string HttpPost(HttpTransport& transport, std::u16string_view url,
                        std::u16string_view body) {
  const HandleGuard session(transport, transport.OpenSession(kUserAgent));
  if (session.get() == nullptr) return std::u16string(kErrorInitialize);

  UrlParts parts;
  if (!transport.CrackUrl(url, parts)) return std::u16string(kErrorParseUrl);

  const HandleGuard connection(transport,
                               transport.Connect(session.get(), parts.host, parts.port));
  if (connection.get() == nullptr) return std::u16string(kErrorConnect);

  const HandleGuard request(transport,
                            transport.OpenRequest(connection.get(), u"POST", parts.pathAndQuery));
  if (request.get() == nullptr) return std::u16string(kErrorCreateRequest);

  transport.AddHeader(request.get(), kContentTypeHeader);
  transport.AddHeader(request.get(), kAcceptHeader);

  if (!transport.Send(request.get(), Utf16ToUtf8(body))) return std::u16string(kErrorSend);
  if (!transport.ReceiveResponse(request.get())) return std::u16string(kErrorReceive);

  std::string bytes;
  try {
    if (ReadBody(transport, request.get(), bytes) == ReadOutcome::kTooLarge) {
      return std::u16string(kErrorTooLarge);
    }
  } catch (...) {
    return std::u16string(kErrorReadData);
  }
  return ExtractResponseTextFromUtf8(bytes);
}

}  // namespace parlivo
