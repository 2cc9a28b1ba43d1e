#pragma once
// Times as the recording keeps them: a count of days since 1899-12-30 00:00
// local time (the fraction is the time of day) plus a validity status.
#include <cstdint>
#include <ctime>
#include <optional>

namespace lmv {

struct OleDate {
  static constexpr int32_t Valid = 0;
  static constexpr int32_t Invalid = 1;
  double value = 0.0;
  int32_t status = Valid;
  bool operator==(const OleDate&) const = default;
};

struct CalendarTime {
  int year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0;
  bool operator==(const CalendarTime&) const = default;
};

// Calendar fields of an OLE date, rounded to the nearest second, without any
// time-zone conversion. Empty when the status is invalid or the value lies
// outside years 100..9999.
std::optional<CalendarTime> oleDateFields(const OleDate& date);

// The OLE date of calendar fields; invalid when they do not form a date in
// years 100..9999.
OleDate oleDateFromFields(const CalendarTime& fields);

// The local time of a calendar-clock second as an OLE date (invalid when the
// conversion fails).
OleDate oleDateFromTime(std::time_t t);

// Now, in whole seconds of local time.
OleDate oleDateNow();

}  // namespace lmv
