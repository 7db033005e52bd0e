// An HTTP server on 127.0.0.1 for tests: serves the replies a test gives it per path (bodies,
// statuses, headers, slow or cut-off responses, Range) and records every raw request head.
// Plain POSIX sockets and threads, no other library, so tests of any layer can link it.
#pragma once

#include <atomic>
#include <cstddef>
#include <map>
#include <mutex>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

namespace test_support {

struct HttpReply {
  int status = 200;
  std::string reason = "OK";
  std::vector<std::string> headers{};  // extra "Name: value" lines
  std::string body{};
  bool send_content_length = true;
  // Close the connection after this many body bytes (a cut-off response).
  std::size_t cut_after = static_cast<std::size_t>(-1);
  int delay_ms = 0;            // wait before answering at all
  std::size_t chunk_size = 0;  // slow body: send this many bytes, then wait chunk_delay_ms
  int chunk_delay_ms = 0;
  // Answer "Range: bytes=N-" with 206 and the body from N on.
  bool honour_range = false;
  // When not empty, sent verbatim instead of everything above.
  std::string raw{};
};

class HttpTestServer {
 public:
  HttpTestServer();
  ~HttpTestServer();
  HttpTestServer(const HttpTestServer&) = delete;
  HttpTestServer& operator=(const HttpTestServer&) = delete;

  // False when the server could not listen.
  bool listening() const { return listen_fd_ >= 0; }
  int port() const { return port_; }
  // "http://127.0.0.1:PORT" + path.
  std::string url(std::string_view path) const;

  // The reply for a request target (path with query, else the path without it). Unknown
  // targets get 404.
  void serve(const std::string& path, HttpReply reply);

  // Raw request heads (request line and header lines up to and including the blank line), in
  // the order they arrived.
  std::vector<std::string> requests() const;
  std::string last_request() const;
  void clear_requests();

  // A loopback port on which nobody listens (for refused connections).
  static int closed_port();

 private:
  void accept_loop();
  void handle(int client_fd);
  HttpReply reply_for(const std::string& head) const;

  int listen_fd_ = -1;
  int port_ = 0;
  std::atomic<bool> stopping_ = false;
  std::thread acceptor_;
  mutable std::mutex mutex_;
  std::map<std::string, HttpReply> replies_;
  std::vector<std::string> requests_;
  std::vector<std::thread> handlers_;
};

// A loopback port whose listen queue is full and never accepted: connecting hangs until the
// client's connect time-out.
class HungPort {
 public:
  HungPort();
  ~HungPort();
  HungPort(const HungPort&) = delete;
  HungPort& operator=(const HungPort&) = delete;
  int port() const { return port_; }

 private:
  int listen_fd_ = -1;
  std::vector<int> queued_fds_;
  int port_ = 0;
};

}  // namespace test_support
