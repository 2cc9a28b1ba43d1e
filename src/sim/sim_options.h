#pragma once
// Command-line options of lumetrevisor-sim.
#include <optional>
#include <string>
#include <vector>

#include "fault_plan.h"
#include "meter_model.h"

namespace lmv::sim {

struct SimOptions {
  MeterConfig meter;
  std::vector<Fault> faults;
  std::vector<int> memorySlots;  // slots filled with readings at start
  std::string linkPath;
  bool verbose = false;
  bool help = false;
};

// nullopt with a message naming the option on a mistake.
std::optional<SimOptions> parseSimOptions(const std::vector<std::string>& args, std::string* error);

// "3,7,10-12" -> 3 7 10 11 12 (slots 1..99).
std::optional<std::vector<int>> parseSlotList(const std::string& text);

extern const char* const kSimUsage;

}  // namespace lmv::sim
