#pragma once
// What the simulated sensor sees, in lux, as a function of the time since
// the simulator started. Written as a text for options and tests:
//
//   500 or constant:500          a fixed illuminance
//   ramp:FROM:TO:SECONDS         FROM rising to TO over SECONDS, repeated
//   sine:MEAN:AMPLITUDE:SECONDS  a sine wave of period SECONDS
//   steps:V1,V2,...[:SECONDS]    each value for SECONDS, then the next,
//                                wrapping around; without SECONDS (or 0)
//                                each measurement takes the next value
//   file:PATH[:SECONDS]          like steps, one value per line of PATH
//                                (blank lines and lines starting with # skipped)
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace lmv::sim {

class IlluminanceSource {
 public:
  IlluminanceSource() = default;  // constant 0 lx
  static IlluminanceSource constant(double lux);
  static IlluminanceSource steps(std::vector<double> values, double secondsEach);
  // nullopt with a message when the text is not understood.
  static std::optional<IlluminanceSource> parse(std::string_view spec, std::string* error);

  // The value of a measurement at the given time; per-measurement steps
  // move on to the next value.
  double sample(double seconds);
  // The same value without moving on.
  double peek(double seconds) const;

  std::string describe() const { return description_; }

 private:
  enum class Kind { Constant, Ramp, Sine, Steps };
  Kind kind_ = Kind::Constant;
  double a_ = 0, b_ = 0, period_ = 0;  // constant: a; ramp: a->b; sine: mean a, amplitude b
  std::vector<double> values_;
  size_t next_ = 0;
  std::string description_ = "constant:0";
};

// Reads a number the way options are written ("12.5", "-3", "1e3").
std::optional<double> parseNumber(std::string_view text);

}  // namespace lmv::sim
