#include "app/shared_state.h"

#include <gtest/gtest.h>

namespace lmv {
namespace {

TEST(SharedState, ResetClearsEveryFlagAndSetsTheVersions) {
  SharedState state;
  for (std::atomic<int32_t>* flag :
       {&state.initialised, &state.activatedOnce, &state.recording, &state.recordStartPending, &state.openAllowed,
        &state.saveAllowed, &state.pasteDialogCreated, &state.pasteDialogClosed, &state.settingsLoaded,
        &state.settingsFromOtherVersion, &state.settingsDialogOpen}) {
    flag->store(1);
  }
  state.programVersionNumber = 0;
  state.reset();
  EXPECT_EQ(state.initialised + state.activatedOnce + state.recording + state.recordStartPending +
                state.openAllowed + state.saveAllowed + state.pasteDialogCreated + state.pasteDialogClosed +
                state.settingsLoaded +
                state.settingsFromOtherVersion + state.settingsDialogOpen,
            0);
  EXPECT_EQ(state.programVersionNumber, 110);
  EXPECT_GT(state.osVersionMajor, 0);
}

}  // namespace
}  // namespace lmv
