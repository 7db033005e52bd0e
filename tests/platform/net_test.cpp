// HTTP GET against the loopback test server: what the server receives, and what the caller's
// block-wise read loop sees.
#include "platform/net.h"

#include "http_test_server.h"

#include <gtest/gtest.h>

#include <chrono>

using platform::net::HttpError;
using platform::net::HttpOptions;
using platform::net::HttpRequest;
using platform::net::HttpVersion;
using test_support::HttpReply;
using test_support::HttpTestServer;

namespace {

// The header block of a resumed program download.
const std::string download_headers =
    "Accept: */*\r\n"
    "Accept-Language: zh-cn\r\n"
    "Accept-Encoding: gzip, deflate\r\n"
    "User-Agent: Mozilla/4.0(compatible; MSIE 6.0; Windows NT 5.0; MyIE2; .NET CLR 1.1.4322)\r\n"
    "Range:bytes=1000-";

std::string pattern_body(std::size_t size) {
  std::string body(size, '\0');
  for (std::size_t i = 0; i < size; ++i) body[i] = static_cast<char>('a' + (i * 7) % 26);
  return body;
}

struct Blocks {
  HttpError error = HttpError::none;
  std::vector<std::size_t> sizes;  // the last one is the 0 that ends the body
  std::string body;
};

Blocks read_all(HttpRequest& request, std::size_t block_size) {
  Blocks result;
  std::string block;
  while ((result.error = request.read_block(block, block_size)) == HttpError::none) {
    result.sizes.push_back(block.size());
    result.body += block;
    if (block.empty()) break;
  }
  return result;
}

std::vector<std::string> header_names(const std::string& head) {
  std::vector<std::string> names;
  std::size_t at = head.find("\r\n");
  while (at != std::string::npos) {
    std::size_t end = head.find("\r\n", at + 2);
    std::string line = head.substr(at + 2, end - at - 2);
    if (line.empty() || end == std::string::npos) break;
    names.push_back(line.substr(0, line.find(':')));
    at = end;
  }
  return names;
}

class NetTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(server_.listening()); }
  HttpTestServer server_;
};

}  // namespace

TEST_F(NetTest, HeaderBlockReachesTheServerByteForByteOverHttp10) {
  server_.serve("/new.exe", HttpReply{.body = "x"});
  HttpRequest request;
  ASSERT_EQ(request.open(server_.url("/new.exe"), {.version = HttpVersion::http_1_0, .header_block = download_headers}),
            HttpError::none);
  const std::string head = server_.last_request();
  EXPECT_EQ(head.substr(0, head.find("\r\n")), "GET /new.exe HTTP/1.0");
  EXPECT_NE(head.find("\r\n" + download_headers + "\r\n"), std::string::npos) << head;
  // Nothing of the library's own that changes the meaning: only Host and the no-cache line.
  EXPECT_EQ(header_names(head), (std::vector<std::string>{"Host", "Accept", "Accept-Language", "Accept-Encoding",
                                                           "User-Agent", "Range", "Pragma"}))
      << head;
  EXPECT_NE(head.find("\r\nPragma: no-cache\r\n"), std::string::npos);
}

TEST_F(NetTest, DefaultsAddAgentAndNoCacheLines) {
  server_.serve("/ip", HttpReply{.body = "your address is [5.6.7.8]"});
  auto result = platform::net::http_get(server_.url("/ip"), {.user_agent = "Agent12345"});
  EXPECT_EQ(result.error, HttpError::none);
  EXPECT_EQ(result.status, 200);
  EXPECT_EQ(result.body, "your address is [5.6.7.8]");
  const std::string head = server_.last_request();
  EXPECT_NE(head.find("\r\nUser-Agent: Agent12345\r\n"), std::string::npos) << head;
  EXPECT_NE(head.find("\r\nCache-Control: no-cache\r\n"), std::string::npos) << head;
  EXPECT_EQ(head.find("Accept-Encoding"), std::string::npos) << head;
}

TEST_F(NetTest, BodyArrivesInBlocksOfTheAskedSize) {
  const std::string body = pattern_body(25000);
  server_.serve("/fast", HttpReply{.body = body});
  server_.serve("/slow", HttpReply{.body = body, .chunk_size = 3000, .chunk_delay_ms = 5});
  for (const char* path : {"/fast", "/slow"}) {
    SCOPED_TRACE(path);
    HttpRequest request;
    ASSERT_EQ(request.open(server_.url(path)), HttpError::none);
    EXPECT_EQ(request.status(), 200);
    EXPECT_EQ(request.content_length(), 25000u);
    Blocks blocks = read_all(request, 10240);
    EXPECT_EQ(blocks.error, HttpError::none);
    EXPECT_EQ(blocks.sizes, (std::vector<std::size_t>{10240, 10240, 4520, 0}));
    EXPECT_EQ(blocks.body, body);
  }
}

