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
  Oversized,        // far longer than any file of its record count: damaged, or another program's
};

struct RecordFileDecodeResult {
  RecordFileOutcome outcome = RecordFileOutcome::EndsEarly;
  int32_t version = 0;
  RecordFileContents contents;  // complete only when outcome is Read
  bool corrected = false;       // counts or indexes did not fit the records and were set right
};

// Reads a file's bytes; anything after the last field is ignored, up to a
// few kilobytes (kRecordFileTailMaxBytes after the records).
RecordFileDecodeResult decodeRecordFile(std::span<const uint8_t> bytes);

// Staged reading, the pieces of decodeRecordFile: a file on disk is judged
// by its first bytes and its size before its records are read, and the
// records are read in pieces.

// The first bytes hold any valid header text and version.
inline constexpr size_t kRecordFileProbeBytes = 4096;
// The unit text of the graph's extremes (field 56) is a unit name ("lx",
// "FC"); a longer one (in UTF-8 bytes) is refused, so that whatever the
// program accepts and writes again stays within kRecordFileTailMaxBytes.
inline constexpr size_t kMaxExtremeUnitTextBytes = 1024;
// After the records: fields 48 to 62 (14 numbers and the unit text) plus
// room for a few bytes another tool may have left behind.
inline constexpr size_t kRecordFileTailMinBytes = 14 * 4 + 1;
inline constexpr size_t kRecordFileTailMaxBytes = 4096;
static_assert(14 * 4 + 10 + 2 * kMaxExtremeUnitTextBytes < kRecordFileTailMaxBytes);

struct RecordFilePrefix {
  RecordFileOutcome outcome = RecordFileOutcome::EndsEarly;  // Read: fields 1 to 46 are complete
  bool needsMoreBytes = false;  // the bytes given end inside fields 3 to 46, and the file has more
  uint64_t bytesNeeded = 0;     // then: read at least this much of the file before trying again
  size_t recordsOffset = 0;     // where the records start
  int32_t recordCount = 0;      // N, field 46
};

// Fields 1 to 46 into result, from the first bytes of a file of fileSize
// bytes (at least its first kRecordFileProbeBytes). A text whose length
// goes beyond the file ends it early at once, without reading further.
RecordFilePrefix decodeRecordFilePrefix(std::span<const uint8_t> bytes, uint64_t fileSize,
                                        RecordFileDecodeResult& result);

// Whether a file of fileSize bytes whose records start at recordsOffset has
// the size of a file of recordCount records: EndsEarly when it is too short
// for them and the fields after them, Oversized when it is longer than any
// such file the program writes, else Read. Decided before any record is read.
RecordFileOutcome checkRecordFileSize(uint64_t fileSize, size_t recordsOffset, int32_t recordCount);

// Appends the records held in bytes (whole 32-byte records).
void decodeRecords(std::span<const uint8_t> bytes, RecordArray& records);

// Fields 48 to 62 from the bytes after the records; then the contents are
// made consistent (result.corrected). Read, EndsEarly or Oversized.
RecordFileOutcome decodeRecordFileTail(std::span<const uint8_t> bytes, RecordFileDecodeResult& result);

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
