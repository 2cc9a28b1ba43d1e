#include "record/time_text.h"

#include <cinttypes>
#include <cmath>
#include <cstdio>
#include <ctime>

namespace lmv {

std::string absoluteTimeText(const OleDate& date) {
  CalendarTime t{-1, -1, -1, -1, -1, -1};
  if (auto fields = oleDateFields(date)) t = *fields;
  char buf[64];
  std::snprintf(buf, sizeof buf, "%04d/%02d/%02d,%02d:%02d:%02d", t.year, t.month, t.day, t.hour, t.minute,
                t.second);
  return buf;
}

int32_t relativeTimeSeconds(const OleDate& date, const OleDate& base) {
  double d = date.value - base.value;
  d += d >= 0 ? 0.5 / 86400.0 : -0.5 / 86400.0;
  double scaled = std::trunc(d * 86400.0);
  // Taken as 64 bits and used as 32, as the list always did; a value no
  // 64-bit count can hold (a damaged file) shows as zero.
  if (!std::isfinite(scaled) || std::fabs(scaled) >= 9.2e18) scaled = 0;
  return static_cast<int32_t>(static_cast<int64_t>(scaled));
}

std::string relativeTimeText(const OleDate& date, const OleDate& base) {
  const int32_t s = relativeTimeSeconds(date, base);
  char buf[48];
  std::snprintf(buf, sizeof buf, "%02" PRId32 ":%02" PRId32 ":%02" PRId32, s / 3600, (s / 60) % 60, s % 60);
  return buf;
}

std::string todayDateText() {
  std::time_t now = std::time(nullptr);
  std::tm tm{};
  localtime_r(&now, &tm);
  char buf[32];
  std::snprintf(buf, sizeof buf, "%04d/%02d/%02d", tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday);
  return buf;
}

}  // namespace lmv
