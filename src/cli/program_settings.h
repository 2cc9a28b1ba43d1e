#pragma once
// What the commands that work as the desktop program does take from its
// settings file: the record settings and header, the CSV symbols, the time
// display mode, the baud rate and the language (which is filled in).
#include <string>

#include "base/settings.h"

namespace lmv::cli {

// Reads the settings file of the data directory (nothing is created);
// without an accepted file the first-start values apply. An automatic
// record date becomes today's, as at the program's start. A path given
// replaces the settings file of the data directory.
AppSettings loadProgramSettings(const std::string& path = {});

// The settings file loadProgramSettings reads for that path.
std::string programSettingsPath(const std::string& path = {});

// The recording journal that goes with a settings file: beside it, so the
// program's own is in the data directory (created when missing).
std::string programJournalPath(const std::string& settingsPath = {});

// "H:M:S" with each part 0..99; false when the text is not of that form.
bool parseHms(const std::string& text, int32_t& hours, int32_t& minutes, int32_t& seconds);

// A whole number within [low, high]; false otherwise.
bool parseNumber(const std::string& text, long long low, long long high, long long& out);

}  // namespace lmv::cli
