#include "base/ole_date.h"

#include <cmath>

namespace lmv {
namespace {

constexpr double kMinDate = -657434.0;   // 0100-01-01
constexpr double kMaxDate = 2958465.0;   // 9999-12-31
constexpr double kHalfSecond = 1.0 / 172800.0;

// Days from 1970-01-01 to a proleptic Gregorian date (H. Hinnant's algorithm).
int64_t daysFromCivil(int64_t y, int64_t m, int64_t d) {
  y -= m <= 2;
  const int64_t era = (y >= 0 ? y : y - 399) / 400;
  const int64_t yoe = y - era * 400;
  const int64_t doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
  const int64_t doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + doe - 719468;
}

void civilFromDays(int64_t z, int& y, int& m, int& d) {
  z += 719468;
  const int64_t era = (z >= 0 ? z : z - 146096) / 146097;
  const int64_t doe = z - era * 146097;
  const int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  const int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  const int64_t mp = (5 * doy + 2) / 153;
  d = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
  m = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
  y = static_cast<int>(yoe + era * 400 + (m <= 2));
}

const int64_t kOleEpochDays = daysFromCivil(1899, 12, 30);

}  // namespace

std::optional<CalendarTime> oleDateFields(const OleDate& date) {
  if (date.status != OleDate::Valid || !std::isfinite(date.value)) return std::nullopt;
  if (date.value < kMinDate || date.value > kMaxDate) return std::nullopt;
  // Before the epoch the day part counts backwards while the time of day
  // still counts forwards: -1.25 is 1899-12-29 06:00.
  double v = date.value + (date.value >= 0 ? kHalfSecond : -kHalfSecond);
  double dayPart = std::trunc(v);
  double timePart = std::fabs(v - dayPart);
  int64_t seconds = static_cast<int64_t>(timePart * 86400.0);
  if (seconds >= 86400) seconds = 86399;
  CalendarTime t;
  civilFromDays(kOleEpochDays + static_cast<int64_t>(dayPart), t.year, t.month, t.day);
  t.hour = static_cast<int>(seconds / 3600);
  t.minute = static_cast<int>(seconds / 60 % 60);
  t.second = static_cast<int>(seconds % 60);
  return t;
}

OleDate oleDateFromFields(const CalendarTime& f) {
  if (f.year < 100 || f.year > 9999 || f.month < 1 || f.month > 12 || f.day < 1 || f.hour < 0 ||
      f.hour > 23 || f.minute < 0 || f.minute > 59 || f.second < 0 || f.second > 59) {
    return {0.0, OleDate::Invalid};
  }
  int y, m, d;
  const int64_t days = daysFromCivil(f.year, f.month, f.day);
  civilFromDays(days, y, m, d);
  if (d != f.day || m != f.month) return {0.0, OleDate::Invalid};  // e.g. 31 April
  const double dayNumber = static_cast<double>(days - kOleEpochDays);
  const double fraction = (f.hour * 3600 + f.minute * 60 + f.second) / 86400.0;
  return {dayNumber >= 0 ? dayNumber + fraction : dayNumber - fraction, OleDate::Valid};
}

OleDate oleDateFromTime(std::time_t t) {
  std::tm tm{};
  if (localtime_r(&t, &tm) == nullptr) return {0.0, OleDate::Invalid};
  return oleDateFromFields({tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday, tm.tm_hour, tm.tm_min,
                            tm.tm_sec > 59 ? 59 : tm.tm_sec});
}

OleDate oleDateNow() { return oleDateFromTime(std::time(nullptr)); }

}  // namespace lmv
