#include "files/csv_export.h"

#include <cstdio>

#include "base/settings.h"
#include "monitor/format_value.h"
#include "monitor/range_table.h"
#include "monitor/value_codes.h"
#include "record/record_info.h"
#include "record/time_text.h"
#include "ui/language_table.h"

namespace lmv {
namespace {

CalendarTime fieldsOrUnknown(const OleDate& date) {
  if (auto fields = oleDateFields(date)) return *fields;
  return {-1, -1, -1, -1, -1, -1};
}

std::string dateCell(const CalendarTime& t) {
  char buf[48];
  std::snprintf(buf, sizeof buf, "%d/%d/%d", t.year, t.month, t.day);
  return buf;
}

std::string timeCell(const CalendarTime& t) {
  char buf[48];
  std::snprintf(buf, sizeof buf, "%02d:%02d:%02d", t.hour, t.minute, t.second);
  return buf;
}

}  // namespace

std::vector<std::string> csvExportHeaderLines(const CsvExportHeader& header, const CsvSymbols& symbols,
                                              const LanguageTable& texts) {
  static const AppSettings defaults;
  const AppSettings& s = header.settings ? *header.settings : defaults;
  const std::string& sep = symbols.separator;
  const auto item = [&](int entry, const std::string& value) { return texts.text(entry) + ":" + sep + value; };

  std::vector<std::string> lines;
  lines.emplace_back(kCsvTitleLine);
  lines.emplace_back(kCsvRuleLine);
  lines.push_back(texts.text(TextRecordData));
  lines.push_back(csvModelLine(texts.text(TextModel), header.identity.modelIndex,
                               header.identity.firmwareVersionText, symbols));
  lines.push_back(csvSerialLine(header.identity.serialNumberText, symbols));
  if (s.companyOn != 0) lines.push_back(item(TextCompany, s.companyText));
  if (s.titleOn != 0) lines.push_back(item(TextTitle, s.titleText));
  if (s.dateOn != 0) lines.push_back(item(TextDate, s.dateText));
  if (s.operatorOn != 0) lines.push_back(item(TextOperator, s.operatorText));
  if (s.tempHumidOn != 0) {
    lines.push_back(item(TextTempHumid, s.temperatureText + texts.text(TextCelsius) + "/" + s.humidityText + "%rh"));
  }
  lines.push_back(item(TextInterval, intervalText(s.intervalHours, s.intervalMinutes, s.intervalSeconds)));
  lines.push_back(item(TextFunction, std::string(kFunctionText)));
  lines.push_back(item(TextRange, header.lastRangeText));
  if (s.memoOn != 0) lines.push_back(item(TextMemo, s.memoText));
  if (s.timeDisplayMode == 1) {
    const CalendarTime base = fieldsOrUnknown(header.baseTime);
    lines.push_back(item(TextBaseTime, dateCell(base) + sep + timeCell(base)));
  }
  lines.emplace_back();
  lines.push_back(item(TextBuffer, std::to_string(header.recordCount)));
  lines.push_back("No" + sep + texts.text(TextCsvDate) + sep + texts.text(TextCsvTime) + sep +
                  texts.text(TextCsvRange) + sep + texts.text(TextCsvMeasuredValue) + sep + texts.text(TextCsvUnit) +
                  sep + texts.text(TextCsvOver));
  return lines;
}

std::string csvExportRecordLine(int32_t position, const CsvRecordFields& record, bool relative,
                                const OleDate& baseTime, const CsvSymbols& symbols) {
  const std::string& sep = symbols.separator;
  std::string line = std::to_string(position);
  line += sep;
  if (relative) {
    line += sep;
    line += relativeTimeText(record.time, baseTime);
  } else {
    const CalendarTime t = fieldsOrUnknown(record.time);
    line += dateCell(t);
    line += sep;
    line += timeCell(t);
  }
  line += sep;
  line += rangeLabel(record.range, record.unit);
  line += sep;
  line += formatStoredValue(record.value, record.range, record.unit, symbols.decimal);
  line += sep;
  line += rangeUnit[rangeTableIndex(record.range, record.unit)];
  line += sep;
  if (record.value == CodeOver) line += "OVER";
  return line;
}

std::string csvExportText(const CsvExportHeader& header, const RecordArray& records, const LanguageTable& texts) {
  static const AppSettings defaults;
  const AppSettings& s = header.settings ? *header.settings : defaults;
  const CsvSymbols symbols = csvSymbols(s.decimalSymbol, s.listSeparator);
  std::string out;
  for (const std::string& line : csvExportHeaderLines(header, symbols, texts)) appendCsvLine(out, line);
  const bool relative = s.timeDisplayMode != 0;
  int32_t position = 0;
  for (const _RECORD_DATA& r : records) {
    const CsvRecordFields fields{r.nValue, r.nRange, r.nUnit, r.dtTime()};
    appendCsvLine(out, csvExportRecordLine(++position, fields, relative, header.baseTime, symbols));
  }
  return out;
}

}  // namespace lmv
