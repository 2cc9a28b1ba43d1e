#include "ui/language_choice.h"

#include <string_view>

#include "base/file_io.h"
#include "ui/language_table.h"

namespace lmv {

std::filesystem::path languageFilePath(const std::filesystem::path& programDirectory) {
  return programDirectory / "Languages" / "lang.txt";
}

std::optional<int> readLanguageFile(const std::filesystem::path& file) {
  const FileReadResult read = readFileBytes(file.string());
  if (read.status != FileReadResult::Status::Ok) return std::nullopt;  // silently keeps the choice so far

  // The first line is "Japanese" exactly when the file begins with it
  // followed by the end of the file, "\n" or "\r\n".
  constexpr std::string_view kJapaneseLine = "Japanese";
  std::string_view rest(reinterpret_cast<const char*>(read.bytes.data()), read.bytes.size());
  if (!rest.starts_with(kJapaneseLine)) return kLanguageEnglish;
  rest.remove_prefix(kJapaneseLine.size());
  const bool lineEnds = rest.empty() || rest.starts_with('\n') || rest.starts_with("\r\n");
  return lineEnds ? kLanguageJapanese : kLanguageEnglish;
}

int chooseStartupLanguage(bool settingsLoaded, bool settingsFromOtherVersion, int storedLanguage,
                          const std::filesystem::path& programDirectory) {
  int code = settingsLoaded ? storedLanguage : kLanguageEnglish;
  if (!settingsLoaded || settingsFromOtherVersion) {
    if (const auto fromFile = readLanguageFile(languageFilePath(programDirectory))) code = *fromFile;
  }
  return normalizeLanguageCode(code);
}

}  // namespace lmv
