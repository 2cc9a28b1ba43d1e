#include "ui/language_choice.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <string>
#include <string_view>

#include "ui/language_table.h"

namespace lmv {

namespace {

constexpr std::string_view kJapaneseLine = "Japanese";

// Reads at most `limit` bytes from the start of the file; nothing on any
// failure (missing, no permission, a directory, a read error).
std::optional<std::string> readHead(const std::filesystem::path& file, std::size_t limit) {
  const int fd = ::open(file.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY);
  if (fd < 0) return std::nullopt;
  std::string head(limit, '\0');
  std::size_t got = 0;
  bool failed = false;
  while (got < limit) {
    const ssize_t n = ::read(fd, head.data() + got, limit - got);
    if (n < 0) {
      if (errno == EINTR) continue;
      failed = true;
      break;
    }
    if (n == 0) break;
    got += static_cast<std::size_t>(n);
  }
  ::close(fd);
  if (failed) return std::nullopt;
  head.resize(got);
  return head;
}

}  // namespace

std::filesystem::path languageFilePath(const std::filesystem::path& programDirectory) {
  return programDirectory / "Languages" / "lang.txt";
}

std::optional<int> readLanguageFile(const std::filesystem::path& file) {
  // Only the start matters: the first line is "Japanese" exactly when the
  // file begins with it followed by the end of file, "\n" or "\r\n".
  const auto head = readHead(file, kJapaneseLine.size() + 2);
  if (!head) return std::nullopt;
  std::string_view rest(*head);
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
