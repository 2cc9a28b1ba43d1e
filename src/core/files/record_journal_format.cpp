#include "files/record_journal_format.h"

#include <array>
#include <cstring>
#include <string_view>

#include "base/archive.h"
#include "monitor/extremes.h"
#include "monitor/range_table.h"
#include "record/record_info.h"
#include "record/record_list.h"
#include "record/time_text.h"

namespace lmv {
namespace {

constexpr size_t kFrameOverhead = 1 + 4 + 4;
// No frame of a real journal comes near this; a larger length is damage.
constexpr uint32_t kMaxFramePayload = 1u << 30;

constexpr std::array<uint32_t, 256> makeCrcTable() {
  std::array<uint32_t, 256> table{};
  for (uint32_t i = 0; i < 256; ++i) {
    uint32_t c = i;
    for (int k = 0; k < 8; ++k) c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
    table[i] = c;
  }
  return table;
}
constexpr std::array<uint32_t, 256> kCrcTable = makeCrcTable();

void putU32(std::vector<uint8_t>& out, uint32_t v) {
  for (int i = 0; i < 4; ++i) out.push_back(static_cast<uint8_t>(v >> (8 * i)));
}

uint32_t getU32(const uint8_t* p) {
  return uint32_t{p[0]} | (uint32_t{p[1]} << 8) | (uint32_t{p[2]} << 16) | (uint32_t{p[3]} << 24);
}

void writeDate(ArchiveWriter& w, const OleDate& d) {
  w.writeInt32(d.status);
  w.writeDouble(d.value);
}

OleDate readDate(ArchiveReader& r) {
  OleDate d;
  d.status = r.readInt32();
  d.value = r.readDouble();
  return d;
}

template <typename Settings, typename Io>
void settingsFields(Settings& s, Io&& io) {
  io(s.intervalMode);
  io(s.totalMode);
  io(s.fastIntervalIndex);
  io(s.timeDisplayMode);
  io(s.intervalHours);
  io(s.intervalMinutes);
  io(s.intervalSeconds);
  io(s.dataCount);
  io(s.recordHours);
  io(s.recordMinutes);
  io(s.recordSeconds);
}

template <typename Header, typename Io>
void headerFields(Header& h, Io&& io) {
  io(h.companyOn);
  io(h.companyText);
  io(h.titleOn);
  io(h.titleText);
  io(h.operatorOn);
  io(h.operatorText);
  io(h.dateOn);
  io(h.dateText);
  io(h.tempHumidOn);
  io(h.temperatureText);
  io(h.humidityText);
  io(h.memoOn);
  io(h.memoText);
}

struct Writer {
  ArchiveWriter& w;
  void operator()(const int32_t& v) const { w.writeInt32(v); }
  void operator()(const std::string& v) const { w.writeText(v); }
};

struct Reader {
  ArchiveReader& r;
  void operator()(int32_t& v) const { v = r.readInt32(); }
  void operator()(std::string& v) const { v = r.readText(); }
};

void writeRecord(ArchiveWriter& w, const _RECORD_DATA& rec) {
  w.writeInt32(rec.nFunction);
  w.writeInt32(rec.nValue);
  w.writeInt32(rec.nRange);
  w.writeInt32(rec.dtTimeStatus);
  w.writeDouble(rec.dtTimeDays);
  w.writeInt32(rec.nUnit);
  w.writeInt32(rec.nReserved);
}

_RECORD_DATA readRecord(ArchiveReader& r) {
  _RECORD_DATA rec;
  rec.nFunction = r.readInt32();
  rec.nValue = r.readInt32();
  rec.nRange = r.readInt32();
  rec.dtTimeStatus = r.readInt32();
  rec.dtTimeDays = r.readDouble();
  rec.nUnit = r.readInt32();
  rec.nReserved = r.readInt32();
  return rec;
}

bool readRunHeader(std::span<const uint8_t> payload, JournalRunHeader& h) {
  ArchiveReader r(payload);
  const Reader io{r};
  settingsFields(h.settings, io);
  headerFields(h.header, io);
  h.meter.modelIndex = r.readInt32();
  h.meter.serialNumberText = r.readText();
  h.meter.firmwareVersionText = r.readText();
  h.graphIntervalSeconds = r.readInt32();
  return !r.failed() && r.remaining() == 0;
}

bool readSample(std::span<const uint8_t> payload, JournalFrame kind, JournalSample& s) {
  ArchiveReader r(payload);
  s.manual = kind == JournalFrame::Manual;
  s.firstOfRun = r.readInt32() != 0;
  s.record = readRecord(r);
  s.valueText = r.readText();
  s.unitText = r.readText();
  s.reservedFlag = r.readInt32();
  return !r.failed() && r.remaining() == 0;
}

// A range index as the store's tables take it.
int32_t tableIndex(int32_t range, int32_t unit) { return rangeTableIndex(range, unit); }

void replayAutomatic(RecordFileContents& c, JournalReplay& w, const JournalSample& s) {
  RecordState& st = c.state;
  GraphState& g = c.graph;
  const OleDate time = s.record.dtTime();
  if (s.firstOfRun) {
    st.runStartTime = time;
    st.runCount = 0;
  }
  ++st.runCount;
  ++st.recordCount;
  if (st.recordCount == 1) st.baseTime = time;
  if (st.runCount == 1) {
    st.runStartText = absoluteTimeText(st.runStartTime);
    g.runFirstRecord = st.recordCount;
    g.maxScale = g.minScale = s.record.nRange;
    w.listMaxFirst = w.listMinFirst = true;
    g.firstMaxPending = g.firstMinPending = true;
  }
  const ExtremeRecord numbers{time, s.record.nFunction, s.record.nValue, s.record.nRange};
  const auto labelDecimals = [&] { return rangeDecimals[tableIndex(s.record.nRange, s.record.nUnit)]; };
  if (updateMax(w.listMaxFirst, w.listMax, numbers, false)) {
    st.maxTime = time;
    st.maxFunctionIndex = s.record.nFunction;
    st.maxText = s.valueText + " " + s.unitText;
  }
  if (updateMax(g.firstMaxPending, w.graphMax, numbers, true)) {
    g.extremeUnitText = s.unitText;
    g.maxCount = s.record.nValue;
    g.maxScale = s.record.nRange;
    if (s.record.nRange >= g.minScale) g.labelDecimals = labelDecimals();
    g.rescalePending = 1;
  }
  if (updateMin(w.listMinFirst, w.listMin, numbers, false)) {
    st.minTime = time;
    st.minText = s.valueText + " " + s.unitText;
  }
  if (updateMin(g.firstMinPending, w.graphMin, numbers, true)) {
    g.minCount = s.record.nValue;
    g.minScale = s.record.nRange;
    if (s.record.nRange >= g.maxScale) g.labelDecimals = labelDecimals();
    g.rescalePending = 1;
  }
  st.lastFunctionIndex = s.record.nFunction;
  st.lastRangeText = recordRangeText(s.record.nRange, s.record.nUnit);
  c.records.push_back(s.record);
  g.blankFlag = s.reservedFlag;
  // What the redraw after each sample does to the scaling state.
  computeTimeSpan(g, c.records);
  computeValueAxis(g, runSampleCount(g, c.records.size()));
}

void replayManual(RecordFileContents& c, const JournalSample& s) {
  RecordState& st = c.state;
  GraphState& g = c.graph;
  ++st.recordCount;
  if (st.recordCount == 1) st.baseTime = s.record.dtTime();
  st.lastFunctionIndex = s.record.nFunction;
  st.lastRangeText = recordRangeText(s.record.nRange, s.record.nUnit);
  c.records.push_back(s.record);
  if (st.runCount > 0) {
    st.runCount = 0;
    // The graph of a new run: empty, its time span kept.
    g.axisTop = 2000;
    g.axisBottom = 0;
    g.labelDecimals = 2;
    g.extremeUnitText.clear();
    g.blankFlag = 1;
  } else {
    g.runFirstRecord = st.recordCount + 1;
  }
}

}  // namespace

uint32_t journalCrc32(std::span<const uint8_t> bytes, uint32_t crc) {
  crc = ~crc;
  for (const uint8_t b : bytes) crc = kCrcTable[(crc ^ b) & 0xFF] ^ (crc >> 8);
  return ~crc;
}

std::vector<uint8_t> journalFrame(JournalFrame kind, std::span<const uint8_t> payload) {
  std::vector<uint8_t> out;
  out.reserve(payload.size() + kFrameOverhead);
  out.push_back(static_cast<uint8_t>(kind));
  putU32(out, static_cast<uint32_t>(payload.size()));
  out.insert(out.end(), payload.begin(), payload.end());
  putU32(out, journalCrc32(out));
  return out;
}

std::vector<uint8_t> journalStart(const RecordFileContents& base) {
  const std::string_view magic = kJournalMagic;
  std::vector<uint8_t> out(magic.begin(), magic.end());
  const std::vector<uint8_t> frame = journalFrame(JournalFrame::Base, encodeRecordFile(base));
  out.insert(out.end(), frame.begin(), frame.end());
  return out;
}

std::vector<uint8_t> runStartFrame(const JournalRunHeader& h) {
  ArchiveWriter w;
  const Writer io{w};
  settingsFields(h.settings, io);
  headerFields(h.header, io);
  w.writeInt32(h.meter.modelIndex);
  w.writeText(h.meter.serialNumberText);
  w.writeText(h.meter.firmwareVersionText);
  w.writeInt32(h.graphIntervalSeconds);
  return journalFrame(JournalFrame::RunStart, w.bytes());
}

std::vector<uint8_t> sampleFrame(const JournalSample& s) {
  ArchiveWriter w;
  w.writeInt32(s.firstOfRun ? 1 : 0);
  writeRecord(w, s.record);
  w.writeText(s.valueText);
  w.writeText(s.unitText);
  w.writeInt32(s.reservedFlag);
  return journalFrame(s.manual ? JournalFrame::Manual : JournalFrame::Automatic, w.bytes());
}

std::vector<uint8_t> runEndFrame(const OleDate& stopTime, const std::string& stopText) {
  ArchiveWriter w;
  writeDate(w, stopTime);
  w.writeText(stopText);
  return journalFrame(JournalFrame::RunEnd, w.bytes());
}

void replayJournalSample(RecordFileContents& contents, JournalReplay& replay, const JournalSample& sample) {
  if (sample.manual) {
    replayManual(contents, sample);
  } else {
    replayAutomatic(contents, replay, sample);
  }
  contents.state.dataSaved = 0;
}

JournalRecovery recoverJournal(std::span<const uint8_t> bytes) {
  JournalRecovery result;
  const std::string_view magic = kJournalMagic;
  if (bytes.size() < magic.size() || std::memcmp(bytes.data(), magic.data(), magic.size()) != 0) return result;

  size_t pos = magic.size();
  bool haveBase = false;
  bool inRun = false;
  JournalReplay replay;
  RecordFileContents& c = result.contents;
  while (pos < bytes.size()) {
    const size_t left = bytes.size() - pos;
    bool whole = left >= kFrameOverhead;
    uint32_t length = 0;
    if (whole) {
      length = getU32(bytes.data() + pos + 1);
      whole = length <= kMaxFramePayload && left - kFrameOverhead >= length;
    }
    if (whole) {
      const std::span<const uint8_t> checked = bytes.subspan(pos, 5 + size_t{length});
      whole = journalCrc32(checked) == getU32(bytes.data() + pos + 5 + length);
    }
    const auto kind = whole ? static_cast<JournalFrame>(bytes[pos]) : JournalFrame::Base;
    const std::span<const uint8_t> payload = whole ? bytes.subspan(pos + 5, length) : std::span<const uint8_t>{};
    bool understood = whole;
    if (whole && !haveBase) {
      if (kind != JournalFrame::Base) return result;
      RecordFileDecodeResult base = decodeRecordFile(payload);
      if (base.outcome != RecordFileOutcome::Read) return result;
      c = std::move(base.contents);
      haveBase = true;
      result.outcome = JournalOutcome::Recovered;
    } else if (whole) {
      switch (kind) {
        case JournalFrame::RunStart: {
          JournalRunHeader h;
          understood = readRunHeader(payload, h);
          if (understood) {
            c.settings = h.settings;
            c.header = h.header;
            c.identity = h.meter;
            c.graph.graphIntervalSeconds = h.graphIntervalSeconds;
          }
          break;
        }
        case JournalFrame::Automatic:
        case JournalFrame::Manual: {
          JournalSample s;
          understood = readSample(payload, kind, s);
          if (understood) {
            replayJournalSample(c, replay, s);
            ++result.samplesRecovered;
            inRun = !s.manual;
          }
          break;
        }
        case JournalFrame::RunEnd: {
          ArchiveReader r(payload);
          const OleDate stop = readDate(r);
          std::string text = r.readText();
          understood = !r.failed() && r.remaining() == 0;
          if (understood) {
            c.state.runStopTime = stop;
            c.state.runStopText = std::move(text);
            inRun = false;
          }
          break;
        }
        default:
          understood = false;
      }
    }
    if (!understood) {
      if (!haveBase) return result;
      result.damaged = true;
      result.damagedAt = pos;
      break;
    }
    pos += kFrameOverhead + length;
  }
  if (!haveBase) return result;

  if (inRun && !c.records.empty()) {
    // The program ended while the run went on: it ends at its last sample.
    result.runInterrupted = true;
    c.state.runStopTime = c.records.back().dtTime();
    c.state.runStopText = absoluteTimeText(c.state.runStopTime);
  }
  c.state.fileBound = 0;
  c.state.dataSaved = c.records.empty() ? 1 : 0;
  makeRecordFileConsistent(c);
  return result;
}

}  // namespace lmv
