#pragma once
// The recording journal's bytes and what a journal found at start-up gives
// back. A journal is the header line "Lumetrevisor journal 1\n" followed by
// frames: kind (1 byte), payload length (uint32), payload, CRC-32 of the
// three before it. The first frame is the store as it stood when the
// journal began (a whole record file); then, in the order they happened,
// run headers, samples and run ends. A frame cut short or failing its
// check ends the journal: everything before it is kept.
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "files/record_file.h"
#include "monitor/measured_value.h"
#include "record/sample_journal.h"

namespace lmv {

inline constexpr char kJournalMagic[] = "Lumetrevisor journal 1\n";
inline constexpr char kJournalFileName[] = "LX5810record.journal";

enum class JournalFrame : uint8_t {
  Base = 'B',       // encodeRecordFile of the store the samples are added to
  RunStart = 'R',   // a JournalRunHeader
  Automatic = 'A',  // a JournalSample of a run
  Manual = 'M',     // a manual JournalSample
  RunEnd = 'E',     // the run's stop time and text
};

uint32_t journalCrc32(std::span<const uint8_t> bytes, uint32_t crc = 0);

std::vector<uint8_t> journalFrame(JournalFrame kind, std::span<const uint8_t> payload);
std::vector<uint8_t> journalStart(const RecordFileContents& base);  // header line and base frame
std::vector<uint8_t> runStartFrame(const JournalRunHeader& header);
std::vector<uint8_t> sampleFrame(const JournalSample& sample);
std::vector<uint8_t> runEndFrame(const OleDate& stopTime, const std::string& stopText);

enum class JournalOutcome {
  Recovered,   // contents hold the store as the journal left it
  NotJournal,  // no journal header or no readable base: nothing to recover
};

struct JournalRecovery {
  JournalOutcome outcome = JournalOutcome::NotJournal;
  // The store rebuilt: header, records, extremes and graph state, as
  // unsaved records of no file.
  RecordFileContents contents;
  int32_t samplesRecovered = 0;  // samples journaled after the base
  bool damaged = false;          // the journal ends in a torn or damaged frame
  size_t damagedAt = 0;          // byte offset of that frame
  bool runInterrupted = false;   // the last run had not ended
};

JournalRecovery recoverJournal(std::span<const uint8_t> bytes);

// Replays one sample on contents as the recording took it: counts, base
// time, run start, extremes, last range, graph scaling and time span.
// Working extremes of the run live in replay.
struct JournalReplay {
  ExtremeRecord listMax, listMin, graphMax, graphMin;
  bool listMaxFirst = true;
  bool listMinFirst = true;
};
void replayJournalSample(RecordFileContents& contents, JournalReplay& replay, const JournalSample& sample);

}  // namespace lmv
