#include "meter_model.h"

#include <charconv>
#include <cmath>
#include <cstdlib>

#include "meter_replies.h"

namespace lmv::sim {

namespace {

// By range index 1..5 (index 0 unused).
constexpr int kLuxDecimals[6] = {0, 2, 1, 0, 0, 0};
constexpr int kFootCandleDecimals[6] = {0, 3, 2, 1, 0, 0};
constexpr int32_t kLuxLimit[6] = {0, 1999, 1999, 1999, 19999, 199999};
// Memory keeps ranges 4 and 5 in tens and hundreds of lux, to fit 16 bits.
constexpr double kMemoryScale[6] = {0, 100, 10, 1, 0.1, 0.01};
constexpr double kLuxPerFootCandle = 10.76;

int64_t luxCount(double lux, int range) {
  return std::llround(lux * std::pow(10.0, kLuxDecimals[range]));
}

bool fits(double lux, int range) { return std::llabs(luxCount(lux, range)) <= kLuxLimit[range]; }

int chooseRange(double lux, int range) {
  if (range >= 1 && range <= 5) return range;
  for (int r = 1; r <= 5; ++r)
    if (fits(lux, r)) return r;
  return 5;
}

std::string line(std::string_view text) { return std::string(text) + std::string(replies::kLineEnd); }

Reply lineReply(std::string_view text) { return {line(text), {}, false}; }

}  // namespace

Reading readingFor(double lux, bool footCandle, int range) {
  Reading reading;
  reading.rangeIndex = chooseRange(lux, range);
  if (!fits(lux, reading.rangeIndex)) {
    reading.over = true;
    reading.count = lux < 0 ? -kOverCount : kOverCount;
  } else if (footCandle) {
    reading.count = static_cast<int32_t>(
        std::llround(lux / kLuxPerFootCandle * std::pow(10.0, kFootCandleDecimals[reading.rangeIndex])));
  } else {
    reading.count = static_cast<int32_t>(luxCount(lux, reading.rangeIndex));
  }
  return reading;
}

std::array<uint8_t, 16> MemoryRecord::bytes() const {
  std::array<uint8_t, 16> b{};
  auto c = static_cast<uint16_t>(count);
  b[0] = flag;
  b[1] = static_cast<uint8_t>(rangeNumber);
  b[2] = static_cast<uint8_t>(c & 0xFF);
  b[3] = static_cast<uint8_t>(c >> 8);
  b[4] = static_cast<uint8_t>(state & 0xFF);
  b[5] = static_cast<uint8_t>(state >> 8);
  return b;
}

MemoryRecord memoryRecordFor(double lux, int range, bool sensorConnected) {
  MemoryRecord record;
  int r = chooseRange(lux, range);
  record.rangeNumber = static_cast<int8_t>(r - 1);
  if (!sensorConnected) {
    record.state = 1;
  } else if (!fits(lux, r)) {
    record.state = 3;
    record.count = static_cast<int16_t>(lux < 0 ? -1999 : 1999);
  } else {
    record.count = static_cast<int16_t>(std::llround(lux * kMemoryScale[r]));
  }
  return record;
}

MeterModel::MeterModel(MeterConfig config) : config_(std::move(config)) {}

double MeterModel::luxAt(double seconds) const {
  return config_.source.peek(seconds) + config_.darkOffsetLux - zeroCorrection_;
}

std::string MeterModel::statusText() const {
  std::string s(replies::kStatusLength, '0');
  auto flag = [&](size_t position, bool on) { s[position] = on ? '1' : '0'; };
  flag(replies::kStatusBuzzer, config_.buzzer);
  flag(replies::kStatusAutoRange, config_.range == 0);
  flag(replies::kStatusSensor, config_.sensorConnected);
  flag(replies::kStatusOutput, config_.output);
  flag(replies::kStatusFootCandle, config_.footCandle);
  return s;
}

std::string MeterModel::rangeWord(double seconds) const {
  if (config_.range >= 1 && config_.range <= 5) return std::string(replies::kRangeWords[config_.range]);
  // Auto ranging reports the range it is in: that of the last measurement.
  int r = last_ ? last_->rangeIndex : chooseRange(luxAt(seconds), 0);
  return std::string(replies::kRangeWords[r]);
}

std::string MeterModel::measure(double seconds) {
  double lux = config_.source.sample(seconds) + config_.darkOffsetLux - zeroCorrection_;
  Reading reading = readingFor(lux, config_.footCandle, config_.range);
  if (!config_.sensorConnected) reading.count = 0;
  last_ = reading;
  std::string digits = std::to_string(reading.count);
  return replies::measurement(digits, reading.count, reading.rangeIndex - 1);
}

Reply MeterModel::zeroAdjust() {
  Reply reply;
  reply.delay = config_.zeroAdjustTime;
  if (config_.capOn && config_.sensorConnected) {
    zeroCorrection_ = config_.darkOffsetLux;
    reply.bytes = line(replies::kAcknowledge);
  } else {
    reply.bytes = line(replies::kZeroAdjustRefused);
  }
  return reply;
}

Reply MeterModel::handle(std::string_view command, double seconds) {
  using namespace replies;
  if (command == kQueryModel) return lineReply(config_.model);
  if (command == kIdentify)
    return lineReply(identification(config_.model, config_.serialNumber, config_.firmwareVersion));
  if (command == kInit) return lineReply(kAcknowledge);
  if (command == kLocalLockout) {
    localLockout_ = true;
    return lineReply(kAcknowledge);
  }
  if (command == kGoToLocal) {
    localLockout_ = false;
    return lineReply(kAcknowledge);
  }
  if (command == kStatus) return lineReply(statusText());
  if (command == kMeasure) return lineReply(measure(seconds));
  if (command == kRangeQuery) return lineReply(rangeWord(seconds));
  if (command.starts_with(kRangeSet)) {
    std::string_view word = command.substr(kRangeSet.size());
    for (size_t r = 0; r < kRangeWords.size(); ++r) {
      if (word == kRangeWords[r]) {
        config_.range = static_cast<int>(r);
        last_.reset();
        return lineReply(kAcknowledge);
      }
    }
    return lineReply(kCommandError);
  }
  if (command == kZeroAdjust) return zeroAdjust();
  if (command == kMemoryCheck) {
    auto bytes = memoryCheckBytes();
    return {std::string(bytes.begin(), bytes.end()), {}, true};
  }
  if (command.starts_with(kMemoryData)) {
    std::string_view digits = command.substr(kMemoryData.size());
    int slotNumber = 0;
    auto [end, ec] = std::from_chars(digits.data(), digits.data() + digits.size(), slotNumber);
    if (ec != std::errc() || end != digits.data() + digits.size() || slotNumber < 1 ||
        slotNumber > kMemorySlots)
      return lineReply(kCommandError);
    MemoryRecord empty;
    empty.flag = 0xFF;
    auto bytes = memory_[slotNumber - 1].value_or(empty).bytes();
    return {std::string(bytes.begin(), bytes.end()), {}, true};
  }
  return lineReply(kCommandError);
}

int MeterModel::storeReading(double seconds) {
  for (size_t i = 0; i < memory_.size(); ++i) {
    if (memory_[i]) continue;
    memory_[i] = memoryRecordFor(luxAt(seconds), config_.range, config_.sensorConnected);
    return static_cast<int>(i) + 1;
  }
  return 0;
}

void MeterModel::setSlot(int slotNumber, std::optional<MemoryRecord> record) {
  if (slotNumber >= 1 && slotNumber <= replies::kMemorySlots) memory_[slotNumber - 1] = record;
}

std::optional<MemoryRecord> MeterModel::slot(int slotNumber) const {
  if (slotNumber < 1 || slotNumber > replies::kMemorySlots) return std::nullopt;
  return memory_[slotNumber - 1];
}

void MeterModel::clearMemory() { memory_.fill(std::nullopt); }

void MeterModel::fillMemory(const std::vector<int>& slots) {
  IlluminanceSource source = config_.source;
  double seconds = 0;
  for (int slotNumber : slots) {
    double lux = source.sample(seconds) + config_.darkOffsetLux - zeroCorrection_;
    setSlot(slotNumber, memoryRecordFor(lux, config_.range, config_.sensorConnected));
    seconds += 1;
  }
}

std::array<uint8_t, 13> MeterModel::memoryCheckBytes() const {
  std::array<uint8_t, 13> bits{};
  for (size_t k = 0; k < memory_.size(); ++k)
    if (memory_[k]) bits[k / 8] |= static_cast<uint8_t>(1u << (k % 8));
  // The meter sends the occupancy inverted: a 0 bit is a stored reading.
  for (auto& b : bits) b = static_cast<uint8_t>(~b);
  return bits;
}

}  // namespace lmv::sim
