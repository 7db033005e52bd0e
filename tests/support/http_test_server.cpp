// The test HTTP server: one thread accepts, one thread per connection answers and closes.
#include "http_test_server.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>

namespace test_support {

namespace {

void pause_ms(int ms) {
  if (ms > 0) std::this_thread::sleep_for(std::chrono::milliseconds(ms));
}

bool send_all(int fd, std::string_view bytes) {
  while (!bytes.empty()) {
    ssize_t sent = ::send(fd, bytes.data(), bytes.size(), MSG_NOSIGNAL);
    if (sent <= 0) return false;
    bytes.remove_prefix(static_cast<std::size_t>(sent));
  }
  return true;
}

// Reads up to the blank line ending the request head (at most 64 KiB, 5 s).
std::string read_head(int fd) {
  std::string head;
  char buffer[4096];
  while (head.find("\r\n\r\n") == std::string::npos && head.size() < 65536) {
    pollfd ready{fd, POLLIN, 0};
    if (::poll(&ready, 1, 5000) <= 0) break;
    ssize_t got = ::recv(fd, buffer, sizeof buffer, 0);
    if (got <= 0) break;
    head.append(buffer, static_cast<std::size_t>(got));
  }
  return head;
}

std::string lower(std::string s) {
  for (char& c : s) c = (c >= 'A' && c <= 'Z') ? static_cast<char>(c + 32) : c;
  return s;
}

// The value of a header line of the head, "" when absent.
std::string header_value(const std::string& head, const std::string& name) {
  const std::string lowered = lower(head);
  std::size_t at = lowered.find("\r\n" + lower(name) + ":");
  if (at == std::string::npos) return {};
  at += name.size() + 3;
  std::size_t end = head.find("\r\n", at);
  std::string value = head.substr(at, end - at);
  while (!value.empty() && value.front() == ' ') value.erase(0, 1);
  return value;
}

// The start offset of "bytes=N-", or -1.
long long range_start(const std::string& head) {
  const std::string value = header_value(head, "Range");
  if (value.rfind("bytes=", 0) != 0) return -1;
  char* end = nullptr;
  long long start = std::strtoll(value.c_str() + 6, &end, 10);
  return (end != nullptr && *end == '-') ? start : -1;
}

std::string request_version(const std::string& head) {
  std::size_t line_end = head.find("\r\n");
  std::size_t space = head.rfind(' ', line_end);
  if (line_end == std::string::npos || space == std::string::npos) return "HTTP/1.1";
  return head.substr(space + 1, line_end - space - 1);
}

std::string response_head(const std::string& version, const HttpReply& reply) {
  std::string head = version + " " + std::to_string(reply.status) + " " + reply.reason + "\r\n";
  for (const std::string& line : reply.headers) head += line + "\r\n";
  if (reply.send_content_length) head += "Content-Length: " + std::to_string(reply.body.size()) + "\r\n";
  return head + "Connection: close\r\n\r\n";
}

}  // namespace

HttpTestServer::HttpTestServer() {
  listen_fd_ = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  socklen_t length = sizeof address;
  if (listen_fd_ < 0 || ::bind(listen_fd_, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
      ::listen(listen_fd_, 16) != 0 ||
      ::getsockname(listen_fd_, reinterpret_cast<sockaddr*>(&address), &length) != 0) {
    if (listen_fd_ >= 0) ::close(listen_fd_);
    listen_fd_ = -1;
    return;
  }
  port_ = ntohs(address.sin_port);
  acceptor_ = std::thread([this] { accept_loop(); });
}

HttpTestServer::~HttpTestServer() {
  stopping_ = true;
  if (acceptor_.joinable()) acceptor_.join();
  std::vector<std::thread> handlers;
  {
    std::lock_guard lock(mutex_);
    handlers.swap(handlers_);
  }
  for (std::thread& handler : handlers) handler.join();
  if (listen_fd_ >= 0) ::close(listen_fd_);
}

std::string HttpTestServer::url(std::string_view path) const {
  return "http://127.0.0.1:" + std::to_string(port_) + std::string(path);
}

void HttpTestServer::serve(const std::string& path, HttpReply reply) {
  std::lock_guard lock(mutex_);
  replies_[path] = std::move(reply);
}

std::vector<std::string> HttpTestServer::requests() const {
  std::lock_guard lock(mutex_);
  return requests_;
}

std::string HttpTestServer::last_request() const {
  std::lock_guard lock(mutex_);
  return requests_.empty() ? std::string() : requests_.back();
}

void HttpTestServer::clear_requests() {
  std::lock_guard lock(mutex_);
  requests_.clear();
}

int HttpTestServer::closed_port() {
  int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  socklen_t length = sizeof address;
  ::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address);
  ::getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length);
  ::close(fd);  // bound but never listening: the port now refuses connections
  return ntohs(address.sin_port);
}

