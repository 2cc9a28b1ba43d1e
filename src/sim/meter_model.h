#pragma once
// The simulated meter's behaviour, without any I/O: a command line in, the
// reply bytes (and how long the meter takes) out.
#include <array>
#include <chrono>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "illuminance_source.h"

namespace lmv::sim {

struct MeterConfig {
  std::string model = "LX5810";  // or "LX5811"
  std::string serialNumber = "10000123";
  std::string firmwareVersion = "1.00";
  int baud = 19200;  // the only line speed it answers at
  IlluminanceSource source = IlluminanceSource::constant(500);
  int range = 0;  // 0 = auto, 1..5 = "20" .. "200k"
  bool footCandle = false;
  bool sensorConnected = true;
  bool buzzer = false;
  bool output = false;
  bool capOn = true;  // sensor cap fitted (zero adjustment possible)
  std::chrono::milliseconds zeroAdjustTime{2000};
  double darkOffsetLux = 0;  // what the sensor shows in the dark until zero-adjusted
};

// One measurement: range index 1..5, the count as the display shows it in
// the current unit (1000000 / -1000000 over range).
struct Reading {
  int rangeIndex = 1;
  int32_t count = 0;
  bool over = false;
  bool operator==(const Reading&) const = default;
};

inline constexpr int32_t kOverCount = 1000000;

// range 0 chooses the lowest range that holds the value (200k when none).
Reading readingFor(double lux, bool footCandle, int range);

// A stored reading, 16 bytes on the wire: flag (0 = reading), range number
// (range index - 1), count (little-endian, lux, ranges 4 and 5 in tens and
// hundreds of lux), state (1 = no valid value, 3 = over range, 0 = reading).
struct MemoryRecord {
  uint8_t flag = 0;
  int8_t rangeNumber = 0;
  int16_t count = 0;
  uint16_t state = 0;
  std::array<uint8_t, 16> bytes() const;
  bool operator==(const MemoryRecord&) const = default;
};

MemoryRecord memoryRecordFor(double lux, int range, bool sensorConnected);

struct Reply {
  std::string bytes;  // with CR LF for a line reply
  std::chrono::milliseconds delay{0};
  bool raw = false;
};

class MeterModel {
 public:
  explicit MeterModel(MeterConfig config = {});

  MeterConfig& config() { return config_; }
  const MeterConfig& config() const { return config_; }

  // seconds: time since the meter was switched on.
  Reply handle(std::string_view command, double seconds);

  // What the sensor delivers now, after the zero correction.
  double luxAt(double seconds) const;
  std::string statusText() const;
  std::string rangeWord(double seconds) const;
  bool localLockout() const { return localLockout_; }

  // Memory: slots 1..99.
  int storeReading(double seconds);  // into the first free slot; 0 when full
  void setSlot(int slot, std::optional<MemoryRecord> record);
  std::optional<MemoryRecord> slot(int slot) const;
  void clearMemory();
  // Stores a reading of the source (a copy of it, sampled a second apart) in
  // each of the slots.
  void fillMemory(const std::vector<int>& slots);
  std::array<uint8_t, 13> memoryCheckBytes() const;

 private:
  std::string measure(double seconds);
  Reply zeroAdjust();

  MeterConfig config_;
  std::array<std::optional<MemoryRecord>, 99> memory_;
  std::optional<Reading> last_;  // the range of the last measurement, for ":SYST:RANGE?"
  double zeroCorrection_ = 0;
  bool localLockout_ = false;
};

}  // namespace lmv::sim
