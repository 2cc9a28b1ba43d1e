#pragma once
// Port numbers are the program's identity for a serial port: 1..256, saved in
// the settings as currentPort. A USB serial device gets its number from its
// kernel name, so the same device gets the same number on every run:
//
//   ttyACM0 .. ttyACM99  ->   1 .. 100
//   ttyUSB0 .. ttyUSB99  -> 101 .. 200
//   201 .. 256           -> ports named explicitly (--port, LUMETREVISOR_PORTS,
//                           the simulator), lowest free number first
//
// 1000 stands for "no port known" and, like every number outside 1..256, is
// never opened.
#include <string>
#include <string_view>

namespace lmv {

inline constexpr int kFirstPortNumber = 1;
inline constexpr int kLastPortNumber = 256;
inline constexpr int kFirstExplicitPortNumber = 201;
inline constexpr int kNoPort = 1000;

bool isValidPortNumber(int portNumber);

// "ttyACM3" -> 4, "ttyUSB0" -> 101; 0 for any other name.
int portNumberForKernelName(std::string_view kernelName);

// Inverse of portNumberForKernelName; empty outside 1..200.
std::string kernelNameForPortNumber(int portNumber);

// The device to open for a port number: an explicitly named port first, else
// "/dev/" + kernel name. Empty when the number stands for no device.
std::string devicePathForPort(int portNumber);

// The name the user knows the port by, shown where the program names a port:
// "ttyACM0", "pts/3", or the path the user gave. Empty for no device.
std::string portDisplayName(int portNumber);

// "/dev/ttyACM0" -> "ttyACM0", "/dev/pts/3" -> "pts/3"; other paths as given.
std::string deviceDisplayName(std::string_view devicePath);

}  // namespace lmv
