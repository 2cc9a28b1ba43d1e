// The settings file "LX5810appli.ini" as read at start-up: any bytes decode
// without fault, and whatever loads writes back to the same values.
#include <cstdint>
#include <cstdlib>
#include <span>

#include "base/settings.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const lmv::SettingsReadResult read = lmv::decodeSettings(std::span<const uint8_t>(data, size));
  if (read.outcome != lmv::SettingsReadOutcome::Loaded) {
    if (read.settingsLoaded || !(read.settings == lmv::AppSettings{})) std::abort();  // nothing of a refused file
    return 0;
  }
  const std::vector<uint8_t> written = lmv::encodeSettings(read.settings);
  const lmv::SettingsReadResult again = lmv::decodeSettings(written);
  if (again.outcome != lmv::SettingsReadOutcome::Loaded) std::abort();
  lmv::AppSettings expected = read.settings;
  expected.formatVersionText = lmv::kSettingsFormatVersionText;
  expected.formatVersionNumber = lmv::kSettingsFormatVersionNumber;
  if (!(again.settings == expected)) std::abort();
  (void)lmv::intervalTotalSeconds(read.settings);
  return 0;
}
