#pragma once
// The language the program starts in. A settings file of this version decides
// on its own; without one (first start) or with one from another version, the
// installer's "Languages/lang.txt" beside the program may choose Japanese.
#include <filesystem>
#include <optional>

namespace lmv {

// programDirectory/Languages/lang.txt
std::filesystem::path languageFilePath(const std::filesystem::path& programDirectory);

// 0 when the file's first line is exactly "Japanese" (a line end of "\n" or
// "\r\n" does not count), 1 for anything else including an empty file;
// nothing when the file is missing or cannot be read.
std::optional<int> readLanguageFile(const std::filesystem::path& file);

// The start-up language code, always 0..1 (see normalizeLanguageCode).
int chooseStartupLanguage(bool settingsLoaded, bool settingsFromOtherVersion, int storedLanguage,
                          const std::filesystem::path& programDirectory);

}  // namespace lmv
