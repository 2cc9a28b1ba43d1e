// The installer's "Languages/lang.txt": any contents give English or
// Japanese.
#include <sys/mman.h>
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <string>

#include "ui/language_choice.h"

namespace {

// The file's bytes live in a memory file, reached by its /proc path, so that
// the reader goes through the same open and read calls as on disk.
int memoryFile() {
  static const int fd = ::memfd_create("lang.txt", 0);
  if (fd < 0) std::abort();
  return fd;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const int fd = memoryFile();
  if (::ftruncate(fd, 0) != 0) std::abort();
  size_t done = 0;
  while (done < size) {
    const ssize_t n = ::pwrite(fd, data + done, size - done, static_cast<off_t>(done));
    if (n <= 0) std::abort();
    done += static_cast<size_t>(n);
  }
  const std::string path = "/proc/self/fd/" + std::to_string(fd);
  const std::optional<int> language = lmv::readLanguageFile(path);
  if (!language || (*language != 0 && *language != 1)) std::abort();
  return 0;
}
