#include "base/file_io.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>
#include <string>
#include <vector>

#include <fcntl.h>

#include "test_files.h"
#include "unprivileged.h"

namespace lmv {
namespace {

using Bytes = std::vector<uint8_t>;
namespace fs = std::filesystem;

size_t entriesIn(const std::string& dir) {
  return static_cast<size_t>(std::distance(fs::directory_iterator(dir), fs::directory_iterator()));
}

TEST(ReadFileBytes, DistinguishesMissingFromUnreadable) {
  test::TempDir dir;
  const std::string file = dir.file("data.bin");
  test::writeFileBytes(file, {1, 2, 3});

  FileReadResult read = readFileBytes(file);
  EXPECT_EQ(read.status, FileReadResult::Status::Ok);
  EXPECT_EQ(read.bytes, (Bytes{1, 2, 3}));

  read = readFileBytes(dir.file("none.bin"));
  EXPECT_EQ(read.status, FileReadResult::Status::Missing);

  read = readFileBytes(dir.path());
  EXPECT_EQ(read.status, FileReadResult::Status::Error);
  EXPECT_EQ(read.error, "cannot read '" + dir.path() + "': Is a directory");

  ASSERT_EQ(::mkfifo(dir.file("fifo").c_str(), 0600), 0);
  read = readFileBytes(dir.file("fifo"));  // must not block
  EXPECT_EQ(read.status, FileReadResult::Status::Error);
  EXPECT_NE(read.error.find("not a regular file"), std::string::npos);

  read = readFileBytes(file + "/below-a-file");
  EXPECT_EQ(read.status, FileReadResult::Status::Error);
  EXPECT_NE(read.error.find("Not a directory"), std::string::npos);
}

TEST(WriteFileAtomically, CreatesAndReplaces) {
  test::TempDir dir;
  const std::string file = dir.file("out.bin");
  ASSERT_TRUE(writeFileAtomically(file, Bytes{1, 2, 3}).ok);
  EXPECT_EQ(test::fileBytes(file), (Bytes{1, 2, 3}));
  ASSERT_TRUE(writeFileAtomically(file, Bytes{}).ok);
  EXPECT_EQ(test::fileBytes(file), Bytes{});
  Bytes large(300000);
  for (size_t i = 0; i < large.size(); ++i) large[i] = static_cast<uint8_t>(i * 7);
  ASSERT_TRUE(writeFileAtomically(file, large).ok);
  EXPECT_EQ(test::fileBytes(file), large);
  EXPECT_EQ(entriesIn(dir.path()), 1u);
}

TEST(WriteFileAtomically, KeepsPermissionsAndSymbolicLinks) {
  test::TempDir dir;
  const std::string target = dir.file("target.bin");
  const std::string link = dir.file("link.bin");
  test::writeFileBytes(target, {9});
  ASSERT_EQ(::chmod(target.c_str(), 0640), 0);
  fs::create_symlink(target, link);

  ASSERT_TRUE(writeFileAtomically(link, Bytes{4, 5}).ok);
  EXPECT_TRUE(fs::is_symlink(link));
  EXPECT_EQ(test::fileBytes(target), (Bytes{4, 5}));
  EXPECT_EQ(fs::status(target).permissions(), fs::perms(0640));
  EXPECT_EQ(entriesIn(dir.path()), 2u);
}

TEST(WriteFileAtomically, FailuresLeaveTheOldFile) {
  test::TempDir dir;
  const std::string file = dir.file("out.bin");
  test::writeFileBytes(file, {1, 2, 3});

  const struct {
    const char* name;
    WriteFunction write;
    const char* error;
  } faults[] = {
      {"disk full midway",
       [calls = 0](int fd, const void* data, size_t size) mutable -> ssize_t {
         if (++calls == 1) return ::write(fd, data, size / 2);
         errno = ENOSPC;
         return -1;
       },
       "No space left on device"},
      {"I/O error at once", [](int, const void*, size_t) -> ssize_t { errno = EIO; return -1; }, "Input/output error"},
      {"no progress", [](int, const void*, size_t) -> ssize_t { return 0; }, "Input/output error"},
  };
  for (const auto& f : faults) {
    const FileWriteResult result = writeFileAtomically(file, Bytes(5000, 0xAA), f.write);
    EXPECT_FALSE(result.ok) << f.name;
    EXPECT_EQ(result.error, "cannot write '" + file + "': " + f.error) << f.name;
    EXPECT_EQ(test::fileBytes(file), (Bytes{1, 2, 3})) << f.name;
    EXPECT_EQ(entriesIn(dir.path()), 1u) << f.name;
  }

  // Interrupted writes are retried.
  int interrupts = 0;
  const FileWriteResult retried = writeFileAtomically(
      file, Bytes{7, 8}, [&](int fd, const void* data, size_t size) -> ssize_t {
        if (interrupts++ < 2) {
          errno = EINTR;
          return -1;
        }
        return ::write(fd, data, size);
      });
  EXPECT_TRUE(retried.ok) << retried.error;
  EXPECT_EQ(test::fileBytes(file), (Bytes{7, 8}));
}

TEST(WriteFileAtomically, ReportsAMissingDirectory) {
  test::TempDir dir;
  const std::string file = dir.file("missing/out.bin");
  const FileWriteResult result = writeFileAtomically(file, Bytes{1});
  EXPECT_FALSE(result.ok);
  EXPECT_EQ(result.error, "cannot create a file beside '" + file + "': No such file or directory");
}

TEST(WriteFileAtomically, ReportsATargetThatIsADirectory) {
  test::TempDir dir;
  fs::create_directory(dir.file("taken"));
  fs::create_directory(dir.file("taken/inside"));
  const FileWriteResult result = writeFileAtomically(dir.file("taken"), Bytes{1});
  EXPECT_FALSE(result.ok);
  EXPECT_NE(result.error.find("cannot replace '" + dir.file("taken") + "'"), std::string::npos) << result.error;
  EXPECT_TRUE(fs::is_directory(dir.file("taken/inside")));
  EXPECT_EQ(entriesIn(dir.path()), 1u);
}

TEST(WriteFileAtomically, RefusesAFileWithoutItsOwnersWritePermission) {
  test::TempDir dir;
  const std::string file = dir.file("kept.bin");
  // Owner without write permission, whoever else may write: read-only for
  // the program, root included.
  for (const mode_t mode : {0444, 0466}) {
    test::writeFileBytes(file, {1, 2, 3});
    ASSERT_EQ(::chmod(file.c_str(), mode), 0);
    const FileWriteResult result = writeFileAtomically(file, Bytes{9, 9});
    EXPECT_FALSE(result.ok) << mode;
    EXPECT_EQ(result.error, "cannot write '" + file + "': Permission denied") << mode;
    EXPECT_EQ(test::fileBytes(file), (Bytes{1, 2, 3})) << mode;
    EXPECT_EQ(fs::status(file).permissions(), fs::perms(mode)) << mode;
    EXPECT_EQ(entriesIn(dir.path()), 1u) << mode;
    EXPECT_EQ(fileWriteRefusal(file), "Permission denied") << mode;
    ASSERT_EQ(::chmod(file.c_str(), 0644), 0);
  }
  EXPECT_EQ(fileWriteRefusal(file), "");
  EXPECT_EQ(fileWriteRefusal(dir.file("new.bin")), "");
}

TEST(WriteFileAtomically, RefusesWhatIsNotARegularFile) {
  test::TempDir dir;
  const std::string fifo = dir.file("fifo");
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0644), 0);
  const FileWriteResult result = writeFileAtomically(fifo, Bytes{1});
  EXPECT_FALSE(result.ok);
  EXPECT_EQ(result.error, "cannot replace '" + fifo + "': not a regular file");
  EXPECT_TRUE(fs::is_fifo(fifo));
  EXPECT_EQ(entriesIn(dir.path()), 1u);
  EXPECT_EQ(fileWriteRefusal(fifo), "not a regular file");
  EXPECT_EQ(fileWriteRefusal("/dev/null"), "not a regular file");
}

