// The tick counter and the local date, with a seam that fixes the date for tests.
#include "platform/services.h"

#include <ctime>
#include <mutex>

namespace platform::services {

namespace {

std::mutex date_mutex;
std::optional<LocalDate> date_override;

}  // namespace

std::uint32_t milliseconds_since_start() {
  timespec now {};
  ::clock_gettime(CLOCK_MONOTONIC, &now);
  const auto ms = static_cast<std::uint64_t>(now.tv_sec) * 1000u +
                  static_cast<std::uint64_t>(now.tv_nsec) / 1'000'000u;
  return static_cast<std::uint32_t>(ms);
}

LocalDate local_date() {
  {
    std::lock_guard lock(date_mutex);
    if (date_override) return *date_override;
  }
  std::time_t now = std::time(nullptr);
  std::tm local {};
  if (::localtime_r(&now, &local) == nullptr) return {};
  return {local.tm_year + 1900, local.tm_mon + 1, local.tm_mday};
}

namespace testing {

void set_local_date(std::optional<LocalDate> date) {
  std::lock_guard lock(date_mutex);
  date_override = date;
}

}  // namespace testing

}  // namespace platform::services
