// HTTP GET over libcurl's multi interface, so that the body can be pulled block by block:
// every received byte is buffered, and read_block drives the transfer until it can hand out
// a whole block or the body has ended.
#include "platform/net.h"

#include <curl/curl.h>

#include <mutex>
#include <utility>
#include <vector>

namespace platform::net {

namespace {

void init_library_once() {
  static std::once_flag once;
  std::call_once(once, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
}

char ascii_lower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c + 32) : c; }

bool equal_ignoring_case(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (ascii_lower(a[i]) != ascii_lower(b[i])) return false;
  }
  return true;
}

std::string_view trimmed(std::string_view s) {
  while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
  while (!s.empty() && (s.back() == ' ' || s.back() == '\t' || s.back() == '\r' || s.back() == '\n')) {
    s.remove_suffix(1);
  }
  return s;
}

// The header lines of a CR LF separated block, each exactly as written, empty lines left out.
std::vector<std::string> header_lines(std::string_view block) {
  std::vector<std::string> lines;
  while (!block.empty()) {
    std::size_t end = block.find('\n');
    std::string_view line = block.substr(0, end);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    if (!line.empty()) lines.emplace_back(line);
    if (end == std::string_view::npos) break;
    block.remove_prefix(end + 1);
  }
  return lines;
}

bool has_header(const std::vector<std::string>& lines, std::string_view name) {
  for (const std::string& line : lines) {
    std::size_t colon = line.find_first_of(":;");
    if (colon != std::string::npos && equal_ignoring_case(trimmed(std::string_view(line).substr(0, colon)), name)) {
      return true;
    }
  }
  return false;
}

// Bytes a URL may not carry as they are become %XX.
std::string encoded_url(std::string_view url) {
  static const char hex[] = "0123456789ABCDEF";
  std::string out;
  for (char c : url) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte <= 0x20 || byte >= 0x7F) {
      out += '%';
      out += hex[byte >> 4];
      out += hex[byte & 0xF];
    } else {
      out += c;
    }
  }
  return out;
}

// Only well-formed http and https addresses are requested.
bool is_http_url(const std::string& url) {
  CURLU* parsed = curl_url();
  if (parsed == nullptr) return false;
  char* scheme = nullptr;
  bool ok = curl_url_set(parsed, CURLUPART_URL, url.c_str(), 0) == CURLUE_OK &&
            curl_url_get(parsed, CURLUPART_SCHEME, &scheme, 0) == CURLUE_OK &&
            (std::string_view(scheme) == "http" || std::string_view(scheme) == "https");
  curl_free(scheme);
  curl_url_cleanup(parsed);
  return ok;
}

HttpError error_of(CURLcode code) {
  switch (code) {
    case CURLE_OK: return HttpError::none;
    case CURLE_URL_MALFORMAT: return HttpError::bad_url;
    case CURLE_COULDNT_RESOLVE_HOST:
    case CURLE_COULDNT_RESOLVE_PROXY: return HttpError::host_not_found;
    case CURLE_COULDNT_CONNECT: return HttpError::refused;
    case CURLE_OPERATION_TIMEDOUT: return HttpError::timed_out;
    case CURLE_PARTIAL_FILE:
    case CURLE_RECV_ERROR:
    case CURLE_SEND_ERROR:
    case CURLE_GOT_NOTHING: return HttpError::connection_lost;
    case CURLE_UNSUPPORTED_PROTOCOL:  // the address was checked: an answer that is not HTTP
    case CURLE_WEIRD_SERVER_REPLY: return HttpError::bad_response;
    default: return HttpError::failed;
  }
}

bool is_followed_redirect(int status) {
  return status == 301 || status == 302 || status == 303 || status == 307 || status == 308;
}

}  // namespace

const char* describe(HttpError error) {
  switch (error) {
    case HttpError::none: return "no error";
    case HttpError::bad_url: return "bad address";
    case HttpError::host_not_found: return "host not found";
    case HttpError::refused: return "connection refused";
    case HttpError::timed_out: return "timed out";
    case HttpError::connection_lost: return "connection lost before the end of the response";
    case HttpError::bad_response: return "not an HTTP response";
    case HttpError::closed: return "request not open";
    case HttpError::failed: return "request failed";
  }
  return "request failed";
}

