#pragma once
// The serial line to the meter: one port open at a time, 8 data bits, no
// parity, one stop bit, no flow control, RTS on and DTR off, raw bytes.
// Commands go out as text + CR LF; replies come back one line (or one byte)
// at a time within a fixed time limit. A time-out or a line error closes the
// port; the layer above decides when to open it again.
//
// Callers hand the port from thread to thread (identification, measurement,
// dialogs) so that it has one user at a time; the internal lock only keeps
// the object itself consistent.
#include <atomic>
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <mutex>
#include <string>
#include <string_view>

namespace lmv {

// Stored by callers as a plain integer: the values are fixed.
enum LinkResult : int32_t {
  LinkError = 0,     // the line failed (or the port is closed); port closed
  LineReceived = 1,  // a whole line (readByte: one byte) arrived; port open
  LinkTimeout = 2,   // the time limit passed first; port closed
  LineOverflow = 3,  // the buffer filled before the line ended; port open
  SendFailed = 4,    // never returned by a receive; used by callers
};

// A receive gives up once the whole-second count of the clock differs from
// the one at the start of the call by 2, that is after 1 to 2 seconds. The
// monotonic clock is used so that setting the wall clock cannot cut a
// receive short or make it hang.
std::chrono::steady_clock::time_point receiveDeadline(std::chrono::steady_clock::time_point start);

class SerialPort {
 public:
  // Maps a port number to the device to open; devicePathForPort by default.
  using PathResolver = std::function<std::string(int32_t portNumber)>;

  SerialPort();
  explicit SerialPort(PathResolver resolver);
  ~SerialPort();
  SerialPort(const SerialPort&) = delete;
  SerialPort& operator=(const SerialPort&) = delete;

  // Line speed for the next open (9600 or 19200 here; any standard rate
  // works). No system call.
  void configure(int32_t baud);
  int32_t configuredBaud() const;

  // Opens port 1..256 for exclusive use; any other number fails without a
  // system call, and so does an open while a port is open. Output and input
  // queues start empty.
  bool open(int32_t portNumber);

  // Sends the text and CR LF, each write within 2 ms per byte + 2000 ms.
  // On failure pending output is discarded and false is returned; the port
  // stays open.
  bool writeLine(std::string_view command);

  // Receives one line into buffer (NUL-terminated, CR and other control
  // bytes dropped, LF ends it). A line that does not fit gives LineOverflow
  // with capacity-1 characters; the rest stays queued for the next call.
  LinkResult readLine(char* buffer, size_t capacity);

  // Receives one byte, whatever its value.
  LinkResult readByte(uint8_t& out);

  // Whether a received byte waits to be read (false when closed): lets a
  // caller wait for a slow reply without blocking in readLine.
  bool inputPending() const;

  void close();
  bool isOpen() const;
  int32_t openPortNumber() const;  // 0 when closed

 private:
  LinkResult nextByte(uint8_t& byte, std::chrono::steady_clock::time_point deadline);
  bool writeAll(std::string_view bytes);
  void closeLocked();
  bool setUp(int fd, int32_t baud);

  PathResolver resolver_;
  mutable std::mutex mutex_;
  std::atomic<int> fd_{-1};
  std::atomic<int32_t> openPort_{0};
  std::atomic<int32_t> baud_{19200};
};

}  // namespace lmv
