// The recording journal found at start-up: any bytes recover without
// fault, and what is recovered is a consistent store that a save writes
// and an open reads back.
#include <clocale>
#include <cstdint>
#include <cstdlib>
#include <span>

#include "files/record_file.h"
#include "files/record_journal_format.h"

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  std::setlocale(LC_ALL, "C.UTF-8");
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const lmv::JournalRecovery r = lmv::recoverJournal(std::span<const uint8_t>(data, size));
  if (r.outcome != lmv::JournalOutcome::Recovered) return 0;
  const lmv::RecordFileContents& c = r.contents;
  if (c.state.recordCount != static_cast<int64_t>(c.records.size())) std::abort();
  if (c.state.runCount < 0 || c.state.runCount > c.state.recordCount) std::abort();
  if (r.samplesRecovered < 0 || (r.damaged && r.damagedAt >= size)) std::abort();
  if (c.state.fileBound != 0) std::abort();
  const lmv::RecordFileDecodeResult again = lmv::decodeRecordFile(lmv::encodeRecordFile(c));
  if (again.outcome != lmv::RecordFileOutcome::Read || again.contents.records != c.records) std::abort();
  return 0;
}
