#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "gemini/http_transport.h"

namespace parlivo {

inline constexpr std::u16string_view kUserAgent = u"Parlivo/1.0";
inline constexpr std::u16string_view kContentTypeHeader =
    u"Content-Type: application/json; charset=utf-8";
inline constexpr std::u16string_view kAcceptHeader = u"Accept: application/json";

// Reading stops with an error once more than this many bytes have arrived and
// the layer still reports more.
inline constexpr std::size_t kResponseLimitBytes = 1048576;

inline constexpr std::u16string_view kErrorInitialize = u"Error: Failed to initialize WinHTTP";
inline constexpr std::u16string_view kErrorParseUrl = u"Error: Failed to parse URL";
inline constexpr std::u16string_view kErrorConnect = u"Error: Failed to connect";
inline constexpr std::u16string_view kErrorCreateRequest = u"Error: Failed to create request";
inline constexpr std::u16string_view kErrorSend = u"Error: Failed to send request";
inline constexpr std::u16string_view kErrorReceive = u"Error: Failed to receive response";
inline constexpr std::u16string_view kErrorTooLarge = u"Error: Response too large";
inline constexpr std::u16string_view kErrorReadData = u"Error: Failed to read response data";

// One HTTPS POST of `body` (sent as UTF-8) to `url`. Returns the answer that
// ExtractResponseText finds in the reply, or an error text. The status code
// is never looked at: an error reply is read like any other.
std::u16string HttpPost(HttpTransport& transport, std::u16string_view url,
                        std::u16string_view body);

}  // namespace parlivo
