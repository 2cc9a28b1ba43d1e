#include "files/record_file.h"

#include <algorithm>

#include "base/archive.h"
#include "base/settings.h"
#include "base/program_version.h"
#include "monitor/range_table.h"

namespace lmv {
namespace {

void writeDate(ArchiveWriter& w, const OleDate& date) {
  w.writeInt32(date.status);
  w.writeDouble(date.value);
}

OleDate readDate(ArchiveReader& r) {
  OleDate date;
  date.status = r.readInt32();
  date.value = r.readDouble();
  return date;
}

// Fields 3 to 45, in file order; the same list drives writing and reading.
template <typename Contents, typename Io>
void headerFields(Contents& c, Io&& io) {
  auto& s = c.settings;
  io.int32(s.intervalMode);
  io.int32(s.totalMode);
  io.int32(s.fastIntervalIndex);
  io.int32(s.timeDisplayMode);
  io.int32(s.intervalHours);
  io.int32(s.intervalMinutes);
  io.int32(s.intervalSeconds);
  io.int32(s.dataCount);
  io.int32(s.recordHours);
  io.int32(s.recordMinutes);
  io.int32(s.recordSeconds);
  auto& h = c.header;
  io.int32(h.companyOn);
  io.text(h.companyText);
  io.int32(h.titleOn);
  io.text(h.titleText);
  io.int32(h.operatorOn);
  io.text(h.operatorText);
  io.int32(h.dateOn);
  io.text(h.dateText);
  io.int32(h.tempHumidOn);
  io.text(h.temperatureText);
  io.text(h.humidityText);
  io.int32(h.memoOn);
  io.text(h.memoText);
  io.int32(c.decimalSymbol);
  io.int32(c.listSeparator);
  io.int32(c.identity.modelIndex);
  io.text(c.identity.firmwareVersionText);
  io.text(c.identity.serialNumberText);
  auto& st = c.state;
  io.int32(st.recordCount);
  io.int32(st.runCount);
  io.date(st.baseTime);
  io.date(st.runStartTime);
  io.date(st.runStopTime);
  io.date(st.maxTime);
  io.date(st.minTime);
  io.text(st.maxText);
  io.text(st.minText);
  io.text(st.runStartText);
  io.text(st.runStopText);
  io.int32(st.maxFunctionIndex);
  io.int32(st.lastFunctionIndex);
  io.text(st.lastRangeText);
}

// Fields 48 to 62.
template <typename Contents, typename Io>
void graphFields(Contents& c, Io&& io) {
  auto& g = c.graph;
  io.int32(g.axisTop);
  io.int32(g.axisBottom);
  io.int32(g.axisScale);
  io.int32(g.maxCount);
  io.int32(g.maxScale);
  io.int32(g.minCount);
  io.int32(g.minScale);
  io.int32(g.labelDecimals);
  io.text(g.extremeUnitText);
  io.int32(g.autoScale);
  io.int32(g.rescalePending);
  io.int32(g.timeSpan);
  io.int32(g.graphIntervalSeconds);
  io.int32(g.runFirstRecord);
  io.int32(g.blankFlag);
}

struct Writer {
  ArchiveWriter& w;
  void int32(int32_t v) { w.writeInt32(v); }
  void text(const std::string& v) { w.writeText(v); }
  void date(const OleDate& v) { writeDate(w, v); }
};

struct Reader {
  ArchiveReader& r;
  void int32(int32_t& v) { v = r.readInt32(); }
  void text(std::string& v) { v = r.readText(); }
  void date(OleDate& v) { v = readDate(r); }
};

// A sample lies in memory exactly as in the file (record_data.h checks
// the layout), so the samples go out and come in as one block.
static_assert(sizeof(_RECORD_DATA) == kRecordBytes);

template <typename T>
bool clampInto(T& value, T low, T high) {
  const T clamped = std::clamp(value, low, high);
  const bool changed = clamped != value;
  value = clamped;
  return changed;
}

}  // namespace

std::vector<uint8_t> encodeRecordFile(const RecordFileContents& contents) {
  return encodeRecordFile(contents, contents.records);
}

std::vector<uint8_t> encodeRecordFile(const RecordFileContents& contents, std::span<const _RECORD_DATA> records) {
  ArchiveWriter w;
  w.reserve(4096 + records.size_bytes());
  w.writeText(kRecordFileHeader);
  w.writeInt32(kProgramVersionNumber);
  headerFields(contents, Writer{w});
  w.writeInt32(static_cast<int32_t>(records.size()));
  w.writeBytes(records.data(), records.size_bytes());
  graphFields(contents, Writer{w});
  return w.takeBytes();
}

RecordFileDecodeResult decodeRecordFile(std::span<const uint8_t> bytes) {
  RecordFileDecodeResult result;
  ArchiveReader r(bytes);
  const std::string header = r.readText();
  if (r.failed() || (header != kRecordFileHeader && header != kOldRecordFileHeader)) {
    result.outcome = RecordFileOutcome::WrongHeader;
    return result;
  }
  result.version = r.readInt32();
  if (r.failed()) {
    result.outcome = RecordFileOutcome::EndsEarly;
    return result;
  }
  if (result.version < 0) {
    result.outcome = RecordFileOutcome::NegativeVersion;
    return result;
  }

  RecordFileContents& c = result.contents;
  headerFields(c, Reader{r});
  const int32_t n = r.readInt32();
  // A count the remaining bytes cannot hold is a damaged file, not an
  // allocation to attempt.
  if (r.failed() || (n > 0 && static_cast<uint64_t>(n) > r.remaining() / kRecordBytes)) {
    result.outcome = RecordFileOutcome::EndsEarly;
    return result;
  }
  if (n > 0) {
    c.records.resize(static_cast<size_t>(n));
    r.readBytes(c.records.data(), c.records.size() * sizeof(_RECORD_DATA));
  }
  graphFields(c, Reader{r});
  if (r.failed()) {
    result.outcome = RecordFileOutcome::EndsEarly;
    return result;
  }
  result.corrected = makeRecordFileConsistent(c);
  result.outcome = RecordFileOutcome::Read;
  return result;
}

bool makeRecordFileConsistent(RecordFileContents& contents) {
  RecordState& st = contents.state;
  GraphState& g = contents.graph;
  const int32_t n = static_cast<int32_t>(contents.records.size());
  bool changed = false;
  if (st.recordCount != n) {
    st.recordCount = n;
    changed = true;
  }
  changed |= clampInto(st.runCount, 0, n);
  // The run's samples are runFirstRecord .. recordCount; n + 1 is an empty run.
  const int32_t lowest = n - st.runCount + 1;
  if (st.runCount > 0 ? g.runFirstRecord != lowest : (g.runFirstRecord < 1 || g.runFirstRecord > n + 1)) {
    g.runFirstRecord = st.runCount > 0 ? lowest : n + 1;
    changed = true;
  }
  changed |= clampInto(g.axisScale, 0, kRangeCount - 1);
  changed |= clampInto(g.maxScale, 0, kRangeCount - 1);
  changed |= clampInto(g.minScale, 0, kRangeCount - 1);
  return changed;
}

RecordSettings recordSettingsOf(const AppSettings& s) {
  RecordSettings r;
  r.intervalMode = s.intervalMode;
  r.totalMode = s.totalMode;
  r.fastIntervalIndex = s.fastIntervalIndex;
  r.timeDisplayMode = s.timeDisplayMode;
  r.intervalHours = s.intervalHours;
  r.intervalMinutes = s.intervalMinutes;
  r.intervalSeconds = s.intervalSeconds;
  r.dataCount = s.dataCount;
  r.recordHours = s.recordHours;
  r.recordMinutes = s.recordMinutes;
  r.recordSeconds = s.recordSeconds;
  return r;
}

RecordHeader recordHeaderOf(const AppSettings& s) {
  RecordHeader h;
  h.companyOn = s.companyOn;
  h.companyText = s.companyText;
  h.titleOn = s.titleOn;
  h.titleText = s.titleText;
  h.operatorOn = s.operatorOn;
  h.operatorText = s.operatorText;
  h.dateOn = s.dateOn;
  h.dateText = s.dateText;
  h.tempHumidOn = s.tempHumidOn;
  h.temperatureText = s.temperatureText;
  h.humidityText = s.humidityText;
  h.memoOn = s.memoOn;
  h.memoText = s.memoText;
  return h;
}

void storeRecordSettings(AppSettings& s, const RecordSettings& r) {
  s.intervalMode = r.intervalMode;
  s.totalMode = r.totalMode;
  s.fastIntervalIndex = r.fastIntervalIndex;
  s.timeDisplayMode = r.timeDisplayMode;
  s.intervalHours = r.intervalHours;
  s.intervalMinutes = r.intervalMinutes;
  s.intervalSeconds = r.intervalSeconds;
  s.dataCount = r.dataCount;
  s.recordHours = r.recordHours;
  s.recordMinutes = r.recordMinutes;
  s.recordSeconds = r.recordSeconds;
}

void storeRecordHeader(AppSettings& s, const RecordHeader& h) {
  s.companyOn = h.companyOn;
  s.companyText = h.companyText;
  s.titleOn = h.titleOn;
  s.titleText = h.titleText;
  s.operatorOn = h.operatorOn;
  s.operatorText = h.operatorText;
  s.dateOn = h.dateOn;
  s.dateText = h.dateText;
  s.tempHumidOn = h.tempHumidOn;
  s.temperatureText = h.temperatureText;
  s.humidityText = h.humidityText;
  s.memoOn = h.memoOn;
  s.memoText = h.memoText;
}

}  // namespace lmv
