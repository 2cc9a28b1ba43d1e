#pragma once
// Process-wide flags shared by the main window and its worker threads. Each
// flag is written by one side and polled by the other, so each is atomic.
// Subsystems add their own flags here; reset() must clear every one.
#include <atomic>
#include <cstdint>

#include "base/program_version.h"

namespace lmv {

struct SharedState {
  std::atomic<int32_t> initialised{0};
  std::atomic<int32_t> activatedOnce{0};
  std::atomic<int32_t> recording{0};
  std::atomic<int32_t> recordStartPending{0};
  std::atomic<int32_t> openAllowed{0};
  std::atomic<int32_t> saveAllowed{0};
  std::atomic<int32_t> pasteDialogCreated{0};
  // The paste dialog is not shown: so from the start, also before the
  // start-up sequence (the window may move before it).
  std::atomic<int32_t> pasteDialogClosed{1};
  std::atomic<int32_t> settingsLoaded{0};
  std::atomic<int32_t> settingsFromOtherVersion{0};
  // The settings dialog is up: a device change rebuilds its port list.
  std::atomic<int32_t> settingsDialogOpen{0};

  // Facts of this program and machine, set by reset().
  int32_t programVersionNumber = kProgramVersionNumber;
  int32_t osVersionMajor = 0;
  int32_t osVersionMinor = 0;

  // Start of the main window's initialisation: every flag to 0, then the
  // program version and the operating-system version.
  void reset();
};

// Major and minor version of the running kernel ("6.1.0-13-amd64" -> 6, 1).
void readOsVersion(int32_t& major, int32_t& minor);

}  // namespace lmv
