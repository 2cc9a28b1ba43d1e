#pragma once
// A LibreOffice of the test's own: headless, with a private profile and
// HOME in a temporary folder and a pipe name nobody else uses. Started by
// the constructor (which fails the test when no office can be started) and
// killed by the destructor.
#include <sys/types.h>

#include <filesystem>
#include <string>

namespace lmv::test {

class HeadlessOffice {
 public:
  HeadlessOffice();
  ~HeadlessOffice();
  HeadlessOffice(const HeadlessOffice&) = delete;
  HeadlessOffice& operator=(const HeadlessOffice&) = delete;

  bool running() const { return group_ > 0; }
  const std::string& pipeName() const { return pipeName_; }
  // A folder for the test's files, removed with the office.
  const std::filesystem::path& folder() const { return folder_; }
  // Kills every process of the office at once and waits for the first.
  void kill();

 private:
  void start();

  std::filesystem::path folder_;
  std::string pipeName_;
  pid_t group_ = -1;
  int lifeline_ = -1;  // closing it makes the guard kill the office
};

// Kills, by process id, every process whose command line contains marker
// (a pipe or folder name unique to the test).
void killProcessesNaming(const std::string& marker);

}  // namespace lmv::test
