#include "base/file_io.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>
#include <string>
#include <vector>

#include "test_files.h"

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

}  // namespace
}  // namespace lmv
