#include "gemini/request.h"

namespace parlivo {
namespace {

constexpr char16_t kHexDigits[] = u"0123456789abcdef";

}  // namespace

std::u16string BuildRequestUrl(const Settings& settings) {
  std::u16string url;
  url.reserve(kScheme.size() + kGeminiHost.size() + kPathPrefix.size() +
              settings.geminiModel.size() + kMethod.size() + kKeyParameter.size() +
              settings.geminiKey.size());
  url += kScheme;
  url += kGeminiHost;
  url += kPathPrefix;
  url += settings.geminiModel;
  url += kMethod;
  url += kKeyParameter;
  url += settings.geminiKey;
  return url;
}

std::u16string BuildRequestBody(std::u16string_view text) {
  const std::u16string escaped = EscapeJson(text);
  std::u16string body;
  body.reserve(kJsonHead.size() + kPromptHead.size() + escaped.size() + kPromptTail.size() +
               kJsonTail.size());
  body += kJsonHead;
  body += kPromptHead;
  body += escaped;
  body += kPromptTail;
  body += kJsonTail;
  return body;
}

std::u16string EscapeJson(std::u16string_view text) {
  std::u16string out;
  // Two code units per input unit cover every short escape; only the rare
  // \u00XX form of a control character needs more.
  out.reserve(text.size() * 2);
  for (const char16_t c : text) {
    switch (c) {
      case u'"': out += u"\\\""; break;
      case u'\\': out += u"\\\\"; break;
      case u'\b': out += u"\\b"; break;
      case u'\t': out += u"\\t"; break;
      case u'\n': out += u"\\n"; break;
      case u'\f': out += u"\\f"; break;
      case u'\r': out += u"\\r"; break;
      default:
        if (c < 0x20) {
          // JSON forbids raw control characters inside a string.
          out += u"\\u00";
          out += kHexDigits[c >> 4];
          out += kHexDigits[c & 0xF];
        } else {
          out += c;
        }
    }
  }
  return out;
}

}  // namespace parlivo