TEST_F(NetTest, RangeResumesFromTheOffset) {
  const std::string body = pattern_body(25000);
  server_.serve("/new.exe", HttpReply{.body = body, .honour_range = true});
  HttpRequest request;
  ASSERT_EQ(request.open(server_.url("/new.exe"), {.header_block = download_headers}), HttpError::none);
  EXPECT_EQ(request.status(), 206);
  EXPECT_EQ(request.content_length(), 24000u);
  EXPECT_EQ(read_all(request, 10240).body, body.substr(1000));
}

TEST_F(NetTest, StatusAndLengthAsTheServerSentThem) {
  server_.serve("/missing", HttpReply{.status = 404, .reason = "Not Found", .body = "<h1>404</h1>"});
  server_.serve("/unsized", HttpReply{.body = "until close", .send_content_length = false});
  server_.serve("/moved", HttpReply{.status = 302, .reason = "Found", .headers = {"Location: /unsized"}});
  struct Case {
    const char* path;
    int status;
    std::uint64_t length;
    const char* body;
  };
  const Case cases[] = {{"/missing", 404, 12, "<h1>404</h1>"},
                        {"/unsized", 200, 0, "until close"},
                        {"/moved", 200, 0, "until close"}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.path);
    HttpRequest request;
    ASSERT_EQ(request.open(server_.url(c.path), {.version = HttpVersion::http_1_0}), HttpError::none);
    EXPECT_EQ(request.status(), c.status);
    EXPECT_EQ(request.content_length(), c.length);
    EXPECT_EQ(read_all(request, 4).body, c.body);
  }
}

TEST_F(NetTest, FailuresAreReportedClearly) {
  server_.serve("/late", HttpReply{.body = "late", .delay_ms = 2000});
  server_.serve("/garbage", HttpReply{.raw = "garbage\r\n\r\n"});
  const std::string refused = "http://127.0.0.1:" + std::to_string(HttpTestServer::closed_port()) + "/";
  struct Case {
    std::string url;
    HttpError error;
  };
  const Case cases[] = {{refused, HttpError::refused},
                        {server_.url("/late"), HttpError::timed_out},
                        {server_.url("/garbage"), HttpError::bad_response},
                        {"ftp://127.0.0.1/file", HttpError::bad_url},
                        {"not an address", HttpError::bad_url},
                        {"", HttpError::bad_url}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.url);
    const auto start = std::chrono::steady_clock::now();
    HttpRequest request;
    EXPECT_EQ(request.open(c.url, {.connect_timeout_ms = 1000, .total_timeout_ms = 300}), c.error);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(1500));
    EXPECT_FALSE(request.is_open());
    std::string block;
    EXPECT_EQ(request.read_block(block, 10), HttpError::closed);
  }
}

TEST_F(NetTest, ConnectTimeOutEndsAHungConnect) {
  test_support::HungPort hung;
  ASSERT_GT(hung.port(), 0);
  const auto start = std::chrono::steady_clock::now();
  HttpRequest request;
  EXPECT_EQ(request.open("http://127.0.0.1:" + std::to_string(hung.port()) + "/", {.connect_timeout_ms = 300}),
            HttpError::timed_out);
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(1500));
}

TEST_F(NetTest, CutOffBodyIsAFailureNotAShortSuccess) {
  server_.serve("/cut", HttpReply{.body = pattern_body(25000), .cut_after = 15000});
  HttpRequest request;
  ASSERT_EQ(request.open(server_.url("/cut")), HttpError::none);
  Blocks blocks = read_all(request, 10240);
  EXPECT_EQ(blocks.sizes, (std::vector<std::size_t>{10240, 4760}));
  EXPECT_EQ(blocks.error, HttpError::connection_lost);
}

TEST_F(NetTest, StalledBodyTimesOut) {
  server_.serve("/stall", HttpReply{.body = pattern_body(20000), .chunk_size = 5000, .chunk_delay_ms = 1500});
  HttpRequest request;
  ASSERT_EQ(request.open(server_.url("/stall"), {.total_timeout_ms = 500}), HttpError::none);
  EXPECT_EQ(read_all(request, 10240).error, HttpError::timed_out);
}