// What an unprivileged user may and may not write, set up by root (or by
// the user running the tests) and checked in a child that runs as that user.
struct PermissionCase {
  const char* name;
  mode_t folderMode;
  bool fileExists;
  bool fileOwnedByTheUser;  // else by root: needs a root test run
  mode_t fileMode;
  const char* error;  // nullptr: written
};

class WriteAsUnprivilegedUser : public ::testing::TestWithParam<PermissionCase> {};

TEST_P(WriteAsUnprivilegedUser, WritesOnlyWhatTheUserMayWrite) {
  const PermissionCase& c = GetParam();
  if (!c.fileOwnedByTheUser && ::geteuid() != 0) GTEST_SKIP() << "making a file of another owner needs root";
  test::TempDir dir;
  ASSERT_EQ(::chmod(dir.path().c_str(), 0755), 0);
  const std::string folder = dir.file("folder");
  ASSERT_EQ(::mkdir(folder.c_str(), 0755), 0);
  test::giveToUnprivileged(folder, 0755);
  const std::string file = folder + "/data.bin";
  if (c.fileExists) {
    test::writeFileBytes(file, {1, 2, 3});
    if (c.fileOwnedByTheUser) test::giveToUnprivileged(file, c.fileMode);
    ASSERT_EQ(::chmod(file.c_str(), c.fileMode), 0);
  }
  ASSERT_EQ(::chmod(folder.c_str(), c.folderMode), 0);

  std::string error;
  int pipeFds[2];
  ASSERT_EQ(::pipe(pipeFds), 0);
  const std::optional<int> status = test::runUnprivileged([&] {
    ::close(pipeFds[0]);
    const FileWriteResult result = writeFileAtomically(file, Bytes{7, 8, 9, 10});
    if (::write(pipeFds[1], result.error.data(), result.error.size()) < 0) return 3;
    return result.ok ? 0 : 1;
  });
  ::close(pipeFds[1]);
  char buffer[512];
  for (ssize_t n; (n = ::read(pipeFds[0], buffer, sizeof buffer)) > 0;) error.append(buffer, static_cast<size_t>(n));
  ::close(pipeFds[0]);
  ASSERT_EQ(::chmod(folder.c_str(), 0755), 0);  // for the clean-up
  if (!status) GTEST_SKIP() << "cannot run a check as an unprivileged user (uid 65534)";

  if (c.error == nullptr) {
    EXPECT_EQ(*status, 0) << error;
    EXPECT_EQ(test::fileBytes(file), (Bytes{7, 8, 9, 10}));
  } else {
    EXPECT_EQ(*status, 1);
    std::string expected = c.error;
    expected.replace(expected.find("%s"), 2, file);
    EXPECT_EQ(error, expected);
    if (c.fileExists) {
      EXPECT_EQ(test::fileBytes(file), (Bytes{1, 2, 3}));
    }
  }
  EXPECT_EQ(entriesIn(folder), c.fileExists || c.error == nullptr ? 1u : 0u) << "no temporary file is left";
}

