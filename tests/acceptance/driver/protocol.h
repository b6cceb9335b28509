#pragma once

// The driver's line protocol: one request per line on stdin (the command name
// and its arguments separated by tabs, UTF-8, with \\ \t \n \r escapes inside
// an argument), one JSON object per line on stdout.

#include <windows.h>

#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace driver {

// A command that cannot be carried out; the caller sees {"ok":false,"error":...}.
struct CommandError : std::runtime_error {
  using std::runtime_error::runtime_error;
};

std::wstring Utf8ToWide(std::string_view text);
std::string WideToUtf8(std::wstring_view text);

class Request {
 public:
  static Request Parse(std::string_view line);

  const std::wstring& Name() const { return name_; }
  bool Has(std::size_t index) const { return index < args_.size(); }
  const std::wstring& Text(std::size_t index) const;
  long long Integer(std::size_t index) const;
  long long IntegerOr(std::size_t index, long long fallback) const;
  HWND Window(std::size_t index) const;

 private:
  std::wstring name_;
  std::vector<std::wstring> args_;
};

// Builds one JSON object, member by member, in the order they are added.
class JsonObject {
 public:
  JsonObject& Text(std::string_view key, std::wstring_view value);
  JsonObject& Number(std::string_view key, long long value);
  JsonObject& Bool(std::string_view key, bool value);
  JsonObject& Null(std::string_view key);
  JsonObject& Window(std::string_view key, HWND window);
  // `json` is an already encoded value: an object, an array or a literal.
  JsonObject& Raw(std::string_view key, std::string_view json);
  std::string Finish() const { return body_ + "}"; }

 private:
  void Key(std::string_view key);
  std::string body_ = "{";
};

std::string JsonArray(const std::vector<std::string>& encodedItems);
std::string JsonRect(const RECT& rect);
std::uint64_t WindowNumber(HWND window);

}  // namespace driver
