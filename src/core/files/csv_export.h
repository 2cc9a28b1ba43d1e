#pragma once
// The record store as a CSV file for spreadsheet programs: header lines,
// column headings and one line per record, in the current language, with
// the chosen decimal symbol and list separator, in the locale's character set.
#include <cstdint>
#include <string>
#include <vector>

#include "base/ole_date.h"
#include "files/csv_text.h"
#include "link/meter_identity.h"
#include "record/record_data.h"

namespace lmv {

class LanguageTable;
struct AppSettings;

// What the header lines show, taken at the moment of the export.
struct CsvExportHeader {
  MeterIdentity identity;  // the file's meter when the records are bound to a file
  const AppSettings* settings = nullptr;  // record header, interval, time display mode
  std::string lastRangeText;
  OleDate baseTime;
  int32_t recordCount = 0;
};

// Everything before the first record line, the column headings included.
std::vector<std::string> csvExportHeaderLines(const CsvExportHeader& header, const CsvSymbols& symbols,
                                              const LanguageTable& texts);

struct CsvRecordFields {
  int32_t value = 0;
  int32_t range = 0;
  int32_t unit = 0;
  OleDate time;
};

// One record line; position is 1-based. In relative mode the date cell stays
// empty and the time is the time since baseTime, hours not wrapped.
std::string csvExportRecordLine(int32_t position, const CsvRecordFields& record, bool relative,
                                const OleDate& baseTime, const CsvSymbols& symbols);

// The whole file: every line in the locale's character set, ended by CR LF.
// Symbols and time display mode come from header.settings.
std::string csvExportText(const CsvExportHeader& header, const RecordArray& records, const LanguageTable& texts);

}  // namespace lmv
