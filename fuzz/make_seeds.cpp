// Writes the seed corpora of the fuzz targets into the folder given (one
// subfolder per target): the settings and record files the tests build, and
// the meter's replies the tests answer with.
#include <clocale>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "base/archive.h"
#include "base/settings.h"
#include "files/record_file.h"
#include "files/record_journal_format.h"
#include "monitor/value_codes.h"

namespace {

std::filesystem::path root;

void put(const std::string& target, const std::string& name, const std::vector<uint8_t>& bytes) {
  const auto dir = root / target;
  std::filesystem::create_directories(dir);
  std::ofstream out(dir / name, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

void put(const std::string& target, const std::string& name, const std::string& text) {
  put(target, name, std::vector<uint8_t>(text.begin(), text.end()));
}

lmv::_RECORD_DATA sample(int32_t value, int32_t range, double days, int32_t unit = 0) {
  lmv::_RECORD_DATA r;
  r.nValue = value;
  r.nRange = range;
  r.setDtTime({days, lmv::OleDate::Valid});
  r.nUnit = unit;
  return r;
}

void settingsSeeds() {
  put("settings", "defaults", lmv::encodeSettings(lmv::AppSettings{}));
  lmv::AppSettings s;
  s.windowRect = {10, 20, 810, 620};
  s.language = 0;
  s.currentPort = 201;
  s.intervalMode = 1;
  s.fastIntervalIndex = 4;
  s.companyText = "TAVEK";
  s.titleText = "照度測定";
  s.operatorText = "Operator";
  s.memoText = std::string(300, 'm');
  s.memoryFolder = "/home/user/.local/share/Lumetrevisor";
  s.memoryFileName = "memory.csv";
  put("settings", "distinct", lmv::encodeSettings(s));
  // An older version's file: the same layout under another version text.
  std::vector<uint8_t> old = lmv::encodeSettings(s);
  lmv::ArchiveWriter head;
  head.writeText("1.00");
  head.writeInt32(10000);
  lmv::ArchiveWriter current;
  current.writeText(lmv::kSettingsFormatVersionText);
  current.writeInt32(lmv::kSettingsFormatVersionNumber);
  old.erase(old.begin(), old.begin() + static_cast<long>(current.bytes().size()));
  old.insert(old.begin(), head.bytes().begin(), head.bytes().end());
  put("settings", "older-version", old);
  // The narrow text form: a counted 8-bit version text.
  put("settings", "narrow-version", std::vector<uint8_t>{0x04, '1', '.', '1', '0', 0xF8, 0x2A, 0, 0});
}

void recordFileSeeds() {
  lmv::RecordFileContents c;
  c.settings.intervalSeconds = 2;
  c.decimalSymbol = 1;
  c.identity = {0, "012345678", "1.00"};
  c.state.recordCount = 3;
  c.state.runCount = 3;
  c.state.baseTime = {41827.25, lmv::OleDate::Valid};
  c.state.runStartTime = {41827.25, lmv::OleDate::Valid};
  c.state.runStopTime = {41828.0, lmv::OleDate::Valid};
  c.state.maxTime = {41827.5, lmv::OleDate::Valid};
  c.state.minTime = {0.0, lmv::OleDate::Invalid};
  c.state.maxText = "200.0 lx";
  c.state.lastRangeText = "200 lx";
  c.records = {sample(1234, 2, 41827.25), sample(lmv::CodeOver, 2, 41827.5), sample(-5, 1, 41828.0, 1)};
  c.graph.axisTop = 2400;
  c.graph.maxCount = 1234;
  c.graph.maxScale = 2;
  c.graph.extremeUnitText = "lx";
  c.graph.timeSpan = 20;
  c.graph.graphIntervalSeconds = 2;
  c.graph.runFirstRecord = 1;
  put("record_file", "three-records", lmv::encodeRecordFile(c));

  lmv::RecordFileContents empty;
  put("record_file", "empty-store", lmv::encodeRecordFile(empty));

  lmv::RecordFileContents codes = c;
  codes.header.companyText = "TAVEK";
  codes.header.memoText = "メモ";
  codes.settings.timeDisplayMode = 1;
  codes.listSeparator = 1;
  codes.records = {sample(lmv::CodeNoValue, 0, 41827.25), sample(lmv::CodeNotConnected, 5, 41827.26, 1),
                   sample(lmv::CodeOverNegative, 4, 41827.27), sample(199999, 5, 41827.28)};
  codes.state.recordCount = 4;
  codes.state.runCount = 2;
  codes.graph.runFirstRecord = 3;
  put("record_file", "value-codes", lmv::encodeRecordFile(codes));
}

void journalSeeds() {
  // A journal as a recording leaves it: the store it began with, a run of
  // three samples that ended, a manual sample, and a run cut off.
  lmv::RecordFileContents base;
  base.records = {sample(1234, 2, 41827.25)};
  base.state.recordCount = 1;
  std::vector<uint8_t> bytes = lmv::journalStart(base);
  auto add = [&](const std::vector<uint8_t>& frame) { bytes.insert(bytes.end(), frame.begin(), frame.end()); };
  lmv::JournalRunHeader run;
  run.settings.intervalMode = 1;
  run.header.companyText = "TAVEK";
  run.meter = {0, "012345678", "1.00"};
  add(lmv::runStartFrame(run));
  add(lmv::sampleFrame({false, true, sample(300, 3, 41827.3), "300", "lx", 0}));
  add(lmv::sampleFrame({false, false, sample(lmv::CodeOver, 3, 41827.3), "OVER", "lx", 0}));
  add(lmv::sampleFrame({false, false, sample(-5, 1, 41827.31), "-0.05", "lx", 0}));
  add(lmv::runEndFrame({41827.31, lmv::OleDate::Valid}, "2014/07/07,07:26:24"));
  add(lmv::sampleFrame({true, false, sample(42, 2, 41827.4), "4.2", "lx", 0}));
  add(lmv::runStartFrame(run));
  add(lmv::sampleFrame({false, true, sample(1999, 5, 41827.5, 1), "19990", "FC", 0}));
  put("journal", "runs-and-manual", bytes);
  put("journal", "base-only", lmv::journalStart(base));
  bytes.resize(bytes.size() - 5);
  put("journal", "torn-tail", bytes);
}

void replySeeds() {
  const char* idn[] = {"TAVEK,LX5810,A1234567, VER 1.00", "TAVEK,LX5810,A1234567,VER 0.24",
                       "TAVEK,LX5811,12,FW: 0.23,extra", "TAVEK,LX5810,VER 0.24", "TAVEK", "LX5810", "LX5811"};
  int n = 0;
  for (const char* r : idn) put("idn_reply", "reply-" + std::to_string(n++), r);

  // First byte: the block's previous state; then status, measurement, range.
  const char* passes[] = {"000000010000\n1234,1234,2\n2k",   "000000010100\n1234,1234,2\n2k",
                          "000010010000\n5,5,0\n20",         "000000000000\n0,0,0\n20",
                          "000000010000\nCMD ERR\n200",      "000000010000\n1999,99999,4\n20k",
                          "00000001\n1,1,1\n200",            "000000010000\n-1999,-1999,5\n200k",
                          "000000010000\n1234,1234\nXYZ"};
  n = 0;
  for (const char* p : passes) put("measurement_pass", "pass-" + std::to_string(n++), std::string(1, '\x05') + p);

  std::vector<uint8_t> free(13, 0xFF);
  put("memory_reply", "all-free", free);
  std::vector<uint8_t> some = free;
  some[0] = 0xF0;
  some[12] = 0xF8;
  const uint8_t records[][16] = {{0, 1, 0xD2, 0x04, 0, 0, 0xA5, 0xA5, 0xA5, 0xA5, 0xA5, 0xA5, 0xA5, 0xA5, 0xA5, 0xA5},
                                 {0, 4, 0x2E, 0xFB, 3, 0, 0xA5, 0xA5, 0xA5, 0xA5, 0xA5, 0xA5, 0xA5, 0xA5, 0xA5, 0xA5},
                                 {1, 0, 0, 0, 1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}};
  for (const auto& r : records) some.insert(some.end(), r, r + 16);
  put("memory_reply", "slots-and-records", some);

  put("language_choice", "japanese", "Japanese\r\n");
  put("language_choice", "japanese-bare", "Japanese");
  put("language_choice", "english", "English\n");
  put("language_choice", "empty", std::vector<uint8_t>{});

  put("csv_text", "ascii", "\x01TAVEK LX5810 memo");
  put("csv_text", "japanese", std::string("\x04") + "照度計 メモ");
  put("csv_text", "cp932", std::string("\x00\x8f\xc6\x93\x78", 5));
  put("csv_text", "broken-utf8", "\x03\xe3\x81\xff\xed\xa0\x80 end");
  put("charset", "cp932", std::string("\x8f\xc6\x93\x78\x8c\x76", 6));
  put("charset", "utf8", "照度計 メモ");
  put("charset", "broken", "\x93\xe3\x81\xff\xed\xa0\x80\xf7\x85\xba\xa7");
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: make_seeds FOLDER\n");
    return 2;
  }
  std::setlocale(LC_ALL, "C.UTF-8");
  root = argv[1];
  settingsSeeds();
  recordFileSeeds();
  journalSeeds();
  replySeeds();
  return 0;
}
