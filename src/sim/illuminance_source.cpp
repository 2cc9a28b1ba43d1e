#include "illuminance_source.h"

#include <charconv>
#include <cmath>
#include <fstream>
#include <numbers>

namespace lmv::sim {

namespace {

std::vector<std::string_view> split(std::string_view text, char separator) {
  std::vector<std::string_view> parts;
  size_t start = 0;
  for (;;) {
    size_t end = text.find(separator, start);
    parts.push_back(text.substr(start, end == std::string_view::npos ? std::string_view::npos : end - start));
    if (end == std::string_view::npos) return parts;
    start = end + 1;
  }
}

// "VALUES[:SECONDS]" where VALUES may itself hold ':' (a file path): the last
// part counts as the seconds only when it is a number.
std::pair<std::string_view, std::optional<double>> splitSeconds(std::string_view rest) {
  size_t colon = rest.rfind(':');
  if (colon != std::string_view::npos) {
    if (auto seconds = parseNumber(rest.substr(colon + 1))) return {rest.substr(0, colon), seconds};
  }
  return {rest, std::nullopt};
}

}  // namespace

std::optional<double> parseNumber(std::string_view text) {
  while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
  while (!text.empty() && (text.back() == ' ' || text.back() == '\t' || text.back() == '\r'))
    text.remove_suffix(1);
  if (!text.empty() && text.front() == '+') text.remove_prefix(1);
  double value = 0;
  auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (text.empty() || ec != std::errc() || end != text.data() + text.size() || !std::isfinite(value))
    return std::nullopt;
  return value;
}

IlluminanceSource IlluminanceSource::constant(double lux) {
  IlluminanceSource s;
  s.a_ = lux;
  s.description_ = "constant:" + std::to_string(lux);
  return s;
}

IlluminanceSource IlluminanceSource::steps(std::vector<double> values, double secondsEach) {
  IlluminanceSource s;
  if (values.empty()) return s;
  s.kind_ = Kind::Steps;
  s.values_ = std::move(values);
  s.period_ = secondsEach > 0 ? secondsEach : 0;
  s.description_ = "steps of " + std::to_string(s.values_.size()) + " values";
  return s;
}

std::optional<IlluminanceSource> IlluminanceSource::parse(std::string_view spec, std::string* error) {
  auto fail = [error](std::string message) -> std::optional<IlluminanceSource> {
    if (error) *error = std::move(message);
    return std::nullopt;
  };
  if (auto value = parseNumber(spec)) return constant(*value);
  size_t colon = spec.find(':');
  std::string_view kind = spec.substr(0, colon);
  std::string_view rest = colon == std::string_view::npos ? std::string_view() : spec.substr(colon + 1);
  auto numbers = [&](size_t count) -> std::optional<std::vector<double>> {
    auto parts = split(rest, ':');
    if (parts.size() != count) return std::nullopt;
    std::vector<double> out;
    for (auto part : parts) {
      auto n = parseNumber(part);
      if (!n) return std::nullopt;
      out.push_back(*n);
    }
    return out;
  };

  IlluminanceSource s;
  if (kind == "constant") {
    auto n = numbers(1);
    if (!n) return fail("constant needs one value, e.g. constant:500");
    s = constant((*n)[0]);
  } else if (kind == "ramp" || kind == "sine") {
    auto n = numbers(3);
    if (!n || (*n)[2] <= 0)
      return fail(std::string(kind) + " needs three values and a positive period, e.g. " +
                             (kind == "ramp" ? "ramp:0:2000:60" : "sine:500:100:10"));
    s.kind_ = kind == "ramp" ? Kind::Ramp : Kind::Sine;
    s.a_ = (*n)[0];
    s.b_ = (*n)[1];
    s.period_ = (*n)[2];
  } else if (kind == "steps" || kind == "file") {
    auto [list, seconds] = splitSeconds(rest);
    if (seconds && *seconds < 0) return fail("the step time must not be negative");
    std::vector<double> values;
    if (kind == "steps") {
      for (auto part : split(list, ',')) {
        auto n = parseNumber(part);
        if (!n) return fail("not a number in steps: '" + std::string(part) + "'");
        values.push_back(*n);
      }
    } else {
      std::ifstream in{std::string(list)};
      if (!in) return fail("cannot read " + std::string(list));
      std::string line;
      for (int lineNumber = 1; std::getline(in, line); ++lineNumber) {
        std::string_view text = line;
        while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
        if (text.empty() || text == "\r" || text.front() == '#') continue;
        auto n = parseNumber(text);
        if (!n)
          return fail(std::string(list) + ":" + std::to_string(lineNumber) + ": not a number");
        values.push_back(*n);
      }
    }
    if (values.empty()) return fail("no values in " + std::string(spec));
    s = steps(std::move(values), seconds.value_or(0));
  } else {
    return fail("unknown source '" + std::string(spec) +
                           "' (constant, ramp, sine, steps or file)");
  }
  s.description_ = std::string(spec);
  return s;
}

double IlluminanceSource::peek(double seconds) const {
  switch (kind_) {
    case Kind::Constant:
      return a_;
    case Kind::Ramp:
      return a_ + (b_ - a_) * (std::fmod(seconds, period_) / period_);
    case Kind::Sine:
      return a_ + b_ * std::sin(2 * std::numbers::pi * seconds / period_);
    case Kind::Steps:
      if (period_ > 0)
        return values_[static_cast<size_t>(std::floor(seconds / period_)) % values_.size()];
      return values_[next_ % values_.size()];
  }
  return 0;
}

double IlluminanceSource::sample(double seconds) {
  double value = peek(seconds);
  if (kind_ == Kind::Steps && period_ == 0) next_ = (next_ + 1) % values_.size();
  return value;
}

}  // namespace lmv::sim
