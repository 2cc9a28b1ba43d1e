#include "files/journal_lock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>
#include <utility>

#include "ui/language_table.h"

namespace lmv {

JournalLock::JournalLock(std::string journalPath) : journalPath_(std::move(journalPath)) {
  const std::string lockPath = journalPath_ + ".lock";
  fd_ = ::open(lockPath.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
  if (fd_ < 0) return;
  int result = 0;
  do {
    result = ::flock(fd_, LOCK_EX | LOCK_NB);
  } while (result != 0 && errno == EINTR);
  if (result != 0) {
    busy_ = errno == EWOULDBLOCK;
    ::close(fd_);
    fd_ = -1;
  }
}

JournalLock::JournalLock(JournalLock&& other) noexcept
    : journalPath_(std::move(other.journalPath_)), fd_(std::exchange(other.fd_, -1)), busy_(other.busy_) {}

JournalLock::~JournalLock() {
  if (fd_ >= 0) ::close(fd_);
}

std::string journalInUseMessage(int language) {
  return normalizeLanguageCode(language) == kLanguageEnglish
             ? "Another Lumetrevisor is running and keeps the recording journal.\n\n"
               "The records of this window are kept on disk only when you save them."
             : "別の Lumetrevisor が実行中で、記録ジャーナルを使用しています。\n\n"
               "このウィンドウの記録データは、保存するまでディスクに保持されません。";
}

}  // namespace lmv
