#pragma once
// The record store: every sample taken, the bookkeeping of the recording,
// the meter the records belong to and the file they are bound to. Changed on
// the user-interface thread only.
#include <cstdint>
#include <string>

#include "base/ole_date.h"
#include "link/meter_identity.h"
#include "record/record_data.h"

namespace lmv {

struct RecordState {
  int32_t recordCount = 0;  // equals the number of stored samples
  int32_t runCount = 0;     // samples of the current run; the graph shows these
  OleDate baseTime;         // time of the first stored sample
  OleDate runStartTime;
  OleDate runStopTime;
  OleDate maxTime;
  OleDate minTime;
  std::string maxText;  // value, one blank, unit of the run's largest sample
  std::string minText;
  int32_t maxFunctionIndex = 0;
  std::string runStartText;  // absolute time texts, labels 1076 and 1077
  std::string runStopText;
  int32_t lastFunctionIndex = 0;
  std::string lastRangeText;  // range label, one blank, unit of the last sample
  int32_t fileBound = 0;      // the records belong to a record file
  int32_t dataSaved = 1;      // nothing in the store is unsaved
};

// The descriptive texts that go with the records into the CSV export and
// onto the record information page; each item has its CSV include flag.
struct RecordHeader {
  int32_t companyOn = 1;
  std::string companyText;
  int32_t titleOn = 1;
  std::string titleText;
  int32_t operatorOn = 1;
  std::string operatorText;
  int32_t dateOn = 1;
  std::string dateText;
  int32_t tempHumidOn = 1;
  std::string temperatureText;
  std::string humidityText;
  int32_t memoOn = 1;
  std::string memoText;
  bool operator==(const RecordHeader&) const = default;
};

// Edit limits of the header texts, in characters.
inline constexpr int kHeaderTextLimit = 256;  // company, title, operator
inline constexpr int kDateTextLimit = 64;
inline constexpr int kTempHumidTextLimit = 32;  // each of the two
inline constexpr int kMemoTextLimit = 512;

struct RecordStore {
  RecordArray records;
  RecordState state;
  MeterIdentity fileIdentity;   // the meter the records belong to
  std::string recordFilePath;   // of the last open or save
  std::string recordFileName;   // bare name with extension

  // Adds one sample at the end (the caller has counted it).
  void appendRecord(const _RECORD_DATA& sample) { records.push_back(sample); }
};

}  // namespace lmv
