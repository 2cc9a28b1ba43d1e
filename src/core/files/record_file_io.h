#pragma once
// Reading and writing record files and the CSV export against the running
// program's values, with the messages the user sees when a file is refused
// or cannot be read or written.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "base/file_io.h"
#include "files/record_file.h"
#include "link/meter_identity.h"
#include "record/graph.h"
#include "record/record_store.h"

namespace lmv {

struct AppSettings;
class UiHost;
class LanguageTable;

// The live values a record file replaces or is written from.
struct RecordFileTargets {
  AppSettings& settings;  // record settings, header and CSV symbols
  RecordStore& store;
  GraphState& graph;
};

// The bare name of a path ("a/b/x.lxrd" gives "x.lxrd").
std::string fileNameOf(const std::string& path);

// A record file read from disk in stages: refused from its first bytes
// when another program wrote it, and from its size before its records are
// read when it cannot hold the record count it gives; the records are read
// in pieces, so nothing beyond the file's contents is held in memory. The
// size is bounded by the file's own record count, not by a fixed limit:
// successive runs append to one store beyond a run's 1048576 samples.
// readFunction stands in for pread(2) (tests).
struct RecordFileLoad {
  FileReadResult::Status status = FileReadResult::Status::Error;  // Ok: decoded holds the outcome
  std::string error;  // for Status::Error
  RecordFileDecodeResult decoded;
};
RecordFileLoad loadRecordFile(const std::string& path, ReadableFile::ReadFunction readFunction = {});

// Reads the whole file first (loadRecordFile); only a complete, consistent
// file replaces the live values (fields read into the staging copy never
// leak into the running program). On success the store is bound to the file, counts as
// saved, and the title names the file. On failure an error box names the
// problem and nothing has changed. The views are not refreshed here.
bool readRecordFile(const std::string& path, RecordFileTargets live, UiHost& ui, const LanguageTable& texts);

// Writes the live values with the connected meter's identity, through a
// temporary file renamed over the target, so that a failed save leaves the
// previous file as it was. On success the file's identity takes the meter's
// firmware and serial number, the store is bound to the file and saved,
// and the title names it; on failure an error box names the file and
// nothing has changed.
bool writeRecordFile(const std::string& path, RecordFileTargets live, const MeterIdentity& currentMeter, UiHost& ui,
                     const LanguageTable& texts);

// The record file bytes of the live values with the connected meter's identity.
std::vector<uint8_t> liveRecordFileBytes(const RecordFileTargets& live, const MeterIdentity& currentMeter);

// Writes the live values as a new record file of a fresh, unpredictable
// name in folder ("lumetrevisor-record-XXXXXX.lxrd", created exclusively,
// never through a planted file or link), for records that could not be
// saved where asked. Binds nothing and shows nothing; returns the path.
std::optional<std::string> writeRescueRecordFile(const std::string& folder, const RecordFileTargets& live,
                                                 const MeterIdentity& currentMeter);

// The CSV export of the store. The identity is the file's when the store is
// bound to a file, else the connected meter's. Changes nothing in the
// store, its saved state or the title. A file that cannot be created gives
// "Can not open %s." with its name; a previous file is replaced only by a
// complete export.
bool exportRecordCsv(const std::string& path, const RecordStore& store, const AppSettings& settings,
                     const MeterIdentity& currentMeter, UiHost& ui, const LanguageTable& texts);

}  // namespace lmv
