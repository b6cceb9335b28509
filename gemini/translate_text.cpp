#include "gemini/translate_text.h"

#include <exception>

#include "common/utf8.h"
#include "gemini/http_post.h"
#include "gemini/request.h"

namespace parlivo {

std::u16string TranslateText(std::u16string_view text, const Settings& settings,
                             HttpTransport& transport) {
  try {
    return HttpPost(transport, BuildRequestUrl(settings), BuildRequestBody(text));
  } catch (const std::exception& e) {
    std::u16string message(kErrorPrefix);
    message += Utf8ToUtf16(e.what());
    return message;
  } catch (...) {
    return std::u16string(kErrorTranslationUnexpected);
  }
}

}  // namespace parlivo
