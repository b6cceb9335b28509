#include "gemini/http_post.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "fake_transport.h"
#include "gemini/response_text.h"

#include "case_name.h"

namespace parlivo {
namespace {

using Step = FakeTransport::Step;
using Log = std::vector<std::string>;

const std::u16string kUrl = u"https://example.test/v1beta/models/m:generateContent?&key=k";
const std::string kAnswerReply = R"({"candidates": [{"content": {"parts": [{"text": "Arabic: a"}]}}]})";

std::u16string Post(FakeTransport& transport, std::u16string_view body = u"{}") {
  return HttpPost(transport, kUrl, body);
}

struct FailureCase {
  const char* name;
  Step step;
  std::u16string_view expected;
  Log log;
};

class HttpPostFailureTest : public testing::TestWithParam<FailureCase> {};

TEST_P(HttpPostFailureTest, EndsAtTheFailingStepAndClosesWhatItOpened) {
  FakeTransport transport;
  transport.failing = {GetParam().step};
  transport.chunks = {kAnswerReply};
  EXPECT_EQ(Post(transport), GetParam().expected);
  EXPECT_EQ(transport.log, GetParam().log);
}

const Log kUpToSend = {"open", "crack", "connect", "request", "header", "header", "send"};

Log Concat(Log head, const Log& tail) {
  head.insert(head.end(), tail.begin(), tail.end());
  return head;
}

INSTANTIATE_TEST_SUITE_P(
    Steps, HttpPostFailureTest,
    testing::Values(
        FailureCase{"Open", Step::kOpen, u"Error: Failed to initialize WinHTTP", {"open"}},
        FailureCase{"Crack", Step::kCrack, u"Error: Failed to parse URL",
                    {"open", "crack", "close session"}},
        FailureCase{"Connect", Step::kConnect, u"Error: Failed to connect",
                    {"open", "crack", "connect", "close session"}},
        FailureCase{"OpenRequest", Step::kOpenRequest, u"Error: Failed to create request",
                    {"open", "crack", "connect", "request", "close connection", "close session"}},
        FailureCase{"Send", Step::kSend, u"Error: Failed to send request",
                    Concat(kUpToSend, {"close request", "close connection", "close session"})},
        FailureCase{"Receive", Step::kReceive, u"Error: Failed to receive response",
                    Concat(kUpToSend, {"receive", "close request", "close connection", "close session"})}),
    CaseName());

TEST(HttpPost, SendsThePostWithItsHeadersAndUtf8Body) {
  FakeTransport transport;
  transport.crackedParts = {u"host.test", 443, u"/v1beta/models/m:generateContent?&key=k"};
  transport.chunks = {kAnswerReply};
  EXPECT_EQ(Post(transport, u"{\"t\":\"\u00E4\U0001F600\"}"), u"Arabic: a");
  EXPECT_EQ(transport.userAgent, u"Parlivo/1.0");
  EXPECT_EQ(transport.crackedUrl, kUrl);
  EXPECT_EQ(transport.host, u"host.test");
  EXPECT_EQ(transport.port, 443);
  EXPECT_EQ(transport.verb, u"POST");
  EXPECT_EQ(transport.path, u"/v1beta/models/m:generateContent?&key=k");
  EXPECT_EQ(transport.headers, (std::vector<std::u16string>{
                                   u"Content-Type: application/json; charset=utf-8",
                                   u"Accept: application/json"}));
  EXPECT_EQ(transport.sentBody, "{\"t\":\"\xC3\xA4\xF0\x9F\x98\x80\"}");
  EXPECT_EQ(transport.log, Concat(kUpToSend, {"receive", "query", "read", "query", "close request",
                                              "close connection", "close session"}));
}

TEST(HttpPost, JoinsChunksAndPartialReads) {
  FakeTransport transport;
  const std::string reply = R"({"text": "Arabic: )" "\xD9\x85" R"( English: b"})";
  transport.chunks = {reply.substr(0, 5), reply.substr(5, 13), reply.substr(18)};
  transport.maxReadBytes = 3;
  EXPECT_EQ(Post(transport), u"Arabic: \u0645 English: b");
}

TEST(HttpPost, ChunkBoundaryInsideAUtf8SequenceIsHarmless) {
  FakeTransport transport;
  transport.chunks = {"{\"text\": \"\xD9", "\x85\"}"};
  EXPECT_EQ(Post(transport), u"\u0645");
}

TEST(HttpPost, ErrorStatusBodyIsReadLikeAnyOther) {
  FakeTransport transport;
  const std::string error = R"({"error": {"code": 400, "message": "API key not valid.", "status": "INVALID_ARGUMENT"}})";
  transport.chunks = {error};
  EXPECT_EQ(Post(transport), ParseFailureText(std::u16string(error.begin(), error.end())));
}

TEST(HttpPost, EmptyBodyGivesTheBareParseFailureText) {
  FakeTransport transport;
  EXPECT_EQ(Post(transport), u"Error: Could not parse response. Raw response: ...");
}

TEST(HttpPost, FailedReadKeepsWhatArrived) {
  FakeTransport transport;
  transport.chunks = {"{\"text\": \"Arabic: partial", " lost"};
  transport.failReadAt = 1;
  EXPECT_EQ(Post(transport), u"Arabic: partial");
}

TEST(HttpPost, FailedQueryKeepsWhatArrived) {
  FakeTransport transport;
  transport.chunks = {"{\"text\": \"cut here"};
  transport.queryFailsAtEnd = true;
  EXPECT_EQ(Post(transport), u"cut here");
}

TEST(HttpPost, ExceptionWhileReadingGivesTheReadError) {
  FakeTransport transport;
  transport.chunks = {"{\"text\": \"a", "b\"}"};
  transport.throwReadAt = 1;
  EXPECT_EQ(Post(transport), u"Error: Failed to read response data");
  EXPECT_EQ(std::vector<std::string>(transport.log.end() - 3, transport.log.end()),
            (Log{"close request", "close connection", "close session"}));
}

TEST(HttpPost, MalformedUtf8IsReplacedNotRefused) {
  FakeTransport transport;
  transport.chunks = {"{\"text\": \"a\xFF\xC3\"}"};
  EXPECT_EQ(Post(transport), u"a\uFFFD\uFFFD");
}

// The limit is tested before each chunk against the bytes already received.
std::string Filler(std::size_t size) {
  std::string text = "{\"text\": \"";
  text.resize(size, 'x');
  return text;
}

TEST(HttpPostLimit, ExactlyTheLimitThenMoreIsAccepted) {
  FakeTransport transport;
  transport.chunks = {Filler(kResponseLimitBytes), "tail"};
  const std::u16string result = Post(transport);
  EXPECT_EQ(result.size(), kResponseLimitBytes - 10 + 4);
}

TEST(HttpPostLimit, OneByteOverTheLimitWithMoreWaitingIsRefused) {
  FakeTransport transport;
  transport.chunks = {Filler(kResponseLimitBytes + 1), "t"};
  EXPECT_EQ(Post(transport), u"Error: Response too large");
  EXPECT_EQ(transport.bytesHandedOut, kResponseLimitBytes + 1);
  EXPECT_EQ(std::vector<std::string>(transport.log.end() - 3, transport.log.end()),
            (Log{"close request", "close connection", "close session"}));
}

TEST(HttpPostLimit, LastChunkMayCrossTheLimit) {
  FakeTransport transport;
  transport.chunks = {Filler(kResponseLimitBytes - 1), std::string(4096, 'y')};
  EXPECT_EQ(Post(transport).size(), kResponseLimitBytes - 1 - 10 + 4096);
}

TEST(HttpPostLimit, OverTheLimitWithNothingMoreIsAccepted) {
  FakeTransport transport;
  transport.chunks = {Filler(kResponseLimitBytes + 100)};
  EXPECT_EQ(Post(transport).size(), kResponseLimitBytes + 100 - 10);
}

TEST(HttpPostLimit, StreamingReplyStopsSoonAfterTheLimit) {
  FakeTransport transport;
  transport.chunks.assign(600, std::string(8192, 'z'));
  transport.chunks.front() = "{\"text\": \"" + std::string(8182, 'z');
  EXPECT_EQ(Post(transport), u"Error: Response too large");
  EXPECT_EQ(transport.bytesHandedOut, kResponseLimitBytes + 8192);
}

}  // namespace
}  // namespace parlivo
