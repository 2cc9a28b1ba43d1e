#include "files/csv_text.h"

#include "base/charset.h"
#include "record/record_info.h"

namespace lmv {

CsvSymbols csvSymbols(int32_t decimalSymbol, int32_t listSeparator) {
  CsvSymbols symbols;
  symbols.decimal = decimalSymbol == 1 ? "," : ".";
  symbols.separator = listSeparator == 1 ? ";" : ",";
  return symbols;
}

std::string csvModelLine(std::string_view modelWord, int32_t modelIndex, std::string_view firmwareVersionText,
                         const CsvSymbols& symbols) {
  std::string line(modelWord);
  line += ":";
  line += symbols.separator;
  line += "TAVEK";
  line += symbols.separator;
  line += modelNameText(modelIndex);
  line += symbols.separator;
  line += "Ver ";
  line += firmwareVersionText;
  return line;
}

std::string csvSerialLine(std::string_view serialNumberText, const CsvSymbols& symbols) {
  std::string line = "S/N:";
  line += symbols.separator;
  line += serialNumberText;
  return line;
}

void appendCsvLine(std::string& out, std::string_view utf8Line) {
  out += utf8ToLocale(utf8Line);
  out += "\r\n";
}

}  // namespace lmv
