#pragma once
// The block the main window and the measurement thread share: change
// requests from the mode and range combo boxes one way, the state of the last
// pass the other way. The "GET" lock keeps multi-field copies consistent;
// every field is atomic so that the status pictures and the recording may
// read single fields without taking it.
#include <array>
#include <atomic>
#include <cstdint>
#include <mutex>

namespace lmv {

inline constexpr int kStatusLength = 12;

// Positions of the ":STAT?" reply the program interprets.
inline constexpr int StatusBuzzer = 1;
inline constexpr int StatusAutoRange = 4;
inline constexpr int StatusDigit = 5;  // the one position kept as a digit value
inline constexpr int StatusSensor = 7;  // 0 = no sensor connected
inline constexpr int StatusOutput = 8;
inline constexpr int StatusUnit = 9;  // 1 = foot-candle

// One copy of the block, as the measurement thread works on it.
struct MeasurementBlock {
  int32_t functionChangeRequest = 0;
  int32_t rangeChangeRequest = 0;
  int32_t autoRange = 0;
  int32_t statusInvalid = 1;
  int32_t overFlag = 0;
  int32_t invalidValueFlag = 0;
  int32_t functionIndex = 0;  // always 0, "LUX"
  int32_t rangeIndex = 0;
  int32_t replyRangeIndex = 0;
  int32_t shownFunctionIndex = -1;
  int32_t shownRangeIndex = -1;
  std::array<int32_t, kStatusLength> status{};

  bool operator==(const MeasurementBlock&) const = default;
};

class SharedMeasurementBlock {
 public:
  SharedMeasurementBlock() = default;
  SharedMeasurementBlock(const SharedMeasurementBlock&) = delete;
  SharedMeasurementBlock& operator=(const SharedMeasurementBlock&) = delete;

  // Start of a pass: a copy of the block; the change requests are cleared in
  // the shared block (they are one-shot).
  MeasurementBlock takeForPass();
  // End of a pass: the thread's copy goes back, except that requests raised
  // while the pass ran survive.
  void storeAfterPass(const MeasurementBlock& b);
  MeasurementBlock snapshot() const;

  // Combo box handlers (user-interface thread): store the selection and, when
  // it differs from the stored one, raise the change request. Return whether
  // it differed.
  bool selectMode(int32_t selection);
  bool selectRange(int32_t selection);

  // The combo selections as last stored, by the handlers or by a pass that
  // refilled or reselected the combo boxes.
  int32_t modeSelection() const { return modeSelection_.load(); }
  int32_t rangeSelection() const { return rangeSelection_.load(); }
  void storeModeSelection(int32_t s) { modeSelection_.store(s); }
  void storeRangeSelection(int32_t s) { rangeSelection_.store(s); }

  // Monitor panel reset (start-up and every disconnect): no status yet.
  void resetStatus();
  // Disconnect: the combo boxes count as never filled; function back to 0.
  void resetShown();

  // Single fields, without the lock.
  int32_t functionIndex() const { return functionIndex_.load(); }
  int32_t rangeIndex() const { return rangeIndex_.load(); }
  int32_t statusInvalid() const { return statusInvalid_.load(); }
  int32_t overFlag() const { return overFlag_.load(); }
  int32_t invalidValueFlag() const { return invalidValueFlag_.load(); }
  int32_t autoRange() const { return autoRange_.load(); }
  int32_t status(int position) const;
  int32_t unitCode() const { return status(StatusUnit); }

 private:
  MeasurementBlock loadLocked() const;
  void storeLocked(const MeasurementBlock& b);

  mutable std::mutex get_;  // "GET"
  std::atomic<int32_t> functionChangeRequest_{0};
  std::atomic<int32_t> rangeChangeRequest_{0};
  std::atomic<int32_t> autoRange_{0};
  std::atomic<int32_t> statusInvalid_{1};
  std::atomic<int32_t> overFlag_{0};
  std::atomic<int32_t> invalidValueFlag_{0};
  std::atomic<int32_t> functionIndex_{0};
  std::atomic<int32_t> rangeIndex_{0};
  std::atomic<int32_t> replyRangeIndex_{0};
  std::atomic<int32_t> shownFunctionIndex_{-1};
  std::atomic<int32_t> shownRangeIndex_{-1};
  std::array<std::atomic<int32_t>, kStatusLength> status_{};
  std::atomic<int32_t> modeSelection_{0};
  std::atomic<int32_t> rangeSelection_{0};
};

}  // namespace lmv
