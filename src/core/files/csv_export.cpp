#include "files/csv_export.h"

#include <algorithm>
#include <charconv>
#include <cstdio>
#include <cstring>
#include <string_view>

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

namespace {

// A record line is built in a fixed buffer with std::to_chars: no stream,
// no allocation per field. Every piece is ASCII, so the line is the same in
// every locale's character set.
class LineBuffer {
 public:
  void put(std::string_view text) {
    std::memcpy(end_, text.data(), std::min(text.size(), room()));
    end_ += std::min(text.size(), room());
  }
  void put(char c) {
    if (room() > 0) *end_++ = c;
  }
  void number(int64_t v) { end_ = std::to_chars(end_, buf_ + sizeof buf_, v).ptr; }
  // printf's "%02d": at least two characters, zero-padded when not negative.
  void twoDigits(int64_t v) {
    if (v >= 0 && v < 10) put('0');
    number(v);
  }
  std::string_view text() const { return {buf_, static_cast<size_t>(end_ - buf_)}; }

 private:
  size_t room() const { return static_cast<size_t>(buf_ + sizeof buf_ - end_); }
  char buf_[256];
  char* end_ = buf_;
};

void putStoredValue(LineBuffer& line, const CsvRecordFields& record, const CsvSymbols& symbols) {
  if (storedValueKind(record.value) != ValueKind::Normal) {
    line.put(formatStoredValue(record.value, record.range, record.unit, symbols.decimal));
    return;
  }
  // The value code's digits with the range's decimal places: zeros after the
  // sign until one digit stands before the symbol.
  const int decimals = rangeDecimals[rangeTableIndex(record.range, record.unit)];
  char digits[16];
  char* end = std::to_chars(digits, digits + sizeof digits, record.value).ptr;
  std::string_view text(digits, static_cast<size_t>(end - digits));
  if (!text.empty() && text.front() == '-') {
    line.put('-');
    text.remove_prefix(1);
  }
  if (decimals <= 0) {
    line.put(text);
    return;
  }
  const size_t d = static_cast<size_t>(decimals);
  char padded[32];
  size_t n = 0;
  while (n + text.size() < d + 1 && n < d) padded[n++] = '0';
  std::memcpy(padded + n, text.data(), text.size());
  n += text.size();
  line.put(std::string_view(padded, n - d));
  line.put(symbols.decimal);
  line.put(std::string_view(padded + n - d, d));
}

void putRecordLine(LineBuffer& line, int32_t position, const CsvRecordFields& record, bool relative,
                   const OleDate& baseTime, const CsvSymbols& symbols) {
  const std::string_view sep = symbols.separator;
  line.number(position);
  line.put(sep);
  if (relative) {
    line.put(sep);
    const int32_t s = relativeTimeSeconds(record.time, baseTime);
    line.twoDigits(s / 3600);
    line.put(':');
    line.twoDigits((s / 60) % 60);
    line.put(':');
    line.twoDigits(s % 60);
  } else {
    const CalendarTime t = fieldsOrUnknown(record.time);
    line.number(t.year);
    line.put('/');
    line.number(t.month);
    line.put('/');
    line.number(t.day);
    line.put(sep);
    line.twoDigits(t.hour);
    line.put(':');
    line.twoDigits(t.minute);
    line.put(':');
    line.twoDigits(t.second);
  }
  line.put(sep);
  line.put(rangeLabel(record.range, record.unit));
  line.put(sep);
  putStoredValue(line, record, symbols);
  line.put(sep);
  line.put(rangeUnit[rangeTableIndex(record.range, record.unit)]);
  line.put(sep);
  if (record.value == CodeOver) line.put("OVER");
}

}  // namespace

std::string csvExportRecordLine(int32_t position, const CsvRecordFields& record, bool relative,
                                const OleDate& baseTime, const CsvSymbols& symbols) {
  LineBuffer line;
  putRecordLine(line, position, record, relative, baseTime, symbols);
  return std::string(line.text());
}

std::string csvExportText(const CsvExportHeader& header, const RecordArray& records, const LanguageTable& texts) {
  static const AppSettings defaults;
  const AppSettings& s = header.settings ? *header.settings : defaults;
  const CsvSymbols symbols = csvSymbols(s.decimalSymbol, s.listSeparator);
  std::string out;
  for (const std::string& line : csvExportHeaderLines(header, symbols, texts)) appendCsvLine(out, line);
  const bool relative = s.timeDisplayMode != 0;
  // Record lines take about 40 bytes; the text grows in place.
  out.reserve(out.size() + records.size() * 48);
  int32_t position = 0;
  for (const _RECORD_DATA& r : records) {
    LineBuffer line;
    putRecordLine(line, ++position, {r.nValue, r.nRange, r.nUnit, r.dtTime()}, relative, header.baseTime, symbols);
    out += line.text();
    out += "\r\n";
  }
  return out;
}

}  // namespace lmv
