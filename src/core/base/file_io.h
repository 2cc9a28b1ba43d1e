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

// Replaces the file's contents as one step: the bytes go to a temporary
// file beside it, which is flushed to disk and then renamed over the target.
// On any failure the previous file stays as it was and the temporary file is
// removed. A symbolic link is followed, so the link stays in place.
FileWriteResult writeFileAtomically(const std::string& path, std::span<const uint8_t> bytes,
                                    const WriteFunction& writeFunction = {});

}  // namespace lmv
