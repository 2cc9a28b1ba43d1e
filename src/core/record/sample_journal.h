#pragma once
// What the recording tells a journal of the samples it takes, so that a
// crash loses at most the last moment of a recording. The recording calls
// these on the user-interface thread, in the order things happen; the
// journal (files/record_journal.h) keeps them on disk.
#include <cstdint>
#include <string>

#include "link/meter_identity.h"
#include "record/record_data.h"
#include "record/record_settings.h"
#include "record/record_store.h"

namespace lmv {

// The settings a run was taken with, written before its first sample.
struct JournalRunHeader {
  RecordSettings settings;
  RecordHeader header;
  MeterIdentity meter;  // the connected meter
  int32_t graphIntervalSeconds = 1;
};

// One sample as the store took it, with the texts its extremes keep.
struct JournalSample {
  bool manual = false;
  bool firstOfRun = false;  // the first automatic sample of a run
  _RECORD_DATA record;
  std::string valueText;
  std::string unitText;
  int32_t reservedFlag = 0;
};

class SampleJournal {
 public:
  virtual ~SampleJournal() = default;
  // Before a sample changes the store: the store as it is now is what the
  // samples that follow are added to.
  virtual void beforeSample() = 0;
  virtual void runStarted(const JournalRunHeader& header) = 0;
  // After the store, extremes and graph took the sample.
  virtual void sampleTaken(const JournalSample& sample) = 0;
  // The run ended (Stop, the stop condition, a disconnection).
  virtual void runEnded() = 0;
  // Records were removed (Clear, a new record list).
  virtual void recordsRemoved() = 0;
};

}  // namespace lmv
