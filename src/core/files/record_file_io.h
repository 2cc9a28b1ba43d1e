#pragma once
// Reading and writing record files and the CSV export against the running
// program's values, with the messages the user sees when a file is refused
// or cannot be read or written.
#include <string>

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

// Reads the whole file first; only a complete, consistent file replaces the
// live values (fields read into the staging copy never leak into the
// running program). On success the store is bound to the file, counts as
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

// The CSV export of the store. The identity is the file's when the store is
// bound to a file, else the connected meter's. Changes nothing in the
// store, its saved state or the title. A file that cannot be created gives
// "Can not open %s." with its name; a previous file is replaced only by a
// complete export.
bool exportRecordCsv(const std::string& path, const RecordStore& store, const AppSettings& settings,
                     const MeterIdentity& currentMeter, UiHost& ui, const LanguageTable& texts);

}  // namespace lmv
