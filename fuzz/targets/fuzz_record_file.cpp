// The record file (".lxrd") as File > Open reads it: any bytes decode
// without fault; a file that is accepted is consistent (every count and
// index within the records and the range tables), writes back to a file
// that reads the same, and exports to CSV without fault.
#include <clocale>
#include <cstdint>
#include <cstdlib>
#include <span>

#include "base/settings.h"
#include "files/csv_export.h"
#include "files/record_file.h"
#include "ui/language_table.h"

namespace {

void requireConsistent(const lmv::RecordFileContents& c) {
  const auto count = static_cast<int64_t>(c.records.size());
  if (c.state.recordCount != count) std::abort();
  if (c.state.runCount < 0 || c.state.runCount > count) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  std::setlocale(LC_ALL, "C.UTF-8");
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const lmv::RecordFileDecodeResult read = lmv::decodeRecordFile(std::span<const uint8_t>(data, size));
  if (read.outcome != lmv::RecordFileOutcome::Read) return 0;
  requireConsistent(read.contents);

  // Saving what was opened and opening it again gives the same file.
  const std::vector<uint8_t> written = lmv::encodeRecordFile(read.contents);
  const lmv::RecordFileDecodeResult again = lmv::decodeRecordFile(written);
  if (again.outcome != lmv::RecordFileOutcome::Read) std::abort();
  if (lmv::encodeRecordFile(again.contents) != written) std::abort();

  // The CSV export of the opened records, in both languages.
  static lmv::LanguageTable texts[2];
  static bool filled = false;
  if (!filled) {
    texts[0].fill(0);
    texts[1].fill(1);
    filled = true;
  }
  lmv::AppSettings settings;
  lmv::storeRecordSettings(settings, read.contents.settings);
  lmv::storeRecordHeader(settings, read.contents.header);
  settings.decimalSymbol = read.contents.decimalSymbol;
  settings.listSeparator = read.contents.listSeparator;
  lmv::CsvExportHeader header;
  header.identity = read.contents.identity;
  header.settings = &settings;
  header.lastRangeText = read.contents.state.lastRangeText;
  header.baseTime = read.contents.state.baseTime;
  header.recordCount = read.contents.state.recordCount;
  const int language = size > 0 ? data[size - 1] & 1 : 0;
  (void)lmv::csvExportText(header, read.contents.records, texts[language]);
  return 0;
}
