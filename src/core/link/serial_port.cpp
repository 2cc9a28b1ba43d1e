#include "link/serial_port.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>

#include "base/charset.h"
#include "link/port_numbering.h"

namespace lmv {

namespace {

using Clock = std::chrono::steady_clock;

speed_t speedFor(int32_t baud) {
  switch (baud) {
    case 1200: return B1200;
    case 2400: return B2400;
    case 4800: return B4800;
    case 9600: return B9600;
    case 19200: return B19200;
    case 38400: return B38400;
    case 57600: return B57600;
    case 115200: return B115200;
    case 230400: return B230400;
    default: return B0;
  }
}

int pollMilliseconds(Clock::time_point deadline) {
  auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - Clock::now()).count();
  return left < 0 ? 0 : static_cast<int>(left);
}

// A pseudo-terminal has no modem lines and answers the modem ioctls with
// ENOTTY; that is no refusal.
bool modemLine(int fd, unsigned long request, int line) {
  return ::ioctl(fd, request, &line) == 0 || errno == ENOTTY;
}

}  // namespace

Clock::time_point receiveDeadline(Clock::time_point start) {
  auto whole = std::chrono::floor<std::chrono::seconds>(start.time_since_epoch());
  return Clock::time_point(whole + std::chrono::seconds(2));
}

SerialPort::SerialPort() : SerialPort(PathResolver(devicePathForPort)) {}

SerialPort::SerialPort(PathResolver resolver) : resolver_(std::move(resolver)) {}

SerialPort::~SerialPort() { close(); }

void SerialPort::configure(int32_t baud) { baud_ = baud; }

int32_t SerialPort::configuredBaud() const { return baud_; }

bool SerialPort::isOpen() const { return fd_ >= 0; }

int32_t SerialPort::openPortNumber() const { return openPort_; }

bool SerialPort::setUp(int fd, int32_t baud) {
  speed_t speed = speedFor(baud);
  if (speed == B0) return false;
  if (::ioctl(fd, TIOCEXCL) != 0) return false;

  termios t{};
  if (::tcgetattr(fd, &t) != 0) return false;
  ::cfmakeraw(&t);
  t.c_cflag &= ~(CSIZE | PARENB | CSTOPB | CRTSCTS | HUPCL);
  t.c_cflag |= CS8 | CREAD | CLOCAL;
  t.c_iflag &= ~(IXON | IXOFF | IXANY);
  // With VMIN 0 an empty queue would read as end of file; with 1 it gives
  // EAGAIN, and 0 bytes means the device hung up.
  t.c_cc[VMIN] = 1;
  t.c_cc[VTIME] = 0;
  if (::cfsetispeed(&t, speed) != 0 || ::cfsetospeed(&t, speed) != 0) return false;
  if (::tcsetattr(fd, TCSANOW, &t) != 0) return false;
  // tcsetattr succeeds when any part of the change was taken: check it all.
  termios check{};
  if (::tcgetattr(fd, &check) != 0) return false;
  if (::cfgetospeed(&check) != speed || (check.c_cflag & CSIZE) != CS8 ||
      (check.c_cflag & (PARENB | CSTOPB | CRTSCTS)) != 0 || (check.c_iflag & (IXON | IXOFF)) != 0)
    return false;

  if (!modemLine(fd, TIOCMBIS, TIOCM_RTS) || !modemLine(fd, TIOCMBIC, TIOCM_DTR)) return false;
  // A fresh open starts with empty queues, as a serial driver gives them.
  ::tcflush(fd, TCIOFLUSH);
  return true;
}

bool SerialPort::open(int32_t portNumber) {
  if (!isValidPortNumber(portNumber)) return false;
  std::lock_guard lock(mutex_);
  // Its holder still uses it: opening again would pull the line from under
  // that holder.
  if (fd_ >= 0) return false;
  std::string path = resolver_ ? resolver_(portNumber) : std::string();
  if (path.empty()) return false;
  int fd = ::open(path.c_str(), O_RDWR | O_NOCTTY | O_CLOEXEC | O_NONBLOCK);
  if (fd < 0) return false;
  // The lock tells who holds the port: it goes with its holder's last
  // descriptor, even when that holder was killed. The exclusive flag does
  // not (it stays on a terminal that someone else keeps open), so a flag
  // found set under a lock we were given is a dead holder's and no refusal.
  if (!::isatty(fd) || ::flock(fd, LOCK_EX | LOCK_NB) != 0) {
    ::close(fd);
    return false;
  }
  if (!setUp(fd, baud_)) {
    // TIOCEXCL outlives this descriptor while anyone else holds the tty.
    ::ioctl(fd, TIOCNXCL);
    ::close(fd);
    return false;
  }
  fd_ = fd;
  openPort_ = portNumber;
  return true;
}

