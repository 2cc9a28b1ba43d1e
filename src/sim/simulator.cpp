#include "simulator.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdint>
#include <cstring>

namespace lmv::sim {

namespace {

using Clock = std::chrono::steady_clock;

std::string errnoText(const std::string& what) { return what + ": " + std::strerror(errno); }

bool linkPointsTo(const std::string& link, const std::string& target) {
  char buffer[PATH_MAX];
  ssize_t n = ::readlink(link.c_str(), buffer, sizeof buffer - 1);
  return n >= 0 && std::string(buffer, static_cast<size_t>(n)) == target;
}

}  // namespace

unsigned speedConstant(int baud) {
  switch (baud) {
    case 1200: return B1200;
    case 2400: return B2400;
    case 4800: return B4800;
    case 9600: return B9600;
    case 19200: return B19200;
    case 38400: return B38400;
    case 57600: return B57600;
    case 115200: return B115200;
    default: return 0;
  }
}

Simulator::Simulator(MeterConfig config) : meter_(std::move(config)) {}

Simulator::~Simulator() { stop(); }

bool Simulator::start(std::string* error) {
  auto fail = [&](const std::string& message) {
    if (error) *error = message;
    closeTerminal();
    return false;
  };
  if (thread_.joinable() || master_ >= 0) return fail("the simulator runs already");
  int baud = withMeter([](MeterModel& m) { return m.config().baud; });
  speed_t speed = speedConstant(baud);
  if (speed == 0) return fail("unsupported baud rate " + std::to_string(baud));

  master_ = ::posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
  if (master_ < 0) return fail(errnoText("posix_openpt"));
  char name[128];
  if (::grantpt(master_) != 0 || ::unlockpt(master_) != 0 || ::ptsname_r(master_, name, sizeof name) != 0)
    return fail(errnoText("pseudo-terminal"));
  slavePath_ = name;
  // Our own descriptor keeps the terminal alive between the program's opens.
  slave_ = ::open(name, O_RDWR | O_NOCTTY | O_CLOEXEC);
  if (slave_ < 0) return fail(errnoText(slavePath_));
  termios t{};
  if (::tcgetattr(slave_, &t) != 0) return fail(errnoText("tcgetattr"));
  ::cfmakeraw(&t);
  t.c_cflag |= CS8 | CREAD | CLOCAL;
  ::cfsetispeed(&t, speed);
  ::cfsetospeed(&t, speed);
  if (::tcsetattr(slave_, TCSANOW, &t) != 0) return fail(errnoText("tcsetattr"));
  ::fcntl(master_, F_SETFL, ::fcntl(master_, F_GETFL) | O_NONBLOCK);
  wakeFd_ = ::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
  if (wakeFd_ < 0) return fail(errnoText("eventfd"));

  if (!linkPath_.empty()) {
    struct stat st {};
    if (::lstat(linkPath_.c_str(), &st) == 0 && !S_ISLNK(st.st_mode))
      return fail(linkPath_ + " exists and is not a symbolic link");
    std::string temporary = linkPath_ + ".new" + std::to_string(::getpid());
    ::unlink(temporary.c_str());
    if (::symlink(slavePath_.c_str(), temporary.c_str()) != 0) return fail(errnoText(linkPath_));
    if (::rename(temporary.c_str(), linkPath_.c_str()) != 0) {
      std::string message = errnoText(linkPath_);
      ::unlink(temporary.c_str());
      return fail(message);
    }
  }

  stopRequested_ = false;
  hangUpRequested_ = false;
  hungUp_ = false;
  started_ = Clock::now();
  thread_ = std::thread([this] { run(); });
  return true;
}

void Simulator::wake() {
  if (wakeFd_ < 0) return;
  uint64_t one = 1;
  [[maybe_unused]] auto n = ::write(wakeFd_, &one, sizeof one);
}

void Simulator::stop() {
  if (thread_.joinable()) {
    stopRequested_ = true;
    wake();
    thread_.join();
  }
  closeTerminal();
}

void Simulator::hangUp() {
  if (!thread_.joinable()) return;
  hangUpRequested_ = true;
  wake();
  if (std::this_thread::get_id() != thread_.get_id()) thread_.join();
}

void Simulator::closeTerminal() {
  if (!linkPath_.empty() && !slavePath_.empty() && linkPointsTo(linkPath_, slavePath_))
    ::unlink(linkPath_.c_str());
  for (int* fd : {&master_, &slave_, &wakeFd_}) {
    if (*fd >= 0) ::close(*fd);
    *fd = -1;
  }
}

std::string Simulator::friendlyName() const {
  std::string name = slavePath_;
  if (name.starts_with("/dev/")) name.erase(0, 5);
  return "Simulated LX5810 (" + name + ")";
}

void Simulator::addFault(Fault fault) {
  std::lock_guard lock(mutex_);
  faults_.add(std::move(fault));
}

void Simulator::clearFaults() {
  std::lock_guard lock(mutex_);
  faults_.clear();
}

std::vector<std::string> Simulator::commandLog() const {
  std::lock_guard lock(mutex_);
  return log_;
}

void Simulator::clearCommandLog() {
  std::lock_guard lock(mutex_);
  log_.clear();
}

void Simulator::setCommandObserver(std::function<void(const std::string&, bool)> observer) {
  std::lock_guard lock(mutex_);
  observer_ = std::move(observer);
}

double Simulator::elapsedSeconds() const {
  return std::chrono::duration<double>(Clock::now() - started_).count();
}

// The master side reports the line settings the program made on the slave.
bool Simulator::speedMatches() const {
  termios t{};
  if (::tcgetattr(master_, &t) != 0) return false;
  return ::cfgetospeed(&t) == speedConstant(meter_.config().baud);
}

void Simulator::handleLine(const std::string& line, std::vector<Pending>& pending) {
  Outcome out;
  out.reply = false;
  std::function<void(const std::string&, bool)> observer;
  {
    std::lock_guard lock(mutex_);
    log_.push_back(line);
    if (speedMatches()) {
      Reply reply = meter_.handle(line, elapsedSeconds());
      auto fault = faults_.take(line);
      out = applyFault(fault ? &*fault : nullptr, std::move(reply));
    }
    observer = observer_;
  }
  if (observer) observer(line, out.reply);
  if (!out.reply && !out.hangUp) return;
  // One reply after the other, as a meter that works through its commands.
  auto due = Clock::now() + out.delay;
  if (!pending.empty() && pending.back().due > due) due = pending.back().due;
  pending.push_back({due, std::move(out.bytes), out.hangUp});
}

void Simulator::run() {
  std::string line;
  std::vector<Pending> pending;
  char buffer[256];
  while (!stopRequested_) {
    int timeout = -1;
    if (!pending.empty()) {
      auto left = std::chrono::ceil<std::chrono::milliseconds>(pending.front().due - Clock::now()).count();
      timeout = left < 0 ? 0 : static_cast<int>(left);
    }
    pollfd fds[2] = {{wakeFd_, POLLIN, 0}, {master_, POLLIN, 0}};
    int r = ::poll(fds, 2, timeout);
    if (r < 0 && errno != EINTR) break;
    if (stopRequested_) break;
    if (fds[0].revents & POLLIN) {
      uint64_t count = 0;
      [[maybe_unused]] auto n = ::read(wakeFd_, &count, sizeof count);
    }
    if (hangUpRequested_) break;
    if (fds[1].revents & POLLIN) {
      ssize_t n = ::read(master_, buffer, sizeof buffer);
      for (ssize_t i = 0; i < n; ++i) {
        auto byte = static_cast<unsigned char>(buffer[i]);
        if (byte == '\r' || byte == '\n') {
          // CR LF from programs, a lone CR from a terminal program's Enter.
          if (!line.empty()) handleLine(line, pending);
          line.clear();
        } else if (byte >= 0x20 && line.size() < 256) {
          line.push_back(static_cast<char>(byte));
        }
      }
    } else if (fds[1].revents & (POLLHUP | POLLERR)) {
      // Not expected while our own slave descriptor is open; do not spin.
      ::usleep(10000);
    }
    auto now = Clock::now();
    while (!pending.empty() && pending.front().due <= now) {
      Pending next = std::move(pending.front());
      pending.erase(pending.begin());
      if (next.hangUp) {
        hangUpRequested_ = true;
        break;
      }
      // Nobody reading and the terminal's buffer full: the bytes are lost,
      // as on a serial line.
      [[maybe_unused]] auto n = ::write(master_, next.bytes.data(), next.bytes.size());
    }
    if (hangUpRequested_) break;
  }
  if (hangUpRequested_) {
    hungUp_ = true;
    // The device disappears: both sides of the terminal and the link go.
    if (!linkPath_.empty() && linkPointsTo(linkPath_, slavePath_)) ::unlink(linkPath_.c_str());
    ::close(master_);
    ::close(slave_);
    master_ = -1;
    slave_ = -1;
  }
}

}  // namespace lmv::sim
