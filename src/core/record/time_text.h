#pragma once
#include <cstdint>
#include <string>

#include "base/ole_date.h"

namespace lmv {

// "YYYY/MM/DD,hh:mm:ss"; a field that cannot be obtained prints as -1.
std::string absoluteTimeText(const OleDate& date);

// "hh:mm:ss" since base, rounded to the nearest second (halves away from
// zero); hours are not wrapped, so 100 hours shows 100:00:00.
std::string relativeTimeText(const OleDate& date, const OleDate& base);
// The seconds relativeTimeText shows.
int32_t relativeTimeSeconds(const OleDate& date, const OleDate& base);

// "YYYY/MM/DD" of today's local date.
std::string todayDateText();

}  // namespace lmv
