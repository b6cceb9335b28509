#pragma once

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <string_view>

#include "gemini/http_transport.h"

namespace parlivo::bench {

// An HTTP layer that never fails and serves one reply from memory in chunks
// of a fixed size, as a network layer reports data as it arrives. It does as
// little as it can, so that a benchmark of HttpPost times HttpPost.
class MemoryTransport final : public HttpTransport {
 public:
  MemoryTransport(std::string_view reply, std::uint32_t chunkBytes)
      : reply_(reply), chunkBytes_(chunkBytes) {}

  // Serves the reply from its start again, for the next exchange.
  void Rewind() { offset_ = 0; }

  HttpHandle OpenSession(std::u16string_view) override { return Handle(); }
  bool CrackUrl(std::u16string_view, UrlParts& parts) override {
    parts.host = u"example.test";
    parts.port = 443;
    parts.pathAndQuery = u"/v1beta/models/m:generateContent?&key=k";
    return true;
  }
  HttpHandle Connect(HttpHandle, std::u16string_view, std::uint16_t) override { return Handle(); }
  HttpHandle OpenRequest(HttpHandle, std::u16string_view, std::u16string_view) override {
    return Handle();
  }
  bool AddHeader(HttpHandle, std::u16string_view) override { return true; }
  bool Send(HttpHandle, std::string_view) override { return true; }
  bool ReceiveResponse(HttpHandle) override { return true; }
  bool QueryDataAvailable(HttpHandle, std::uint32_t& available) override {
    available = static_cast<std::uint32_t>(std::min<std::size_t>(chunkBytes_, Remaining()));
    return true;
  }
  bool ReadData(HttpHandle, char* buffer, std::uint32_t toRead, std::uint32_t& read) override {
    read = static_cast<std::uint32_t>(std::min<std::size_t>(toRead, Remaining()));
    std::memcpy(buffer, reply_.data() + offset_, read);
    offset_ += read;
    return true;
  }
  void Close(HttpHandle) override {}

 private:
  HttpHandle Handle() { return this; }
  std::size_t Remaining() const { return reply_.size() - offset_; }

  std::string_view reply_;
  std::uint32_t chunkBytes_;
  std::size_t offset_ = 0;
};

}  // namespace parlivo::bench