bool SerialPort::inputPending() const {
  std::lock_guard lock(mutex_);
  int queued = 0;
  return fd_ >= 0 && ::ioctl(fd_, FIONREAD, &queued) == 0 && queued > 0;
}

void SerialPort::close() {
  std::lock_guard lock(mutex_);
  closeLocked();
}

void SerialPort::closeLocked() {
  int fd = fd_.exchange(-1);
  openPort_ = 0;
  if (fd < 0) return;
  ::ioctl(fd, TIOCNXCL);
  ::close(fd);
}

bool SerialPort::writeAll(std::string_view bytes) {
  auto deadline = Clock::now() + std::chrono::milliseconds(2 * bytes.size() + 2000);
  while (!bytes.empty()) {
    ssize_t n = ::write(fd_, bytes.data(), bytes.size());
    if (n > 0) {
      bytes.remove_prefix(static_cast<size_t>(n));
      continue;
    }
    if (n < 0 && errno == EINTR) continue;
    if (n < 0 && errno != EAGAIN && errno != EWOULDBLOCK) return false;
    if (Clock::now() >= deadline) return false;
    pollfd p{fd_, POLLOUT, 0};
    int r = ::poll(&p, 1, pollMilliseconds(deadline));
    if (r < 0 && errno != EINTR) return false;
    if (r > 0 && (p.revents & (POLLERR | POLLHUP | POLLNVAL))) return false;
  }
  return true;
}

bool SerialPort::writeLine(std::string_view command) {
  std::lock_guard lock(mutex_);
  if (fd_ < 0) return false;
  if (writeAll(utf8ToLocale(command)) && writeAll("\r\n")) return true;
  ::tcflush(fd_, TCOFLUSH);
  return false;
}

// Takes one queued byte, waiting for one until the deadline.
LinkResult SerialPort::nextByte(uint8_t& byte, Clock::time_point deadline) {
  bool hungUp = false;
  for (;;) {
    ssize_t n = ::read(fd_, &byte, 1);
    if (n == 1) return LineReceived;
    if (n == 0) return LinkError;  // the device went away
    if (errno == EINTR) continue;
    if (errno != EAGAIN && errno != EWOULDBLOCK) return LinkError;
    if (hungUp) return LinkError;
    if (Clock::now() >= deadline) return LinkTimeout;
    pollfd p{fd_, POLLIN, 0};
    int r = ::poll(&p, 1, pollMilliseconds(deadline));
    if (r < 0 && errno != EINTR) return LinkError;
    if (r > 0) {
      if (p.revents & (POLLERR | POLLNVAL)) return LinkError;
      hungUp = (p.revents & POLLHUP) != 0;
    }
  }
}

LinkResult SerialPort::readLine(char* buffer, size_t capacity) {
  std::lock_guard lock(mutex_);
  if (capacity > 0) buffer[0] = '\0';
  if (fd_ < 0) return LinkError;
  if (capacity < 2) return LineOverflow;  // no room for even one character
  auto deadline = receiveDeadline(Clock::now());
  size_t i = 0;
  for (;;) {
    uint8_t byte = 0;
    LinkResult r = nextByte(byte, deadline);
    if (r != LineReceived) {
      buffer[i] = '\0';
      closeLocked();
      return r;
    }
    if (byte == '\n') {
      buffer[i] = '\0';
      return LineReceived;
    }
    if (byte >= 0x20) {
      buffer[i++] = static_cast<char>(byte);
      if (i >= capacity - 1) {
        buffer[i] = '\0';
        return LineOverflow;
      }
    }
    if (Clock::now() >= deadline) {
      buffer[i] = '\0';
      closeLocked();
      return LinkTimeout;
    }
  }
}

LinkResult SerialPort::readByte(uint8_t& out) {
  std::lock_guard lock(mutex_);
  if (fd_ < 0) return LinkError;
  LinkResult r = nextByte(out, receiveDeadline(Clock::now()));
  if (r != LineReceived) closeLocked();
  return r;
}

}  // namespace lmv