HungPort::HungPort() {
  listen_fd_ = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  socklen_t length = sizeof address;
  if (listen_fd_ < 0 || ::bind(listen_fd_, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
      ::listen(listen_fd_, 0) != 0 || ::getsockname(listen_fd_, reinterpret_cast<sockaddr*>(&address), &length) != 0) {
    return;
  }
  port_ = ntohs(address.sin_port);
  // Fill the queue: later connection attempts get no answer at all.
  for (int i = 0; i < 3; ++i) {
    int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    ::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address);
    queued_fds_.push_back(fd);
  }
  pause_ms(100);
}

HungPort::~HungPort() {
  for (int fd : queued_fds_) ::close(fd);
  if (listen_fd_ >= 0) ::close(listen_fd_);
}

void HttpTestServer::accept_loop() {
  while (!stopping_) {
    pollfd ready{listen_fd_, POLLIN, 0};
    if (::poll(&ready, 1, 50) <= 0) continue;
    int client = ::accept4(listen_fd_, nullptr, nullptr, SOCK_CLOEXEC);
    if (client < 0) continue;
    std::lock_guard lock(mutex_);
    handlers_.emplace_back([this, client] { handle(client); });
  }
}

HttpReply HttpTestServer::reply_for(const std::string& head) const {
  std::size_t first_space = head.find(' ');
  std::size_t second_space = head.find(' ', first_space + 1);
  std::string target = (first_space == std::string::npos || second_space == std::string::npos)
                           ? std::string()
                           : head.substr(first_space + 1, second_space - first_space - 1);
  std::lock_guard lock(mutex_);
  auto found = replies_.find(target);
  if (found == replies_.end()) found = replies_.find(target.substr(0, target.find('?')));
  if (found != replies_.end()) return found->second;
  HttpReply missing;
  missing.status = 404;
  missing.reason = "Not Found";
  missing.body = "not found";
  return missing;
}

void HttpTestServer::handle(int client_fd) {
  const std::string head = read_head(client_fd);
  {
    std::lock_guard lock(mutex_);
    requests_.push_back(head);
  }
  HttpReply reply = reply_for(head);
  pause_ms(reply.delay_ms);
  if (!reply.raw.empty()) {
    send_all(client_fd, reply.raw);
    ::close(client_fd);
    return;
  }
  const long long start = reply.honour_range ? range_start(head) : -1;
  if (start >= 0 && static_cast<std::size_t>(start) <= reply.body.size()) {
    const std::size_t total = reply.body.size();
    reply.status = 206;
    reply.reason = "Partial Content";
    reply.headers.push_back("Content-Range: bytes " + std::to_string(start) + "-" + std::to_string(total - 1) +
                            "/" + std::to_string(total));
    reply.body.erase(0, static_cast<std::size_t>(start));
  }
  std::string_view body = reply.body;
  body = body.substr(0, std::min(body.size(), reply.cut_after));
  bool ok = send_all(client_fd, response_head(request_version(head), reply));
  const std::size_t chunk = reply.chunk_size > 0 ? reply.chunk_size : body.size() + 1;
  while (ok && !body.empty() && !stopping_) {
    ok = send_all(client_fd, body.substr(0, chunk));
    body.remove_prefix(std::min(chunk, body.size()));
    if (!body.empty()) pause_ms(reply.chunk_delay_ms);
  }
  ::shutdown(client_fd, SHUT_WR);
  ::close(client_fd);
}

}  // namespace test_support
