#pragma once
// Only one running program keeps the recording journal of a data directory.
// Another one started beside it must neither write into that journal nor
// take it for what a program that ended abnormally left behind: it would
// replace or remove the records of the running one. The lock is an flock on
// a file beside the journal, held for as long as this object lives, so the
// system releases it when the program ends in any way.
#include <string>

namespace lmv {

class JournalLock {
 public:
  // Tries to take the lock of the journal at journalPath.
  explicit JournalLock(std::string journalPath);
  ~JournalLock();
  JournalLock(JournalLock&& other) noexcept;
  JournalLock& operator=(JournalLock&&) = delete;
  JournalLock(const JournalLock&) = delete;
  JournalLock& operator=(const JournalLock&) = delete;

  const std::string& journalPath() const { return journalPath_; }
  // False only while another running program holds the journal. A folder
  // where no lock file can be made leaves it held: the journal cannot be
  // written there either, which the journal reports itself.
  bool held() const { return !busy_; }

 private:
  std::string journalPath_;
  int fd_ = -1;
  bool busy_ = false;
};

// Told when another running program holds the journal (language:
// kLanguageJapanese or kLanguageEnglish).
std::string journalInUseMessage(int language);

}  // namespace lmv
