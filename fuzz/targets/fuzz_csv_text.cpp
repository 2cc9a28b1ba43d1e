// The CSV-facing text conversions: UTF-8 and UTF-16 both ways, the
// locale's character set both ways, and the CSV lines built from outside
// texts (header items, serial number, firmware version). Any bytes convert
// without fault, and every conversion to UTF-8 gives well-formed UTF-8.
#include <clocale>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "base/charset.h"
#include "files/csv_text.h"
#include "utf8_check.h"

using lmv::fuzz::validUtf8;

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  std::setlocale(LC_ALL, "C.UTF-8");
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  const uint8_t choice = data[0];
  const std::string_view text(reinterpret_cast<const char*>(data + 1), size - 1);

  const std::u16string wide = lmv::utf8ToUtf16(text);
  if (!validUtf8(lmv::utf16ToUtf8(wide))) std::abort();
  std::u16string units(text.size() / 2, u'\0');
  for (size_t i = 0; i < units.size(); ++i) {
    units[i] = static_cast<char16_t>(static_cast<uint8_t>(text[2 * i]) | (static_cast<uint8_t>(text[2 * i + 1]) << 8));
  }
  if (!validUtf8(lmv::utf16ToUtf8(units))) std::abort();

  if (!validUtf8(lmv::localeToUtf8(text))) std::abort();
  (void)lmv::utf8ToLocale(text);

  const lmv::CsvSymbols symbols = lmv::csvSymbols(choice & 1, (choice >> 1) & 1);
  std::string csv;
  lmv::appendCsvLine(csv, lmv::csvModelLine(text, (choice >> 2) % 3 - 1, text, symbols));
  lmv::appendCsvLine(csv, lmv::csvSerialLine(text, symbols));
  lmv::appendCsvLine(csv, text);
  if (csv.size() < 6) std::abort();
  return 0;
}
