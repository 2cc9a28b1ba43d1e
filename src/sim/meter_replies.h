#pragma once
// The meter's command words and reply lines, in one place for the simulator
// and for the tests that check what the program makes of them. Line replies
// end in CR LF on the wire; raw replies (memory) are bare bytes.
#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace lmv::sim::replies {

// Commands as the program sends them (each followed by CR LF).
inline constexpr std::string_view kQueryModel = "QPID";
inline constexpr std::string_view kIdentify = "*IDN?";
inline constexpr std::string_view kInit = ":SYST:INIT";
inline constexpr std::string_view kLocalLockout = ":SYST:LLO";
inline constexpr std::string_view kGoToLocal = ":SYST:GTL";
inline constexpr std::string_view kStatus = ":STAT?";
inline constexpr std::string_view kMeasure = ":MEASCNTDISP?";
inline constexpr std::string_view kRangeQuery = ":SYST:RANGE?";
inline constexpr std::string_view kRangeSet = ":SYST:RANGE ";  // + range word
inline constexpr std::string_view kZeroAdjust = ":0ADJUST";
inline constexpr std::string_view kMemoryCheck = ":MEM:CHECK?";
inline constexpr std::string_view kMemoryData = ":MEM:DATA? ";  // + slot 1..99

inline constexpr std::string_view kLineEnd = "\r\n";

// Replies.
inline constexpr std::string_view kModelLx5810 = "LX5810";
inline constexpr std::string_view kModelLx5811 = "LX5811";
inline constexpr std::string_view kMaker = "TAVEK";
inline constexpr std::string_view kAcknowledge = "OK";          // settings, ":0ADJUST" done
inline constexpr std::string_view kCommandError = "CMD ERR";    // unknown or refused command
inline constexpr std::string_view kZeroAdjustRefused = "0ADJ ERR";  // sensor cap not fitted
// The firmware field of "*IDN?" starts with a 4-character prefix that the
// program skips: "Ver 1.00".
inline constexpr std::string_view kFirmwarePrefix = "Ver ";

// Range words by range index: 0 = auto, 1..5 = the fixed ranges.
inline constexpr std::array<std::string_view, 6> kRangeWords = {"Auto", "20", "200", "2k", "20k", "200k"};

// Positions in the 12 status characters of ":STAT?".
inline constexpr size_t kStatusLength = 12;
inline constexpr size_t kStatusBuzzer = 1;
inline constexpr size_t kStatusAutoRange = 4;
inline constexpr size_t kStatusFunction = 5;  // a digit; 0 = illuminance
inline constexpr size_t kStatusSensor = 7;
inline constexpr size_t kStatusOutput = 8;
inline constexpr size_t kStatusFootCandle = 9;

// Raw reply sizes.
inline constexpr size_t kMemoryCheckSize = 13;
inline constexpr size_t kMemoryRecordSize = 16;
inline constexpr int kMemorySlots = 99;

// Recorded examples, as a real meter sends them.
inline constexpr std::string_view kExampleIdentification = "TAVEK,LX5810,10000123,Ver 1.00";
inline constexpr std::string_view kExampleStatusLuxAuto = "000010010000";   // sensor, auto range, lux
inline constexpr std::string_view kExampleStatusLuxFixed = "000000010000";  // sensor, fixed range, lux
inline constexpr std::string_view kExampleStatusFootCandle = "000000010100";
inline constexpr std::string_view kExampleStatusNoSensor = "000010000000";
inline constexpr std::string_view kExampleMeasurement = "1234,1234,2";  // 1234 lx in range "2k"
inline constexpr std::string_view kExampleOverRange = "1000000,1000000,0";

// "*IDN?": maker, model, serial number, firmware field.
std::string identification(std::string_view model, std::string_view serialNumber,
                           std::string_view firmwareVersion);

// ":MEASCNTDISP?": display digits, count, range number (0 = range "20").
std::string measurement(std::string_view displayDigits, int32_t count, int rangeNumber);

}  // namespace lmv::sim::replies
