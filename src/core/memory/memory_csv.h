#pragma once
// The lines of the meter-memory CSV file (UTF-8, without line ends).
#include <string>
#include <vector>

#include "base/ole_date.h"
#include "files/csv_text.h"
#include "link/meter_identity.h"
#include "memory/memory_record.h"

namespace lmv {

class LanguageTable;

// Title, rule, "Memory Data", model, serial number, today's date, an empty
// line and the column headings.
std::vector<std::string> memoryCsvHeaderLines(const MeterIdentity& meter, const CalendarTime& today,
                                              const CsvSymbols& symbols, const LanguageTable& texts);

// slotNumber S range S value S unit S, then "OVER" for a positive over range.
std::string memoryCsvReadingLine(int slotNumber, const MemoryReading& reading, bool footCandle,
                                 const CsvSymbols& symbols);

}  // namespace lmv
