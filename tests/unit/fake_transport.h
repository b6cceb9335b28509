#pragma once

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <stdexcept>
#include <string>
#include <vector>

#include "gemini/http_transport.h"

namespace parlivo {

// A scripted HTTP layer: each step can fail, the reply arrives in the chunks
// the test lays out, and every call is logged in order.
class FakeTransport final : public HttpTransport {
 public:
  enum class Step { kOpen, kCrack, kConnect, kOpenRequest, kSend, kReceive };

  // The reply, one entry per QueryDataAvailable answer.
  std::vector<std::string> chunks;
  // After the chunks are used up: a failing query instead of a zero count.
  bool queryFailsAtEnd = false;
  // Index of the chunk whose read fails (nothing delivered for it).
  int failReadAt = -1;
  // Index of the chunk whose read throws.
  int throwReadAt = -1;
  // Deliver only this many bytes of each chunk per read (0: all).
  std::uint32_t maxReadBytes = 0;
  std::vector<Step> failing;
  UrlParts crackedParts{u"example.test", 443, u"/path?&key=k"};

  std::vector<std::string> log;
  std::string sentBody;
  std::u16string userAgent;
  std::u16string host;
  std::uint16_t port = 0;
  std::u16string verb;
  std::u16string path;
  std::vector<std::u16string> headers;
  std::u16string crackedUrl;
  std::uint64_t bytesHandedOut = 0;

  HttpHandle OpenSession(std::u16string_view agent) override {
    log.push_back("open");
    userAgent = agent;
    return Fails(Step::kOpen) ? nullptr : kSession;
  }
  bool CrackUrl(std::u16string_view url, UrlParts& parts) override {
    log.push_back("crack");
    crackedUrl = url;
    if (Fails(Step::kCrack)) return false;
    parts = crackedParts;
    return true;
  }
  HttpHandle Connect(HttpHandle session, std::u16string_view h, std::uint16_t p) override {
    log.push_back("connect");
    RequireHandle(session, kSession);
    host = h;
    port = p;
    return Fails(Step::kConnect) ? nullptr : kConnection;
  }
  HttpHandle OpenRequest(HttpHandle connection, std::u16string_view v,
                         std::u16string_view pathAndQuery) override {
    log.push_back("request");
    RequireHandle(connection, kConnection);
    verb = v;
    path = pathAndQuery;
    return Fails(Step::kOpenRequest) ? nullptr : kRequest;
  }
  bool AddHeader(HttpHandle request, std::u16string_view line) override {
    log.push_back("header");
    RequireHandle(request, kRequest);
    headers.emplace_back(line);
    return false;  // the result must not matter
  }
  bool Send(HttpHandle request, std::string_view body) override {
    log.push_back("send");
    RequireHandle(request, kRequest);
    sentBody = body;
    return !Fails(Step::kSend);
  }
  bool ReceiveResponse(HttpHandle request) override {
    log.push_back("receive");
    RequireHandle(request, kRequest);
    return !Fails(Step::kReceive);
  }
  bool QueryDataAvailable(HttpHandle request, std::uint32_t& available) override {
    log.push_back("query");
    RequireHandle(request, kRequest);
    if (next_ >= chunks.size()) {
      available = 0;
      return !queryFailsAtEnd;
    }
    available = static_cast<std::uint32_t>(chunks[next_].size() - offset_);
    return true;
  }
  bool ReadData(HttpHandle request, char* buffer, std::uint32_t toRead,
                std::uint32_t& read) override {
    log.push_back("read");
    RequireHandle(request, kRequest);
    const int index = static_cast<int>(next_);
    if (index == throwReadAt) throw std::bad_alloc();
    if (index == failReadAt || next_ >= chunks.size()) {
      read = 0;
      return false;
    }
    const std::string& chunk = chunks[next_];
    std::uint32_t n = std::min<std::uint32_t>(toRead, static_cast<std::uint32_t>(chunk.size() - offset_));
    if (maxReadBytes != 0) n = std::min(n, maxReadBytes);
    std::memcpy(buffer, chunk.data() + offset_, n);
    offset_ += n;
    bytesHandedOut += n;
    if (offset_ == chunk.size()) {
      ++next_;
      offset_ = 0;
    }
    read = n;
    return true;
  }
  void Close(HttpHandle handle) override {
    if (handle == kSession) log.push_back("close session");
    else if (handle == kConnection) log.push_back("close connection");
    else if (handle == kRequest) log.push_back("close request");
    else log.push_back("close unknown");
  }

 private:
  static inline const HttpHandle kSession = reinterpret_cast<HttpHandle>(0x10);
  static inline const HttpHandle kConnection = reinterpret_cast<HttpHandle>(0x20);
  static inline const HttpHandle kRequest = reinterpret_cast<HttpHandle>(0x30);

  static void RequireHandle(HttpHandle got, HttpHandle want) {
    if (got != want) throw std::logic_error("wrong handle passed");
  }
  bool Fails(Step step) const {
    return std::find(failing.begin(), failing.end(), step) != failing.end();
  }

  std::size_t next_ = 0;
  std::size_t offset_ = 0;
};

}  // namespace parlivo
