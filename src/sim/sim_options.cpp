#include "sim_options.h"

#include <charconv>

#include "meter_replies.h"

namespace lmv::sim {

const char* const kSimUsage =
    "Usage: lumetrevisor-sim [options]\n"
    "Simulates an LX5810/LX5811 illuminance meter on a pseudo-terminal. Prints the\n"
    "terminal's path and answers the meter's commands there until interrupted.\n"
    "\n"
    "  --model LX5810|LX5811   model reported (default LX5810)\n"
    "  --serial TEXT           serial number (default 10000123)\n"
    "  --firmware TEXT         firmware version (default 1.00)\n"
    "  --baud 9600|19200       the only line speed it answers at (default 19200)\n"
    "  --source SPEC           illuminance in lux (default 500):\n"
    "                            500 | constant:500 | ramp:FROM:TO:SECONDS |\n"
    "                            sine:MEAN:AMPLITUDE:SECONDS |\n"
    "                            steps:V1,V2,...[:SECONDS] | file:PATH[:SECONDS]\n"
    "  --range WORD            Auto, 20, 200, 2k, 20k or 200k (default Auto)\n"
    "  --unit lx|fc            display unit (default lx)\n"
    "  --no-sensor             sensor unplugged\n"
    "  --buzzer                buzzer on\n"
    "  --output                output on\n"
    "  --cap-off               sensor cap not fitted: zero adjustment is refused\n"
    "  --zero-time MS          time the zero adjustment takes (default 2000)\n"
    "  --dark LUX              dark reading until zero-adjusted (default 0)\n"
    "  --memory SLOTS          store readings in slots, e.g. 1-20 or 3,7\n"
    "  --fault SPEC            inject a fault (repeatable):\n"
    "                            KIND[=PARAM][@COMMAND][#COUNT], KIND one of noreply,\n"
    "                            late=MS, garbage=N, overlong=N, cmderr,\n"
    "                            missingbyte=I, hangup; e.g. late=2500@:STAT?#1\n"
    "  --link PATH             also make PATH a symbolic link to the terminal\n"
    "  --verbose               log every command to standard error\n"
    "  --help                  show this text\n";

namespace {

std::optional<int> parseInt(const std::string& text) {
  int value = 0;
  auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (text.empty() || ec != std::errc() || end != text.data() + text.size()) return std::nullopt;
  return value;
}

}  // namespace

std::optional<std::vector<int>> parseSlotList(const std::string& text) {
  std::vector<int> slots;
  size_t start = 0;
  while (start <= text.size()) {
    size_t end = text.find(',', start);
    if (end == std::string::npos) end = text.size();
    std::string item = text.substr(start, end - start);
    size_t dash = item.find('-');
    auto first = parseInt(item.substr(0, dash));
    auto last = dash == std::string::npos ? first : parseInt(item.substr(dash + 1));
    if (!first || !last || *first < 1 || *last > replies::kMemorySlots || *first > *last)
      return std::nullopt;
    for (int s = *first; s <= *last; ++s) slots.push_back(s);
    start = end + 1;
  }
  return slots;
}

std::optional<SimOptions> parseSimOptions(const std::vector<std::string>& args, std::string* error) {
  SimOptions options;
  MeterConfig& m = options.meter;
  auto fail = [&](const std::string& message) -> std::optional<SimOptions> {
    if (error) *error = message;
    return std::nullopt;
  };
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& option = args[i];
    auto value = [&]() -> const std::string* { return i + 1 < args.size() ? &args[++i] : nullptr; };
    auto needsValue = {"--model", "--serial", "--firmware", "--baud", "--source", "--range", "--unit",
                       "--zero-time", "--dark", "--memory", "--fault", "--link"};
    const std::string* v = nullptr;
    for (const char* name : needsValue) {
      if (option == name) {
        v = value();
        if (!v) return fail(option + " needs a value");
      }
    }
    if (option == "--help" || option == "-h") {
      options.help = true;
    } else if (option == "--model") {
      if (*v != replies::kModelLx5810 && *v != replies::kModelLx5811)
        return fail("--model: LX5810 or LX5811, not '" + *v + "'");
      m.model = *v;
    } else if (option == "--serial") {
      m.serialNumber = *v;
    } else if (option == "--firmware") {
      m.firmwareVersion = *v;
    } else if (option == "--baud") {
      auto baud = parseInt(*v);
      if (!baud || (*baud != 9600 && *baud != 19200)) return fail("--baud: 9600 or 19200, not '" + *v + "'");
      m.baud = *baud;
    } else if (option == "--source") {
      std::string message;
      auto source = IlluminanceSource::parse(*v, &message);
      if (!source) return fail("--source: " + message);
      m.source = *source;
    } else if (option == "--range") {
      int found = -1;
      for (size_t r = 0; r < replies::kRangeWords.size(); ++r)
        if (*v == replies::kRangeWords[r]) found = static_cast<int>(r);
      if (found < 0) return fail("--range: Auto, 20, 200, 2k, 20k or 200k, not '" + *v + "'");
      m.range = found;
    } else if (option == "--unit") {
      if (*v != "lx" && *v != "fc") return fail("--unit: lx or fc, not '" + *v + "'");
      m.footCandle = *v == "fc";
    } else if (option == "--no-sensor") {
      m.sensorConnected = false;
    } else if (option == "--buzzer") {
      m.buzzer = true;
    } else if (option == "--output") {
      m.output = true;
    } else if (option == "--cap-off") {
      m.capOn = false;
    } else if (option == "--zero-time") {
      auto ms = parseInt(*v);
      if (!ms || *ms < 0) return fail("--zero-time: milliseconds, not '" + *v + "'");
      m.zeroAdjustTime = std::chrono::milliseconds(*ms);
    } else if (option == "--dark") {
      auto lux = parseNumber(*v);
      if (!lux) return fail("--dark: a number of lux, not '" + *v + "'");
      m.darkOffsetLux = *lux;
    } else if (option == "--memory") {
      auto slots = parseSlotList(*v);
      if (!slots) return fail("--memory: slots 1..99 such as 1-20 or 3,7, not '" + *v + "'");
      options.memorySlots.insert(options.memorySlots.end(), slots->begin(), slots->end());
    } else if (option == "--fault") {
      std::string message;
      auto fault = parseFault(*v, &message);
      if (!fault) return fail("--fault: " + message);
      options.faults.push_back(*fault);
    } else if (option == "--link") {
      options.linkPath = *v;
    } else if (option == "--verbose" || option == "-v") {
      options.verbose = true;
    } else {
      return fail("unknown option '" + option + "'");
    }
  }
  return options;
}

}  // namespace lmv::sim
