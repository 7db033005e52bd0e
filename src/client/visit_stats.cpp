#include "client/visit_stats.h"

#include "client/statements.h"
#include "deployment.h"
#include "platform/net.h"
#include "platform/services.h"

#include <algorithm>
#include <cctype>

namespace client {
namespace {

ConnectionPtr g_stats_connection;

std::string with_quotes(std::string_view delimiter) {
  static constexpr std::string_view kQuoteWord = "#引号";
  std::string out(delimiter);
  for (std::size_t at = out.find(kQuoteWord); at != std::string::npos;
       at = out.find(kQuoteWord, at + 1)) {
    out.replace(at, kQuoteWord.size(), "\"");
  }
  return out;
}

std::size_t find_from(std::string_view text, std::string_view what, std::size_t from,
                      bool ignore_case) {
  if (from > text.size()) return std::string_view::npos;
  if (!ignore_case) return text.find(what, from);
  auto lower = [](char c) { return static_cast<char>(std::tolower(static_cast<unsigned char>(c))); };
  auto it = std::search(text.begin() + static_cast<std::ptrdiff_t>(from), text.end(), what.begin(),
                        what.end(), [&](char a, char b) { return lower(a) == lower(b); });
  return it == text.end() && !what.empty() ? std::string_view::npos
                                           : static_cast<std::size_t>(it - text.begin());
}

// The first row's value of one column of a select, or "" (the read rule keeps the start value).
void read_first(Connection* connection, const std::string& select,
                std::initializer_list<std::pair<std::string_view, std::string*>> columns) {
  db_execute(connection, select);
  RecordSetPtr rows = db_get_record_set(connection);
  for (const auto& [column, value] : columns) db_read_field(rows.get(), column, *value);
}

std::string fetch_page(const VisitCounterSettings& settings) {
  platform::net::HttpOptions options;
  options.version = platform::net::HttpVersion::http_1_0;
  options.no_cache = true;
  options.connect_timeout_ms = settings.connect_timeout_ms;
  options.total_timeout_ms = settings.total_timeout_ms;
  platform::net::HttpResult page = platform::net::http_get(settings.ip_page_url, options, 1u << 20);
  return page.error == platform::net::HttpError::none ? page.body : std::string();
}

}  // namespace

std::string text_between(std::string_view text, std::string_view left, std::string_view right,
                         std::size_t start, bool ignore_case) {
  const std::string l = with_quotes(left);
  const std::string r = with_quotes(right);
  std::size_t p = find_from(text, l, start, ignore_case);
  if (p == std::string_view::npos) return {};
  p += l.size();
  std::size_t q = find_from(text, r, p, ignore_case);
  if (q == std::string_view::npos) return {};
  return std::string(text.substr(p, q - p));
}

VisitCounterSettings deployment_visit_counter() {
  VisitCounterSettings settings;
  settings.ip_page_url = deployment::ip_page_url;
  return settings;
}

std::string count_visit(std::string_view site_id, const VisitCounterSettings& settings) {
  g_stats_connection = connect(settings.database);
  Connection* stats = g_stats_connection.get();

  std::string page_views, stored_address, state;
  read_first(stats, sql::stats_account_select(stats, site_id),
             {{"PV", &page_views}, {"IP", &stored_address}});
  read_first(stats, sql::stats_state_select(stats, site_id), {{"状态", &state}});
  if (state != "正常") return std::string(site_id);

  const platform::services::LocalDate today = platform::services::local_date();
  sql::db_update(stats, sql::page_views_update(stats, site_id, text_to_int(page_views) + 1));

  const std::string address = text_between(fetch_page(settings), "[", "]");
  if (address != stored_address) {
    sql::db_insert(stats, sql::visit_address_insert(stats, site_id, address, today.month, today.day));
  }
  return std::string(site_id);
}

Connection* stats_connection() { return g_stats_connection.get(); }

}  // namespace client