struct HttpRequest::State {
  CURLM* multi = nullptr;
  CURL* easy = nullptr;
  curl_slist* headers = nullptr;
  bool follow_redirects = false;

  // The response being received; a redirect or an interim (1xx) response starts it anew.
  int status = 0;
  std::vector<std::pair<std::string, std::string>> response_headers;
  bool headers_done = false;

  std::string body;  // received, not yet handed out: body[body_start..]
  std::size_t body_start = 0;
  bool transfer_done = false;
  CURLcode result = CURLE_OK;

  ~State() {
    if (multi != nullptr && easy != nullptr) curl_multi_remove_handle(multi, easy);
    if (easy != nullptr) curl_easy_cleanup(easy);
    if (multi != nullptr) curl_multi_cleanup(multi);
    curl_slist_free_all(headers);
  }

  std::size_t available() const { return body.size() - body_start; }

  std::string header(std::string_view name) const {
    std::string value;
    for (const auto& [key, text] : response_headers) {
      if (equal_ignoring_case(key, name)) value = text;
    }
    return value;
  }

  void on_header_line(std::string_view line) {
    if (line.starts_with("HTTP/")) {
      std::size_t space = line.find(' ');
      status = (space == std::string_view::npos) ? 0 : std::atoi(std::string(line.substr(space + 1, 3)).c_str());
      response_headers.clear();
      return;
    }
    if (trimmed(line).empty()) {
      const bool interim = status >= 100 && status < 200;
      const bool redirect = follow_redirects && is_followed_redirect(status) && !header("Location").empty();
      if (!interim && !redirect) headers_done = true;
      return;
    }
    std::size_t colon = line.find(':');
    if (colon == std::string_view::npos) return;
    response_headers.emplace_back(trimmed(line.substr(0, colon)), trimmed(line.substr(colon + 1)));
  }

  static std::size_t header_callback(char* data, std::size_t size, std::size_t count, void* self) {
    static_cast<State*>(self)->on_header_line(std::string_view(data, size * count));
    return size * count;
  }

  static std::size_t write_callback(char* data, std::size_t size, std::size_t count, void* self) {
    auto* state = static_cast<State*>(self);
    state->headers_done = true;
    state->body.append(data, size * count);
    return size * count;
  }

  // Runs the transfer a step, waiting up to 250 ms for the socket.
  void pump() {
    int running = 0;
    curl_multi_perform(multi, &running);
    int queued = 0;
    while (CURLMsg* message = curl_multi_info_read(multi, &queued)) {
      if (message->msg == CURLMSG_DONE) {
        transfer_done = true;
        result = message->data.result;
      }
    }
    if (!transfer_done && running > 0) curl_multi_poll(multi, nullptr, 0, 250, nullptr);
    if (!transfer_done && running == 0) transfer_done = true;
  }

  // Drops bytes already handed out once they make up most of the buffer.
  void compact() {
    if (body_start > 0 && body_start * 2 >= body.size()) {
      body.erase(0, body_start);
      body_start = 0;
    }
  }

