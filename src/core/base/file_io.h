#pragma once
// Whole-file reading and crash-safe whole-file writing, shared by every
// file the program keeps (settings, records, CSV).
#include <sys/types.h>

#include <cstddef>
#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <vector>

namespace lmv {

struct FileReadResult {
  enum class Status { Ok, Missing, Error };
  Status status = Status::Error;
  std::vector<uint8_t> bytes;
  std::string error;  // what failed and where, for Status::Error
};

// Reads a regular file completely. A path that does not exist is Missing;
// anything else that stops the read (permissions, a directory, a device)
// is an Error.
FileReadResult readFileBytes(const std::string& path);

struct FileWriteResult {
  bool ok = false;
  std::string error;  // what failed and where, when !ok
};

// Stands in for write(2); lets tests inject a failing disk.
using WriteFunction = std::function<ssize_t(int fd, const void* data, size_t size)>;

// Writes the whole buffer to fd, going on after partial writes and
// interruptions; 0, or the errno of the failure.
int writeAll(int fd, std::span<const uint8_t> bytes, const WriteFunction& writeFunction = {});

// Replaces the file's contents as one step: the bytes go to a temporary
// file beside it, which is flushed to disk and then renamed over the target.
// On any failure the previous file stays as it was and the temporary file is
// removed. A symbolic link is followed, so the link stays in place.
//
// What is there must be a regular file that may be written: one without the
// owner's write permission is refused (for root too, as a read-only file),
// and so is one the user may not write; nothing is changed then. When the
// folder refuses the temporary file but the file itself may be written (a
// read-only folder holding a writable file), the file is rewritten in place
// instead (truncated, written, flushed), as any other program would; a
// failure midway then leaves the file incomplete.
FileWriteResult writeFileAtomically(const std::string& path, std::span<const uint8_t> bytes,
                                    const WriteFunction& writeFunction = {});

// Whether writeFileAtomically can put a file at path: what is there is a
// regular file that may be written, or nothing is there and the folder takes
// new files. Empty, or the reason of the refusal ("Permission denied").
std::string fileWriteRefusal(const std::string& path);

// Opens path for writing a stream of bytes (created, or an existing file
// truncated) without blocking: anything that is not a regular file (a FIFO,
// a device, a directory) is refused, so that opening never waits for a
// reader. Returns the descriptor, or -1 with the reason in error.
int openRegularFileForWriting(const std::string& path, std::string& error);

// Creates a new file with a name no one could have prepared: pathPattern
// ends with "XXXXXX" followed by suffixLength more characters, and the
// X's are replaced. The file is made exclusively (O_EXCL, mode 0600), so a
// planted file or symbolic link of that name is never written through. On
// success pathPattern holds the file's name.
FileWriteResult writeNewUniqueFile(std::string& pathPattern, int suffixLength, std::span<const uint8_t> bytes);

// Whether the two paths name the same file: the same device and inode when
// both exist, else the same place once symbolic links and "." or ".." are
// resolved.
bool sameFile(const std::string& a, const std::string& b);

// A regular file opened for reading in pieces, so that a big file can be
// judged by its first bytes before it is read.
class ReadableFile {
 public:
  // Stands in for pread(2); lets tests see what is read.
  using ReadFunction = std::function<ssize_t(int fd, void* data, size_t size, off_t offset)>;

  ReadableFile() = default;
  ReadableFile(const ReadableFile&) = delete;
  ReadableFile& operator=(const ReadableFile&) = delete;
  ~ReadableFile();

  // Missing, Error (with the reason in error: permissions, not a regular
  // file) or Ok. Never blocks on a FIFO or a device.
  FileReadResult::Status open(const std::string& path, std::string& error, ReadFunction readFunction = {});
  uint64_t size() const { return size_; }
  // Appends the count bytes at offset to out; false with error when they
  // cannot all be read (a read error, or the file became shorter).
  bool readAt(uint64_t offset, size_t count, std::vector<uint8_t>& out, std::string& error);

 private:
  int fd_ = -1;
  uint64_t size_ = 0;
  std::string path_;
  ReadFunction read_;
};

}  // namespace lmv
