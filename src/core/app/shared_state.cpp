#include "app/shared_state.h"

#include <sys/utsname.h>

#include <cstdio>

namespace lmv {

void SharedState::reset() {
  for (std::atomic<int32_t>* flag : {&initialised, &activatedOnce, &recording, &recordStartPending, &openAllowed,
                                     &saveAllowed, &pasteDialogCreated, &pasteDialogClosed, &settingsLoaded, &settingsFromOtherVersion,
                                     &settingsDialogOpen}) {
    flag->store(0);
  }
  programVersionNumber = kProgramVersionNumber;
  readOsVersion(osVersionMajor, osVersionMinor);
}

void readOsVersion(int32_t& major, int32_t& minor) {
  major = 0;
  minor = 0;
  struct utsname name {};
  if (::uname(&name) != 0) return;
  int ma = 0;
  int mi = 0;
  if (std::sscanf(name.release, "%d.%d", &ma, &mi) >= 1) {
    major = ma;
    minor = mi;
  }
}

}  // namespace lmv
