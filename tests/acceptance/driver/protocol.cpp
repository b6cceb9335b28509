#include "protocol.h"

#include <cstdio>

namespace driver {
namespace {

constexpr wchar_t kFieldSeparator = L'\t';

std::wstring Unescape(std::wstring_view field) {
  std::wstring out;
  out.reserve(field.size());
  for (std::size_t i = 0; i < field.size(); ++i) {
    if (field[i] != L'\\' || i + 1 == field.size()) {
      out += field[i];
      continue;
    }
    switch (field[++i]) {
      case L't': out += L'\t'; break;
      case L'n': out += L'\n'; break;
      case L'r': out += L'\r'; break;
      default: out += field[i]; break;
    }
  }
  return out;
}

void AppendJsonString(std::string& out, std::wstring_view text) {
  out += '"';
  std::wstring plain;
  auto flush = [&] {
    out += WideToUtf8(plain);
    plain.clear();
  };
  for (const wchar_t c : text) {
    if (c == L'"' || c == L'\\') {
      plain += L'\\';
      plain += c;
    } else if (c < 0x20) {
      flush();
      char escape[8];
      std::snprintf(escape, sizeof escape, "\\u%04x", static_cast<unsigned>(c));
      out += escape;
    } else {
      plain += c;
    }
  }
  flush();
  out += '"';
}

}  // namespace

std::wstring Utf8ToWide(std::string_view text) {
  if (text.empty()) return {};
  const int size = static_cast<int>(text.size());
  const int units = MultiByteToWideChar(CP_UTF8, 0, text.data(), size, nullptr, 0);
  std::wstring out(static_cast<std::size_t>(units), L'\0');
  MultiByteToWideChar(CP_UTF8, 0, text.data(), size, out.data(), units);
  return out;
}

std::string WideToUtf8(std::wstring_view text) {
  if (text.empty()) return {};
  const int size = static_cast<int>(text.size());
  const int bytes = WideCharToMultiByte(CP_UTF8, 0, text.data(), size, nullptr, 0, nullptr, nullptr);
  std::string out(static_cast<std::size_t>(bytes), '\0');
  WideCharToMultiByte(CP_UTF8, 0, text.data(), size, out.data(), bytes, nullptr, nullptr);
  return out;
}

Request Request::Parse(std::string_view line) {
  const std::wstring wide = Utf8ToWide(line);
  Request request;
  std::size_t start = 0;
  bool first = true;
  for (;;) {
    const std::size_t end = wide.find(kFieldSeparator, start);
    const std::wstring field =
        Unescape(std::wstring_view(wide).substr(start, end == std::wstring::npos ? end : end - start));
    if (first) {
      request.name_ = field;
      first = false;
    } else {
      request.args_.push_back(field);
    }
    if (end == std::wstring::npos) break;
    start = end + 1;
  }
  return request;
}

const std::wstring& Request::Text(std::size_t index) const {
  if (index >= args_.size()) throw CommandError("missing argument " + std::to_string(index + 1));
  return args_[index];
}

long long Request::Integer(std::size_t index) const {
  const std::wstring& text = Text(index);
  std::size_t used = 0;
  long long value = 0;
  try {
    value = std::stoll(text, &used, 0);
  } catch (const std::exception&) {
    used = 0;
  }
  if (used == 0 || used != text.size()) {
    throw CommandError("argument " + std::to_string(index + 1) + " is not an integer");
  }
  return value;
}

long long Request::IntegerOr(std::size_t index, long long fallback) const {
  return Has(index) && !args_[index].empty() ? Integer(index) : fallback;
}

HWND Request::Window(std::size_t index) const {
  return reinterpret_cast<HWND>(static_cast<std::uintptr_t>(Integer(index)));
}

void JsonObject::Key(std::string_view key) {
  if (body_.size() > 1) body_ += ',';
  body_ += '"';
  body_ += key;
  body_ += "\":";
}

JsonObject& JsonObject::Text(std::string_view key, std::wstring_view value) {
  Key(key);
  AppendJsonString(body_, value);
  return *this;
}

JsonObject& JsonObject::Number(std::string_view key, long long value) {
  Key(key);
  body_ += std::to_string(value);
  return *this;
}

JsonObject& JsonObject::Bool(std::string_view key, bool value) {
  Key(key);
  body_ += value ? "true" : "false";
  return *this;
}

JsonObject& JsonObject::Null(std::string_view key) {
  Key(key);
  body_ += "null";
  return *this;
}

JsonObject& JsonObject::Window(std::string_view key, HWND window) {
  Key(key);
  body_ += std::to_string(WindowNumber(window));
  return *this;
}

JsonObject& JsonObject::Raw(std::string_view key, std::string_view json) {
  Key(key);
  body_ += json;
  return *this;
}

std::string JsonArray(const std::vector<std::string>& encodedItems) {
  std::string out = "[";
  for (std::size_t i = 0; i < encodedItems.size(); ++i) {
    if (i > 0) out += ',';
    out += encodedItems[i];
  }
  return out + "]";
}

std::string JsonRect(const RECT& rect) {
  return JsonObject()
      .Number("left", rect.left)
      .Number("top", rect.top)
      .Number("right", rect.right)
      .Number("bottom", rect.bottom)
      .Finish();
}

std::uint64_t WindowNumber(HWND window) {
  return static_cast<std::uint64_t>(reinterpret_cast<std::uintptr_t>(window));
}

}  // namespace driver
