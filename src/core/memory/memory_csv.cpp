#include "memory/memory_csv.h"

#include "monitor/format_value.h"
#include "monitor/range_table.h"
#include "monitor/value_codes.h"
#include "ui/language_table.h"

namespace lmv {

std::vector<std::string> memoryCsvHeaderLines(const MeterIdentity& meter, const CalendarTime& today,
                                              const CsvSymbols& symbols, const LanguageTable& texts) {
  const std::string& s = symbols.separator;
  std::vector<std::string> lines;
  lines.emplace_back(kCsvTitleLine);
  lines.emplace_back(kCsvRuleLine);
  lines.push_back(texts.text(TextMemoryData));
  lines.push_back(csvModelLine(texts.text(TextModel), meter.modelIndex, meter.firmwareVersionText, symbols));
  lines.push_back(csvSerialLine(meter.serialNumberText, symbols));
  lines.push_back(texts.text(TextDate) + ":" + s + std::to_string(today.year) + "/" + std::to_string(today.month) +
                  "/" + std::to_string(today.day));
  lines.emplace_back();
  lines.push_back("No" + s + texts.text(TextCsvRange) + s + texts.text(TextCsvMeasuredValue) + s +
                  texts.text(TextCsvUnit) + s + texts.text(TextCsvOver));
  return lines;
}

std::string memoryCsvReadingLine(int slotNumber, const MemoryReading& reading, bool footCandle,
                                 const CsvSymbols& symbols) {
  const std::string& s = symbols.separator;
  const int32_t unit = footCandle ? UnitFootCandle : UnitLux;
  const int32_t v = memoryValueCode(reading, footCandle);
  std::string line = std::to_string(slotNumber);
  line += s;
  line += rangeLabel(reading.rangeIndex, unit);
  line += s;
  line += formatStoredValue(v, reading.rangeIndex, unit, symbols.decimal);
  line += s;
  line += rangeUnit[rangeTableIndex(reading.rangeIndex, unit)];
  line += s;
  if (v == CodeOver) line += "OVER";
  return line;
}

}  // namespace lmv
