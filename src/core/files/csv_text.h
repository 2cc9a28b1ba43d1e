#pragma once
// Pieces shared by the two CSV files the program writes (the record export
// and the meter-memory download): the chosen symbols, the fixed first lines
// and the line encoding.
#include <cstdint>
#include <string>
#include <string_view>

namespace lmv {

// First two lines of every CSV file (39 hyphens under the title).
inline constexpr std::string_view kCsvTitleLine = "Lumetrevisor for LX5810/LX5811  Ver1.10";
inline constexpr std::string_view kCsvRuleLine = "---------------------------------------";

struct CsvSymbols {
  std::string decimal = ".";   // D
  std::string separator = ",";  // S
};

// decimalSymbol 1 is the comma, listSeparator 1 the semicolon; any other
// value is the period or the comma.
CsvSymbols csvSymbols(int32_t decimalSymbol, int32_t listSeparator);

// "Model:" S "TAVEK" S model S "Ver " firmware, with the language's word.
std::string csvModelLine(std::string_view modelWord, int32_t modelIndex, std::string_view firmwareVersionText,
                         const CsvSymbols& symbols);
// "S/N:" S serial number.
std::string csvSerialLine(std::string_view serialNumberText, const CsvSymbols& symbols);

// Appends one line converted to the locale's character set, ended by CR LF.
// Nothing is quoted or escaped.
void appendCsvLine(std::string& out, std::string_view utf8Line);

}  // namespace lmv