  void configure(const std::string& url, const HttpOptions& options) {
    const std::vector<std::string> lines = header_lines(options.header_block);
    for (const std::string& line : lines) headers = curl_slist_append(headers, line.c_str());
    if (options.no_cache && !has_header(lines, "Pragma")) {
      headers = curl_slist_append(headers, "Pragma: no-cache");
    }
    if (options.no_cache && options.version == HttpVersion::http_1_1 && !has_header(lines, "Cache-Control")) {
      headers = curl_slist_append(headers, "Cache-Control: no-cache");
    }
    follow_redirects = options.max_redirects > 0;
    curl_easy_setopt(easy, CURLOPT_URL, url.c_str());
    curl_easy_setopt(easy, CURLOPT_HTTPGET, 1L);
    curl_easy_setopt(easy, CURLOPT_HTTPHEADER, headers);
    curl_easy_setopt(easy, CURLOPT_HTTP_VERSION,
                     options.version == HttpVersion::http_1_0 ? CURL_HTTP_VERSION_1_0 : CURL_HTTP_VERSION_1_1);
    if (!options.user_agent.empty()) curl_easy_setopt(easy, CURLOPT_USERAGENT, options.user_agent.c_str());
    curl_easy_setopt(easy, CURLOPT_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(easy, CURLOPT_REDIR_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(easy, CURLOPT_FOLLOWLOCATION, follow_redirects ? 1L : 0L);
    curl_easy_setopt(easy, CURLOPT_MAXREDIRS, static_cast<long>(options.max_redirects));
    curl_easy_setopt(easy, CURLOPT_NOPROXY, "127.0.0.1,localhost,::1");
    curl_easy_setopt(easy, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(easy, CURLOPT_CONNECTTIMEOUT_MS, static_cast<long>(options.connect_timeout_ms));
    curl_easy_setopt(easy, CURLOPT_TIMEOUT_MS, static_cast<long>(options.total_timeout_ms));
    if (options.idle_timeout_ms > 0) {
      curl_easy_setopt(easy, CURLOPT_LOW_SPEED_LIMIT, 1L);
      curl_easy_setopt(easy, CURLOPT_LOW_SPEED_TIME, static_cast<long>((options.idle_timeout_ms + 999) / 1000));
    }
    curl_easy_setopt(easy, CURLOPT_HEADERFUNCTION, &State::header_callback);
    curl_easy_setopt(easy, CURLOPT_HEADERDATA, this);
    curl_easy_setopt(easy, CURLOPT_WRITEFUNCTION, &State::write_callback);
    curl_easy_setopt(easy, CURLOPT_WRITEDATA, this);
  }
};

HttpRequest::HttpRequest() = default;
HttpRequest::~HttpRequest() = default;
HttpRequest::HttpRequest(HttpRequest&&) noexcept = default;
HttpRequest& HttpRequest::operator=(HttpRequest&&) noexcept = default;

HttpError HttpRequest::open(std::string_view url, const HttpOptions& options) {
  close();
  init_library_once();
  auto state = std::make_unique<State>();
  state->multi = curl_multi_init();
  state->easy = curl_easy_init();
  if (state->multi == nullptr || state->easy == nullptr) return HttpError::failed;
  const std::string address = encoded_url(url);
  if (!is_http_url(address)) return HttpError::bad_url;
  state->configure(address, options);
  if (curl_multi_add_handle(state->multi, state->easy) != CURLM_OK) return HttpError::failed;
  while (!state->headers_done && !state->transfer_done) state->pump();
  // A response whose headers are in is open; a later break shows in read_block.
  if (!state->headers_done && state->result != CURLE_OK) return error_of(state->result);
  if (state->status == 0) return HttpError::bad_response;
  state_ = std::move(state);
  return HttpError::none;
}

bool HttpRequest::is_open() const { return state_ != nullptr; }

int HttpRequest::status() const { return state_ ? state_->status : 0; }

std::uint64_t HttpRequest::content_length() const {
  if (!state_) return 0;
  const std::string value = state_->header("Content-Length");
  std::uint64_t length = 0;
  for (char c : value) {
    if (c < '0' || c > '9' || length > (UINT64_MAX - 9) / 10) return 0;
    length = length * 10 + static_cast<std::uint64_t>(c - '0');
  }
  return length;
}

std::string HttpRequest::header(std::string_view name) const { return state_ ? state_->header(name) : std::string(); }

HttpError HttpRequest::read_block(std::string& block, std::size_t size) {
  block.clear();
  if (!state_) return HttpError::closed;
  if (size == 0) return HttpError::failed;
  State& state = *state_;
  while (state.available() < size && !state.transfer_done) state.pump();
  const std::size_t take = std::min(size, state.available());
  if (take == 0 && state.result != CURLE_OK) return error_of(state.result);
  block.assign(state.body, state.body_start, take);
  state.body_start += take;
  state.compact();
  return HttpError::none;
}

void HttpRequest::close() { state_.reset(); }

HttpResult http_get(std::string_view url, const HttpOptions& options, std::size_t max_body) {
  HttpResult result;
  HttpRequest request;
  result.error = request.open(url, options);
  if (result.error != HttpError::none) return result;
  result.status = request.status();
  std::string block;
  while ((result.error = request.read_block(block, 65536)) == HttpError::none && !block.empty()) {
    if (result.body.size() + block.size() > max_body) {
      result.error = HttpError::failed;
      break;
    }
    result.body += block;
  }
  return result;
}

}  // namespace platform::net
