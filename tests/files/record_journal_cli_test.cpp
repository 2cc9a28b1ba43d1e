// lumetrevisor-cli record and its journal: a recording killed with SIGKILL
// at any moment leaves a journal from which --recover writes every sample
// that was taken up to the kill; the next recording tells of the waiting
// journal; an ordinary recording leaves none behind.
#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "cli_run.h"
#include "files/journal_lock.h"
#include "files/record_file.h"
#include "files/record_journal_format.h"
#include "sim_fixture.h"

namespace lmv {
namespace {

using test::runCli;
using test::wholeFile;

bool exists(const std::string& path) {
  struct stat st {};
  return ::stat(path.c_str(), &st) == 0;
}

// lumetrevisor-cli running as its own process, its standard output read
// line by line.
class CliProcess {
 public:
  CliProcess(const std::vector<std::string>& args, const std::string& workDir) {
    int fds[2];
    if (::pipe(fds) != 0) std::abort();
    pid_ = ::fork();
    if (pid_ == 0) {
      ::dup2(fds[1], 1);
      const int err = ::open((workDir + "/cli.err").c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
      ::dup2(err, 2);
      ::close(fds[0]);
      if (::chdir(workDir.c_str()) != 0) ::_exit(126);
      std::vector<std::string> all{LMV_BINARY_DIR "/src/cli/lumetrevisor-cli"};
      all.insert(all.end(), args.begin(), args.end());
      std::vector<char*> argv;
      for (std::string& a : all) argv.push_back(a.data());
      argv.push_back(nullptr);
      ::setenv("LC_ALL", "C.UTF-8", 1);
      ::setenv("TZ", "UTC", 1);
      ::execv(argv[0], argv.data());
      ::_exit(127);
    }
    ::close(fds[1]);
    out_ = ::fdopen(fds[0], "r");
  }
  ~CliProcess() {
    if (pid_ > 0) {
      ::kill(pid_, SIGKILL);
      wait();
    }
    if (out_) std::fclose(out_);
  }

  // The next line of output; false at its end. The hang guard is the
  // test's own timeout.
  bool readLine(std::string& line) {
    char buffer[4096];
    if (!std::fgets(buffer, sizeof buffer, out_)) return false;
    line = buffer;
    return true;
  }
  int kill() {
    ::kill(pid_, SIGKILL);
    return wait();
  }
  int wait() {
    int status = 0;
    ::waitpid(pid_, &status, 0);
    pid_ = -1;
    return status;
  }

 private:
  pid_t pid_ = -1;
  FILE* out_ = nullptr;
};

class RecordJournalCli : public ::testing::Test {
 protected:
  RecordJournalCli() {
    char pattern[] = "/tmp/lmv-journal-XXXXXX";
    EXPECT_NE(::mkdtemp(pattern), nullptr);
    dir = pattern;
  }
  ~RecordJournalCli() override { std::system(("rm -rf '" + dir + "'").c_str()); }

  std::vector<std::string> withSettings(std::vector<std::string> args) const {
    for (const char* a : {"--settings", "", "--lang", "en"}) args.emplace_back(a);
    args[args.size() - 3] = dir + "/settings.ini";
    return args;
  }
  std::string journal() const { return dir + "/" + kJournalFileName; }
  RecordFileDecodeResult decoded(const std::string& name) const {
    const std::string bytes = wholeFile(dir + "/" + name);
    return decodeRecordFile(std::vector<uint8_t>(bytes.begin(), bytes.end()));
  }

  // Records at the fast interval until `samples` sample lines were shown,
  // then kills the program; returns the sample lines.
  std::vector<std::string> recordAndKill(test::SimulatedMeter& meter, int samples) {
    CliProcess cli(withSettings({"record", "--port", meter.path(), "--count", "100000", "--fast", "1", "--out",
                                 "never.lxrd"}),
                   dir);
    std::vector<std::string> lines;
    std::string line;
    while (static_cast<int>(lines.size()) < samples && cli.readLine(line)) lines.push_back(line);
    const int status = cli.kill();
    EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL);
    return lines;
  }