INSTANTIATE_TEST_SUITE_P(
    Cases, WriteAsUnprivilegedUser,
    ::testing::Values(
        PermissionCase{"NewFile", 0755, false, true, 0, nullptr},
        PermissionCase{"OwnFile", 0755, true, true, 0644, nullptr},
        // Renaming over it would work (the folder is the user's), but the
        // file is not the user's to write.
        PermissionCase{"AnotherUsersFile", 0755, true, false, 0644, "cannot write '%s': Permission denied"},
        PermissionCase{"OwnReadOnlyFile", 0755, true, true, 0444, "cannot write '%s': Permission denied"},
        // The folder takes no temporary file: the file is rewritten in place.
        PermissionCase{"WritableFileInAReadOnlyFolder", 0555, true, true, 0644, nullptr},
        PermissionCase{"ReadOnlyFileInAReadOnlyFolder", 0555, true, true, 0444,
                       "cannot write '%s': Permission denied"},
        PermissionCase{"NewFileInAReadOnlyFolder", 0555, false, true, 0,
                       "cannot create a file beside '%s': Permission denied"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(OpenRegularFileForWriting, RefusesFifosDevicesAndReadOnlyFilesWithoutWaiting) {
  test::TempDir dir;
  std::string error;
  const std::string fifo = dir.file("fifo");
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0644), 0);
  // No reader: a blocking open would wait for ever.
  EXPECT_EQ(openRegularFileForWriting(fifo, error), -1);
  EXPECT_EQ(error, "cannot open '" + fifo + "': No such device or address");
  // With a reader the open succeeds, and the FIFO is still refused.
  const int reader = ::open(fifo.c_str(), O_RDONLY | O_NONBLOCK);
  ASSERT_GE(reader, 0);
  EXPECT_EQ(openRegularFileForWriting(fifo, error), -1);
  EXPECT_EQ(error, "cannot open '" + fifo + "': not a regular file");
  ::close(reader);

  EXPECT_EQ(openRegularFileForWriting("/dev/null", error), -1);
  EXPECT_EQ(error, "cannot open '/dev/null': not a regular file");
  EXPECT_EQ(openRegularFileForWriting(dir.path(), error), -1);

  const std::string readOnly = dir.file("read-only.csv");
  test::writeFileBytes(readOnly, {1, 2, 3});
  ASSERT_EQ(::chmod(readOnly.c_str(), 0444), 0);
  EXPECT_EQ(openRegularFileForWriting(readOnly, error), -1);
  EXPECT_EQ(error, "cannot open '" + readOnly + "': Permission denied");
  EXPECT_EQ(test::fileBytes(readOnly), (Bytes{1, 2, 3}));

  const std::string file = dir.file("out.csv");
  test::writeFileBytes(file, {1, 2, 3});
  const int fd = openRegularFileForWriting(file, error);
  ASSERT_GE(fd, 0) << error;
  EXPECT_EQ(::fcntl(fd, F_GETFL) & O_NONBLOCK, 0);
  EXPECT_EQ(::write(fd, "ab", 2), 2);
  ::close(fd);
  EXPECT_EQ(test::fileBytes(file), (Bytes{'a', 'b'}));
}

TEST(WriteNewUniqueFile, MakesAFreshPrivateFile) {
  test::TempDir dir;
  std::string first = dir.file("rescue-XXXXXX.lxrd");
  std::string second = first;
  ASSERT_TRUE(writeNewUniqueFile(first, 5, Bytes{1, 2}).ok);
  ASSERT_TRUE(writeNewUniqueFile(second, 5, Bytes{3}).ok);
  EXPECT_NE(first, second);
  for (const std::string& path : {first, second}) {
    EXPECT_TRUE(path.starts_with(dir.file("rescue-"))) << path;
    EXPECT_TRUE(path.ends_with(".lxrd")) << path;
    EXPECT_EQ(path.find("XXXXXX"), std::string::npos) << path;
    EXPECT_TRUE(fs::is_regular_file(fs::symlink_status(path))) << path;
    EXPECT_EQ(fs::status(path).permissions(), fs::perms(0600)) << path;
  }
  EXPECT_EQ(test::fileBytes(first), (Bytes{1, 2}));
  EXPECT_EQ(test::fileBytes(second), (Bytes{3}));

  std::string missing = dir.file("gone/rescue-XXXXXX.lxrd");
  const FileWriteResult failed = writeNewUniqueFile(missing, 5, Bytes{1});
  EXPECT_FALSE(failed.ok);
  EXPECT_NE(failed.error.find("No such file or directory"), std::string::npos) << failed.error;
}

TEST(SameFile, ComparesFilesAndPlaces) {
  test::TempDir dir;
  const std::string a = dir.file("a.lxrd");
  test::writeFileBytes(a, {1});
  test::writeFileBytes(dir.file("b.lxrd"), {1});
  ASSERT_EQ(::link(a.c_str(), dir.file("hard.lxrd").c_str()), 0);
  fs::create_symlink(a, dir.file("soft.lxrd"));
  fs::create_directory(dir.file("sub"));

  EXPECT_TRUE(sameFile(a, a));
  EXPECT_TRUE(sameFile(a, dir.file("hard.lxrd")));
  EXPECT_TRUE(sameFile(a, dir.file("soft.lxrd")));
  EXPECT_TRUE(sameFile(a, dir.file("sub/../a.lxrd")));
  EXPECT_FALSE(sameFile(a, dir.file("b.lxrd")));
  // Files not there yet: the same place or not.
  EXPECT_TRUE(sameFile(dir.file("new.csv"), dir.file("sub/../new.csv")));
  EXPECT_TRUE(sameFile(dir.file("new.csv"), dir.file("./new.csv")));
  EXPECT_FALSE(sameFile(dir.file("new.csv"), dir.file("new.lxrd")));
  EXPECT_FALSE(sameFile(dir.file("new.csv"), a));
}

}  // namespace
}  // namespace lmv
