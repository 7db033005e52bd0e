// HTTP GET: one request, its status and length, and its body pulled in blocks of the caller's
// size. The caller's header block reaches the server byte for byte; nothing is cached.
// Texts (address, header block) are GBK/ASCII byte strings; the body is raw bytes.
// Nothing in this module throws; failures are reported as HttpError values.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

namespace platform::net {

enum class HttpError {
  none,
  bad_url,          // not an http(s) address, or malformed
  host_not_found,   // the name could not be resolved
  refused,          // nobody accepted the connection
  timed_out,        // the connect, idle or total time-out ran out
  connection_lost,  // the response stopped before its announced end, or broke off
  bad_response,     // the server's answer was not HTTP
  closed,           // the request is not open
  failed,           // anything else
};

// A short English description, for logs and test messages.
const char* describe(HttpError error);

enum class HttpVersion { http_1_0, http_1_1 };

struct HttpOptions {
  HttpVersion version = HttpVersion::http_1_1;
  // Request header lines separated by CR LF (a trailing CR LF is allowed). Each line is sent
  // exactly as written, in this order; a line here replaces the library's own line of that
  // name (Accept, User-Agent, ...). Only the Host line is always added.
  std::string header_block{};
  // Sent as User-Agent unless the header block has its own line.
  std::string user_agent{};
  // Adds "Pragma: no-cache" (and "Cache-Control: no-cache" for HTTP/1.1) unless the block has
  // those lines. Nothing is ever stored in a cache.
  bool no_cache = true;
  // Redirects are followed, like a browser does, up to this many times.
  int max_redirects = 5;
  unsigned connect_timeout_ms = 10'000;  // 0: none
  unsigned total_timeout_ms = 0;         // whole request including the body; 0: none
  unsigned idle_timeout_ms = 60'000;     // no byte received for this long; 0: none
};

// One GET request. open() returns when the response headers are in; read_block() then pulls
// the body. Move-only; the destructor closes the connection.
class HttpRequest {
 public:
  HttpRequest();
  ~HttpRequest();
  HttpRequest(HttpRequest&&) noexcept;
  HttpRequest& operator=(HttpRequest&&) noexcept;
  HttpRequest(const HttpRequest&) = delete;
  HttpRequest& operator=(const HttpRequest&) = delete;

  // Sends the request and waits for the final response's headers. Bytes of the address
  // outside printable ASCII are sent percent-encoded.
  HttpError open(std::string_view url, const HttpOptions& options = {});
  bool is_open() const;

  // Status code of the final response (0 before open succeeded).
  int status() const;
  // The response's Content-Length, 0 when the server sent none.
  std::uint64_t content_length() const;
  // A response header's value (the last response), "" when absent. Names match without
  // regard to case.
  std::string header(std::string_view name) const;

  // Fills `block` with the next bytes of the body: exactly `size` bytes unless the body ends
  // first. An empty block with HttpError::none is the end of the body. A body that ends before
  // its announced length answers connection_lost, never a short success.
  HttpError read_block(std::string& block, std::size_t size);

  void close();

 private:
  struct State;
  std::unique_ptr<State> state_;
};

struct HttpResult {
  HttpError error = HttpError::closed;
  int status = 0;
  std::string body;
};

// The whole GET in one call, for small pages: at most max_body bytes are kept (a longer body
// answers failed).
HttpResult http_get(std::string_view url, const HttpOptions& options = {},
                    std::size_t max_body = 16u << 20);

}  // namespace platform::net
