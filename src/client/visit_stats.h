// Visit statistics: every start of the client counts as a page view of the statistics site,
// and a start from a public address other than the stored one is logged with the date.
#pragma once

#include "client/database_address.h"

#include <cstddef>
#include <string>
#include <string_view>

namespace client {

// The part of `text` between the first `left` at or after `start` and the first `right` after
// it; empty when either is missing. "#引号" in a delimiter stands for a double quote.
std::string text_between(std::string_view text, std::string_view left, std::string_view right,
                         std::size_t start = 0, bool ignore_case = false);

struct VisitCounterSettings {
  DatabaseAddress database = deployment_database();
  std::string ip_page_url;  // a page showing the caller's address between "[" and "]"
  // The page fetch never holds up start-up for longer than this.
  unsigned connect_timeout_ms = 3000;
  unsigned total_timeout_ms = 5000;
};

// The compiled-in statistics settings.
VisitCounterSettings deployment_visit_counter();

// Counts one visit of site `site_id` on the statistics connection, which it opens and keeps
// (`stats_connection`). Answers site_id. Nothing is written and no page is fetched unless the
// site's counting state is "正常".
std::string count_visit(std::string_view site_id,
                        const VisitCounterSettings& settings = deployment_visit_counter());

// The statistics connection, open from the first count_visit to the end of the process.
Connection* stats_connection();

}  // namespace client
