#pragma once
// Finding the meter: one identification attempt on a port (both baud rates,
// the one that answered last first) and one pass over the meter ports.
#include <atomic>
#include <cstdint>
#include <functional>
#include <vector>

#include "link/meter_session.h"

namespace lmv {

// Reply buffer size of the identification commands.
inline constexpr size_t kIdentifyReplyCapacity = 72;

// Whether the running identification pass is to end now.
using ProbeAbort = std::function<bool()>;

// Asks the port n "QPID" twice and "*IDN?" at each baud rate. When the meter
// answers: the session's identity, currentPort and currentBaud are set and
// true is returned. The port is closed afterwards in every case. aborted is
// asked before each baud rate and each exchange, so that a stop is answered
// within one receive time limit (a silent port costs up to 2 s a read).
bool probePort(MeterSession& session, int32_t portNumber, const ProbeAbort& aborted = {});

// One pass over ports, starting at currentPort (or the first entry when it
// is not listed) and wrapping around; ends early, not found, once
// probeAbortRequested is set. probe is tried on each port number.
bool probeAllPorts(const std::vector<int32_t>& ports, int32_t currentPort,
                   std::atomic<int32_t>& probeAbortRequested, const std::function<bool(int32_t)>& probe);

// The pass over a snapshot of the meter port list. It also ends, not found,
// as soon as stopRequested holds (the poll thread's own stop).
bool probeAllPorts(MeterSession& session, const ProbeAbort& stopRequested = {});

}  // namespace lmv
