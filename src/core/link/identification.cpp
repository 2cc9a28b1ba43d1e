#include "link/identification.h"

#include <algorithm>

#include "base/charset.h"
#include "link/idn_reply.h"
#include "link/port_list.h"

namespace lmv {
namespace {

bool sendAndReceive(SerialPort& port, std::string_view command, std::string& reply, LinkResult& result) {
  if (!port.writeLine(command)) return false;
  char buffer[kIdentifyReplyCapacity];
  result = port.readLine(buffer, sizeof buffer);
  reply = buffer;
  return true;
}

bool portLost(LinkResult r) { return r == LinkError || r == LinkTimeout; }

}  // namespace

bool probePort(MeterSession& session, int32_t portNumber, const ProbeAbort& aborted) {
  SerialPort& port = session.port;
  auto stop = [&] { return aborted && aborted(); };
  const int32_t first = currentBaud.load() == 19200 ? 19200 : 9600;
  const int32_t bauds[2] = {first, first == 19200 ? 9600 : 19200};
  // Kept across the two "QPID" exchanges and the baud rates: a second
  // "QPID" that cannot be sent is judged by the reply before it.
  std::string reply;
  for (int32_t baud : bauds) {
    if (stop()) break;
    port.configure(baud);
    if (!port.open(portNumber)) continue;
    LinkResult result = LineReceived;
    // The meter's answer to the first "QPID" is not relied on.
    if (stop()) break;
    if (sendAndReceive(port, "QPID", reply, result) && portLost(result)) continue;
    if (stop()) break;
    if (sendAndReceive(port, "QPID", reply, result) && portLost(result)) continue;
    const auto model = modelIndexOfReply(reply);
    session.setModelIndex(model.value_or(2));
    if (!model) {
      port.close();
      continue;
    }
    std::string idn;
    if (stop()) break;
    if (!sendAndReceive(port, "*IDN?", idn, result)) result = SendFailed;
    port.close();
    if (result != LineReceived) continue;
    const IdnFields fields = parseIdnReply(idn);
    session.setIdentity({*model, localeToUtf8(fields.serialNumberText), localeToUtf8(fields.firmwareVersionText)});
    currentPort = portNumber;
    currentBaud = baud;
    return true;
  }
  port.close();
  return false;
}

bool probeAllPorts(const std::vector<int32_t>& ports, int32_t currentPortNumber,
                   std::atomic<int32_t>& probeAbortRequested, const std::function<bool(int32_t)>& probe) {
  probeAbortRequested = 0;
  const size_t n = ports.size();
  if (n == 0) return false;
  const auto it = std::find(ports.begin(), ports.end(), currentPortNumber);
  const size_t start = it == ports.end() ? 0 : static_cast<size_t>(it - ports.begin());
  for (size_t k = 0; k < n; ++k) {
    if (probeAbortRequested) return false;
    if (probe(ports[(start + k) % n])) return true;
  }
  return false;
}

bool probeAllPorts(MeterSession& session, const ProbeAbort& stopRequested) {
  std::vector<int32_t> ports;
  for (const auto& entry : portList().snapshot()) ports.push_back(entry.portNumber);
  const ProbeAbort aborted = [&] { return session.probeAbortRequested != 0 || (stopRequested && stopRequested()); };
  return probeAllPorts(ports, currentPort, session.probeAbortRequested, [&](int32_t n) {
    return !aborted() && probePort(session, n, aborted);
  });
}

}  // namespace lmv
