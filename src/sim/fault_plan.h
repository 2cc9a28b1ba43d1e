#pragma once
// Faults the simulated meter can be told to make, from tests (FaultPlan::add)
// and from the command line (--fault TEXT). Written as
//
//   KIND[=PARAM][@COMMAND][#COUNT]
//
//   noreply            no reply at all
//   late=MS            the reply MS milliseconds late (default 3000)
//   garbage=N          N bytes of line noise ending in CR LF instead (default 12)
//   overlong=N         the reply line stretched to N characters (default 80)
//   cmderr             "CMD ERR" instead of the reply
//   missingbyte=I      byte I of the reply left out (default: the last one,
//                      which for a line is its LF)
//   hangup             the device vanishes when the command arrives
//
// COMMAND limits the fault to one command: the whole line, or its first word
// (":SYST:RANGE" matches ":SYST:RANGE 2k", ":MEM:DATA?" every slot). Without
// it every command is hit. COUNT limits how often it happens (default:
// always). Example: late=2500@:STAT?#1.
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "meter_model.h"

namespace lmv::sim {

enum class FaultKind { NoReply, LateReply, Garbage, Overlong, CommandError, MissingByte, HangUp };

struct Fault {
  FaultKind kind = FaultKind::NoReply;
  std::string command;  // empty: any command
  int param = -1;       // -1: the kind's default
  int count = -1;       // -1: every time
};

std::optional<Fault> parseFault(std::string_view text, std::string* error);
bool faultMatches(const Fault& fault, std::string_view command);

// What the meter does about one command after a fault.
struct Outcome {
  bool reply = true;
  std::string bytes;
  std::chrono::milliseconds delay{0};
  bool hangUp = false;
};

Outcome applyFault(const Fault* fault, Reply reply);

class FaultPlan {
 public:
  void add(Fault fault) { faults_.push_back(std::move(fault)); }
  void clear() { faults_.clear(); }
  bool empty() const { return faults_.empty(); }
  // The first fault for this command that has uses left (one use is taken).
  std::optional<Fault> take(std::string_view command);

 private:
  std::vector<Fault> faults_;
};

}  // namespace lmv::sim
