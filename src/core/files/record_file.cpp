#include "files/record_file.h"

#include <algorithm>
#include <cstring>
#include <cstdint>

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

// Reads like Reader and notes where the first value that could not be read
// starts and how many bytes it takes, so that a file read in pieces can be
// given exactly what is missing.
struct PrefixReader {
  ArchiveReader& r;
  std::span<const uint8_t> bytes;
  uint64_t neededEnd = 0;  // 0 while nothing failed

  void int32(int32_t& v) {
    const size_t start = r.position();
    v = r.readInt32();
    noteFailure(start, 4);
  }
  void date(OleDate& v) {
    const size_t start = r.position();
    v = readDate(r);
    noteFailure(start, 12);
  }
  void text(std::string& v) {
    const size_t start = r.position();
    v = r.readText();
    if (r.failed() && neededEnd == 0) neededEnd = start + textExtent(bytes.subspan(start));
  }

  void noteFailure(size_t start, uint64_t size) {
    if (r.failed() && neededEnd == 0) neededEnd = start + size;
  }

  // The bytes a text takes, its length prefix included, as far as the bytes
  // given tell (a prefix cut short: the longest prefix); UINT64_MAX for a
  // length no text can have.
  static uint64_t textExtent(std::span<const uint8_t> t) {
    constexpr uint64_t kLongestPrefix = 1 + 2 + 1 + 2 + 4 + 8;
    size_t at = 0;
    const auto u = [&](size_t size, uint64_t& out) {
      if (t.size() - at < size) return false;
      out = 0;
      for (size_t i = 0; i < size; ++i) out |= uint64_t{t[at + i]} << (8 * i);
      at += size;
      return true;
    };
    uint64_t length = 0;
    uint64_t word = 0;
    uint64_t unit = 1;
    if (!u(1, length)) return kLongestPrefix;
    if (length == 0xFF) {
      if (!u(2, word)) return kLongestPrefix;
      if (word == 0xFFFE) {
        unit = 2;
        if (!u(1, length)) return kLongestPrefix;
        if (length == 0xFF && !u(2, word)) return kLongestPrefix;
      }
      if (length == 0xFF) {
        if (word != 0xFFFF) {
          length = word;
        } else {
          if (!u(4, length)) return kLongestPrefix;
          if (length == 0xFFFFFFFFu) {
            if (!u(8, length)) return kLongestPrefix;
            if (length > 0x7FFFFFFFu) return UINT64_MAX;
          }
        }
      }
    }
    return at + length * unit;
  }
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

RecordFilePrefix decodeRecordFilePrefix(std::span<const uint8_t> bytes, uint64_t fileSize,
                                        RecordFileDecodeResult& result) {
  RecordFilePrefix prefix;
  ArchiveReader r(bytes);
  // Any valid header and version lie within the first bytes.
  const std::string header = r.readText();
  if (r.failed() || (header != kRecordFileHeader && header != kOldRecordFileHeader)) {
    prefix.outcome = RecordFileOutcome::WrongHeader;
    return prefix;
  }
  result.version = r.readInt32();
  if (r.failed()) {
    prefix.outcome = RecordFileOutcome::EndsEarly;
    return prefix;
  }
  if (result.version < 0) {
    prefix.outcome = RecordFileOutcome::NegativeVersion;
    return prefix;
  }
  PrefixReader reader{r, bytes};
  headerFields(result.contents, reader);
  reader.int32(prefix.recordCount);
  if (r.failed()) {
    // More bytes help only when the file has them.
    if (bytes.size() < fileSize && reader.neededEnd <= fileSize) {
      prefix.needsMoreBytes = true;
      prefix.bytesNeeded = reader.neededEnd;
    }
    prefix.outcome = RecordFileOutcome::EndsEarly;
    return prefix;
  }
  prefix.recordsOffset = r.position();
  prefix.outcome = RecordFileOutcome::Read;
  return prefix;
}

RecordFileOutcome checkRecordFileSize(uint64_t fileSize, size_t recordsOffset, int32_t recordCount) {
  if (fileSize < recordsOffset) return RecordFileOutcome::EndsEarly;
  const uint64_t records = recordCount > 0 ? static_cast<uint64_t>(recordCount) * kRecordBytes : 0;
  const uint64_t after = fileSize - recordsOffset;
  // A count the remaining bytes cannot hold is a damaged file, not an
  // allocation to attempt.
  if (after < records + kRecordFileTailMinBytes) return RecordFileOutcome::EndsEarly;
  if (after > records + kRecordFileTailMaxBytes) return RecordFileOutcome::Oversized;
  return RecordFileOutcome::Read;
}

void decodeRecords(std::span<const uint8_t> bytes, RecordArray& records) {
  const size_t count = bytes.size() / kRecordBytes;
  const size_t first = records.size();
  records.resize(first + count);
  if (count > 0) std::memcpy(records.data() + first, bytes.data(), count * kRecordBytes);
}

RecordFileOutcome decodeRecordFileTail(std::span<const uint8_t> bytes, RecordFileDecodeResult& result) {
  ArchiveReader r(bytes);
  graphFields(result.contents, Reader{r});
  if (r.failed()) return RecordFileOutcome::EndsEarly;
  if (result.contents.graph.extremeUnitText.size() > kMaxExtremeUnitTextBytes) return RecordFileOutcome::Oversized;
  result.corrected = makeRecordFileConsistent(result.contents);
  return RecordFileOutcome::Read;
}

RecordFileDecodeResult decodeRecordFile(std::span<const uint8_t> bytes) {
  RecordFileDecodeResult result;
  const RecordFilePrefix prefix = decodeRecordFilePrefix(bytes, bytes.size(), result);
  result.outcome = prefix.outcome;
  if (result.outcome != RecordFileOutcome::Read) return result;
  result.outcome = checkRecordFileSize(bytes.size(), prefix.recordsOffset, prefix.recordCount);
  if (result.outcome != RecordFileOutcome::Read) return result;
  const size_t recordBytes = prefix.recordCount > 0 ? static_cast<size_t>(prefix.recordCount) * kRecordBytes : 0;
  result.contents.records.reserve(recordBytes / kRecordBytes);
  decodeRecords(bytes.subspan(prefix.recordsOffset, recordBytes), result.contents.records);
  result.outcome = decodeRecordFileTail(bytes.subspan(prefix.recordsOffset + recordBytes), result);
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
