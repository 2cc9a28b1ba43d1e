#include "sim_fixture.h"

#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

#include <chrono>
#include <stdexcept>

#include "link/explicit_ports.h"

namespace lmv::test {

SimulatedMeter::SimulatedMeter(sim::MeterConfig config) : simulator_(std::move(config)) {
  std::string error;
  if (!simulator_.start(&error)) throw std::runtime_error("simulator: " + error);
  portNumber_ = ExplicitPorts::instance().add(simulator_.slavePath(), simulator_.friendlyName());
  if (portNumber_ == 0) throw std::runtime_error("no free port number for " + simulator_.slavePath());
}

SimulatedMeter::~SimulatedMeter() {
  ExplicitPorts::instance().remove(simulator_.slavePath());
  simulator_.stop();
}

PtyPeer::PtyPeer() {
  master_ = ::posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
  char name[128];
  if (master_ < 0 || ::grantpt(master_) != 0 || ::unlockpt(master_) != 0 ||
      ::ptsname_r(master_, name, sizeof name) != 0)
    throw std::runtime_error("no pseudo-terminal");
  path_ = name;
  // Held open so that the terminal outlives the program's descriptor.
  slave_ = ::open(name, O_RDWR | O_NOCTTY | O_CLOEXEC);
  termios t{};
  if (slave_ < 0 || ::tcgetattr(slave_, &t) != 0) throw std::runtime_error("cannot open " + path_);
  ::cfmakeraw(&t);
  ::tcsetattr(slave_, TCSANOW, &t);
  std::string display = path_.starts_with("/dev/") ? path_.substr(5) : path_;
  portNumber_ = ExplicitPorts::instance().add(path_, "Test peer LX5810 (" + display + ")");
  if (portNumber_ == 0) throw std::runtime_error("no free port number for " + path_);
}

PtyPeer::~PtyPeer() {
  ExplicitPorts::instance().remove(path_);
  hangUp();
}

void PtyPeer::send(std::string_view bytes) {
  while (!bytes.empty()) {
    ssize_t n = ::write(master_, bytes.data(), bytes.size());
    if (n <= 0) throw std::runtime_error("cannot write to the terminal");
    bytes.remove_prefix(static_cast<size_t>(n));
  }
}

std::string PtyPeer::receive(size_t count) {
  std::string out;
  auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
  while (out.size() < count && std::chrono::steady_clock::now() < deadline) {
    pollfd p{master_, POLLIN, 0};
    if (::poll(&p, 1, 50) <= 0 || !(p.revents & POLLIN)) continue;
    char c;
    if (::read(master_, &c, 1) == 1) out.push_back(c);
  }
  return out;
}

std::string PtyPeer::receiveLine() {
  std::string out;
  while (out.empty() || out.back() != '\n') {
    std::string c = receive(1);
    if (c.empty()) break;
    out += c;
  }
  return out;
}

bool PtyPeer::lineSettings(termios& out) const { return ::tcgetattr(master_, &out) == 0; }

void PtyPeer::hangUp() {
  if (master_ >= 0) ::close(master_);
  if (slave_ >= 0) ::close(slave_);
  master_ = slave_ = -1;
}

}  // namespace lmv::test
