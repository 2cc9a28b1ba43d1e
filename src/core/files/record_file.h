#pragma once
// The record file (".lxrd"): the whole recording context in the archive
// encoding, one fixed order of fields without tags or checksum: the header
// text and version, the record settings and header, the CSV symbols, the
// meter, the store's bookkeeping, every sample (32 bytes each) and the
// graph's scaling state.
//
// Reading decodes into a separate copy; nothing of the running program is
// touched until the whole file has been read and found consistent.
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "link/meter_identity.h"
#include "record/graph.h"
#include "record/record_settings.h"
#include "record/record_store.h"

namespace lmv {

struct AppSettings;

inline constexpr std::string_view kRecordFileHeader = "Lumetrevisor for LX5810/LX5811";
// Written by the program's first version; the layout that follows is the same.
inline constexpr std::string_view kOldRecordFileHeader = "Lumetrevisor for LX5810";
inline constexpr size_t kRecordBytes = 32;

struct RecordFileContents {
  RecordSettings settings;  // interval, total mode, time display mode ...
  RecordHeader header;
  int32_t decimalSymbol = 0;
  int32_t listSeparator = 0;
  MeterIdentity identity;  // the meter of the records
  // Bookkeeping; fileBound and dataSaved are not in the file.
  RecordState state;
  RecordArray records;
  // Scaling state; plotRect and the two first-extreme flags are not in the file.
  GraphState graph;
};

std::vector<uint8_t> encodeRecordFile(const RecordFileContents& contents);
// The same with the samples taken from records instead of contents.records
// (which is not read), so that saving needs no copy of the store.
std::vector<uint8_t> encodeRecordFile(const RecordFileContents& contents, std::span<const _RECORD_DATA> records);

enum class RecordFileOutcome {
  Read,
  WrongHeader,      // another program's file, or damaged at its start
  NegativeVersion,  // a format this program cannot read
  EndsEarly,        // stops before the last field (or a count or length beyond its end)
};

struct RecordFileDecodeResult {
  RecordFileOutcome outcome = RecordFileOutcome::EndsEarly;
  int32_t version = 0;
  RecordFileContents contents;  // complete only when outcome is Read
  bool corrected = false;       // counts or indexes did not fit the records and were set right
};

// Reads a file's bytes; anything after the last field is ignored.
RecordFileDecodeResult decodeRecordFile(std::span<const uint8_t> bytes);

// Brings counts and indexes that do not fit the records (a damaged or
// hand-made file) to consistent values, so that no view reads outside the
// store: recordCount = number of records, runCount within it,
// runFirstRecord at a record of the run (or just after the last record),
// range indexes of the graph within the range tables. Returns whether
// anything changed.
bool makeRecordFileConsistent(RecordFileContents& contents);

// The record settings, header and CSV symbols as the program keeps them
// with its other settings.
RecordSettings recordSettingsOf(const AppSettings& settings);
RecordHeader recordHeaderOf(const AppSettings& settings);
void storeRecordSettings(AppSettings& settings, const RecordSettings& record);
void storeRecordHeader(AppSettings& settings, const RecordHeader& header);

}  // namespace lmv