  std::string dir;
};

TEST_F(RecordJournalCli, AnOrdinaryRecordingLeavesNoJournal) {
  test::SimulatedMeter meter;
  const auto run = runCli(withSettings({"record", "--port", meter.path(), "--count", "4", "--fast", "1", "--out",
                                        "a.lxrd"}),
                          dir);
  ASSERT_EQ(run.exitCode, 0) << run.err;
  EXPECT_FALSE(exists(journal()));
  EXPECT_EQ(decoded("a.lxrd").contents.records.size(), 4u);
  // Nothing is waiting: --recover says so.
  const auto recover = runCli(withSettings({"record", "--recover", "r.lxrd"}), dir);
  EXPECT_EQ(recover.exitCode, 1);
  EXPECT_NE(recover.err.find("no recording journal is waiting"), std::string::npos) << recover.err;
}

class KilledRecording : public RecordJournalCli, public ::testing::WithParamInterface<int> {};

TEST_P(KilledRecording, RecoversEverySampleTakenBeforeTheKill) {
  test::SimulatedMeter meter;
  const int shown = GetParam();
  const std::vector<std::string> lines = recordAndKill(meter, shown);
  ASSERT_EQ(static_cast<int>(lines.size()), shown);
  ASSERT_TRUE(exists(journal()));

  // A new recording tells of the journal and leaves it alone.
  const auto refused = runCli(withSettings({"record", "--port", meter.path(), "--count", "2", "--fast", "1", "--out",
                                            "b.lxrd"}),
                              dir);
  EXPECT_EQ(refused.exitCode, 1);
  EXPECT_NE(refused.err.find("The last recording did not end normally."), std::string::npos) << refused.err;
  EXPECT_NE(refused.err.find("--recover"), std::string::npos) << refused.err;
  EXPECT_FALSE(exists(dir + "/b.lxrd"));

  const auto recover = runCli(withSettings({"record", "--recover", "r.lxrd", "--csv", "r.csv"}), dir);
  ASSERT_EQ(recover.exitCode, 0) << recover.err;
  const RecordFileDecodeResult file = decoded("r.lxrd");
  ASSERT_EQ(file.outcome, RecordFileOutcome::Read);
  const RecordArray& records = file.contents.records;
  // A sample is shown before it is journaled, and the program may have
  // taken a few more between the last line read and the kill.
  EXPECT_GE(static_cast<int>(records.size()), shown - 1);
  EXPECT_LE(static_cast<int>(records.size()), shown + 100);
  EXPECT_NE(recover.out.find(std::to_string(records.size()) + " records were recovered."), std::string::npos)
      << recover.out;
  EXPECT_EQ(file.contents.state.recordCount, static_cast<int32_t>(records.size()));
  EXPECT_EQ(file.contents.state.runCount, static_cast<int32_t>(records.size()));
  // A run cut off by the kill ends at its last sample (a kill before the
  // first sample reached the journal leaves no run to end).
  if (!records.empty()) {
    EXPECT_FALSE(file.contents.state.runStopText.empty());
  }
  EXPECT_TRUE(exists(dir + "/r.csv"));
  // Each shown line is "number<TAB>time<TAB>value unit": the numbers match.
  for (size_t i = 0; i + 1 < lines.size() && i < records.size(); ++i) {
    EXPECT_EQ(lines[i].substr(0, lines[i].find('\t')), std::to_string(i + 1));
  }
  EXPECT_FALSE(exists(journal()));

  // With the journal recovered, recording works again (on a meter that
  // was not left halfway through a command by the killed program).
  test::SimulatedMeter freshMeter;
  const auto again = runCli(withSettings({"record", "--port", freshMeter.path(), "--count", "2", "--fast", "1",
                                          "--out", "c.lxrd"}),
                            dir);
  EXPECT_EQ(again.exitCode, 0) << again.err;
}

// After the first sample, a few, and many (several flushes to disk).
INSTANTIATE_TEST_SUITE_P(Moments, KilledRecording, ::testing::Values(1, 2, 7, 25, 60));

// The desktop program (or another record) running with the same settings
// holds the journal: neither command may write into it or take it away.
TEST_F(RecordJournalCli, AJournalAnotherRunningProgramKeepsIsLeftAlone) {
  test::SimulatedMeter meter;
  recordAndKill(meter, 3);
  ASSERT_TRUE(exists(journal()));
  const std::string before = wholeFile(journal());
  {
    const JournalLock otherProgram(journal());
    ASSERT_TRUE(otherProgram.held());
    for (const std::vector<std::string>& args :
         {std::vector<std::string>{"record", "--port", meter.path(), "--count", "2", "--fast", "1", "--out", "b.lxrd"},
          std::vector<std::string>{"record", "--recover", "r.lxrd"}}) {
      SCOPED_TRACE(args[1]);
      const auto run = runCli(withSettings(args), dir);
      EXPECT_EQ(run.exitCode, 1);
      EXPECT_NE(run.err.find("another running program keeps the recording journal"), std::string::npos) << run.err;
      EXPECT_EQ(wholeFile(journal()), before);
      EXPECT_FALSE(exists(dir + "/b.lxrd"));
      EXPECT_FALSE(exists(dir + "/r.lxrd"));
    }
  }
  // Once it has ended, the journal is this program's to recover.
  const auto recover = runCli(withSettings({"record", "--recover", "r.lxrd"}), dir);
  EXPECT_EQ(recover.exitCode, 0) << recover.err;
  EXPECT_FALSE(exists(journal()));
}

TEST_F(RecordJournalCli, KilledBeforeTheFirstSampleLeavesNothingToRecover) {
  test::SimulatedMeter meter;
  {
    CliProcess cli(withSettings({"record", "--port", meter.path(), "--count", "5", "--interval", "0:0:30", "--out",
                                 "never.lxrd"}),
                   dir);
    // The first sample of a 30-second interval comes within a second of
    // the start; killed at once, the program has taken none.
    cli.kill();
  }
  EXPECT_FALSE(exists(journal()));
}

TEST_F(RecordJournalCli, AKillInTheMiddleOfAWriteLosesOnlyThatRecord) {
  test::SimulatedMeter meter;
  recordAndKill(meter, 10);
  ASSERT_TRUE(exists(journal()));
  std::string bytes = wholeFile(journal());
  const JournalRecovery before = recoverJournal(std::vector<uint8_t>(bytes.begin(), bytes.end()));
  ASSERT_GE(before.samplesRecovered, 9);
  // The last frame cut where a write could have been stopped.
  bytes.resize(bytes.size() - 7);
  {
    FILE* f = std::fopen(journal().c_str(), "wb");
    std::fwrite(bytes.data(), 1, bytes.size(), f);
    std::fclose(f);
  }
  const auto recover = runCli(withSettings({"record", "--recover", "torn.lxrd"}), dir);
  ASSERT_EQ(recover.exitCode, 0) << recover.err;
  EXPECT_NE(recover.out.find("The end of the journal was damaged"), std::string::npos) << recover.out;
  const RecordFileDecodeResult file = decoded("torn.lxrd");
  ASSERT_EQ(file.outcome, RecordFileOutcome::Read);
  EXPECT_EQ(static_cast<int>(file.contents.records.size()), before.samplesRecovered - 1);
  EXPECT_TRUE(std::equal(file.contents.records.begin(), file.contents.records.end(), before.contents.records.begin()));
}

}  // namespace
}  // namespace lmv
