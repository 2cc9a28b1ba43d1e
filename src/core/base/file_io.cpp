#include "base/file_io.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <utility>

namespace lmv {
namespace {

std::string describe(const std::string& what, const std::string& path, int err) {
  return what + " '" + path + "': " + std::strerror(err);
}

class FileDescriptor {
 public:
  explicit FileDescriptor(int fd) : fd_(fd) {}
  FileDescriptor(const FileDescriptor&) = delete;
  FileDescriptor& operator=(const FileDescriptor&) = delete;
  ~FileDescriptor() {
    if (fd_ >= 0) ::close(fd_);
  }
  int get() const { return fd_; }
  // Hands the descriptor over; it is no longer closed here.
  int release() { return std::exchange(fd_, -1); }
  // Closes now and reports the result (close can report a delayed write error).
  int close() {
    const int rc = ::close(fd_);
    fd_ = -1;
    return rc;
  }

 private:
  int fd_;
};

std::string directoryOf(const std::string& path) {
  const size_t slash = path.rfind('/');
  if (slash == std::string::npos) return ".";
  if (slash == 0) return "/";
  return path.substr(0, slash);
}

std::string baseNameOf(const std::string& path) {
  const size_t slash = path.rfind('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

// The file a write to path really replaces: the target of a symbolic link.
std::string resolveTarget(const std::string& path) {
  struct stat st {};
  if (::lstat(path.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) return path;
  char resolved[PATH_MAX];
  if (::realpath(path.c_str(), resolved) == nullptr) return path;
  return resolved;
}

constexpr const char* kNotRegular = "not a regular file";

// Why what exists at path (described by st) must not be written: empty when
// it may be.
std::string refusalOfExisting(const std::string& path, const struct stat& st) {
  if (S_ISDIR(st.st_mode)) return std::strerror(EISDIR);
  if (!S_ISREG(st.st_mode)) return kNotRegular;
  // Root may write anything; a file its owner cannot write is still one the
  // user marked read-only.
  if ((st.st_mode & S_IWUSR) == 0) return std::strerror(EACCES);
  if (::access(path.c_str(), W_OK) != 0) return std::strerror(errno);
  return {};
}

// Rewrites an existing file in place: for a folder that takes no new files.
FileWriteResult writeInPlace(const std::string& path, const std::string& target, const struct stat& checked,
                             std::span<const uint8_t> bytes, const WriteFunction& writeFunction) {
  FileWriteResult result;
  FileDescriptor fd(::open(target.c_str(), O_WRONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK | O_NOFOLLOW));
  if (fd.get() < 0) {
    result.error = describe("cannot write", path, errno);
    return result;
  }
  struct stat st {};
  if (::fstat(fd.get(), &st) != 0 || !S_ISREG(st.st_mode) || st.st_dev != checked.st_dev ||
      st.st_ino != checked.st_ino) {
    result.error = "cannot write '" + path + "': " + kNotRegular;
    return result;
  }
  if (::ftruncate(fd.get(), 0) != 0) {
    result.error = describe("cannot write", path, errno);
    return result;
  }
  int err = writeAll(fd.get(), bytes, writeFunction);
  if (err == 0 && ::fsync(fd.get()) != 0) err = errno;
  if (fd.close() != 0 && err == 0) err = errno;
  if (err != 0) {
    result.error = describe("cannot write", path, err);
    return result;
  }
  result.ok = true;
  return result;
}

}  // namespace

int writeAll(int fd, std::span<const uint8_t> bytes, const WriteFunction& writeFunction) {
  size_t done = 0;
  while (done < bytes.size()) {
    const ssize_t n = writeFunction ? writeFunction(fd, bytes.data() + done, bytes.size() - done)
                                    : ::write(fd, bytes.data() + done, bytes.size() - done);
    if (n < 0) {
      if (errno == EINTR) continue;
      return errno;
    }
    if (n == 0) return EIO;
    done += static_cast<size_t>(n);
  }
  return 0;
}

FileReadResult readFileBytes(const std::string& path) {
  FileReadResult result;
  FileDescriptor fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK));
  if (fd.get() < 0) {
    const int err = errno;
    if (err == ENOENT) {
      result.status = FileReadResult::Status::Missing;
    } else {
      result.error = describe("cannot open", path, err);
    }
    return result;
  }
  struct stat st {};
  if (::fstat(fd.get(), &st) != 0) {
    result.error = describe("cannot read", path, errno);
    return result;
  }
  if (!S_ISREG(st.st_mode)) {
    result.error = S_ISDIR(st.st_mode) ? describe("cannot read", path, EISDIR)
                                       : "cannot read '" + path + "': not a regular file";
    return result;
  }
  result.bytes.reserve(static_cast<size_t>(st.st_size));
  uint8_t buffer[65536];
  for (;;) {
    const ssize_t n = ::read(fd.get(), buffer, sizeof buffer);
    if (n < 0) {
      if (errno == EINTR) continue;
      result.error = describe("cannot read", path, errno);
      result.bytes.clear();
      return result;
    }
    if (n == 0) break;
    result.bytes.insert(result.bytes.end(), buffer, buffer + n);
  }
  result.status = FileReadResult::Status::Ok;
  return result;
}

FileWriteResult writeFileAtomically(const std::string& path, std::span<const uint8_t> bytes,
                                    const WriteFunction& writeFunction) {
  static std::atomic<unsigned> counter{0};
  FileWriteResult result;
  const std::string target = resolveTarget(path);
  const std::string directory = directoryOf(target);

  struct stat old {};
  const bool exists = ::stat(target.c_str(), &old) == 0;
  if (exists) {
    const std::string refusal = refusalOfExisting(target, old);
    if (!refusal.empty()) {
      result.error = std::string(S_ISREG(old.st_mode) ? "cannot write" : "cannot replace") + " '" + path + "': " + refusal;
      return result;
    }
  }

  std::string tempPath;
  int rawFd = -1;
  for (int attempt = 0; attempt < 100 && rawFd < 0; ++attempt) {
    tempPath = directory + "/." + baseNameOf(target) + ".tmp-" + std::to_string(::getpid()) + "-" +
               std::to_string(counter.fetch_add(1));
    rawFd = ::open(tempPath.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOCTTY, 0666);
    if (rawFd < 0 && errno != EEXIST) break;
  }
  if (rawFd < 0) {
    const int err = errno;
    // A folder that takes no new files can still hold a file that may be written.
    if (exists && (err == EACCES || err == EPERM)) return writeInPlace(path, target, old, bytes, writeFunction);
    result.error = describe("cannot create a file beside", path, err);
    return result;
  }
  FileDescriptor fd(rawFd);

  const auto failWith = [&](const std::string& what, int err) {
    if (fd.get() >= 0) fd.close();
    ::unlink(tempPath.c_str());
    result.error = describe(what, path, err);
    return result;
  };

  // Keep the permissions of the file being replaced.
  if (exists) ::fchmod(fd.get(), old.st_mode & 07777);

  if (const int err = writeAll(fd.get(), bytes, writeFunction); err != 0) return failWith("cannot write", err);
  if (::fsync(fd.get()) != 0) return failWith("cannot write", errno);
  if (fd.close() != 0) return failWith("cannot write", errno);
  if (::rename(tempPath.c_str(), target.c_str()) != 0) return failWith("cannot replace", errno);

  // Make the rename itself durable; the data is already in place if this fails.
  FileDescriptor dir(::open(directory.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
  if (dir.get() >= 0) ::fsync(dir.get());

  result.ok = true;
  return result;
}

std::string fileWriteRefusal(const std::string& path) {
  const std::string target = resolveTarget(path);
  struct stat st {};
  if (::stat(target.c_str(), &st) == 0) return refusalOfExisting(target, st);
  if (errno != ENOENT) return std::strerror(errno);
  if (::access(directoryOf(target).c_str(), W_OK | X_OK) != 0) return std::strerror(errno);
  return {};
}

int openRegularFileForWriting(const std::string& path, std::string& error) {
  // Not truncated yet: nothing is changed before the file is known to be a
  // regular file that may be written.
  FileDescriptor fd(::open(path.c_str(), O_WRONLY | O_CREAT | O_NONBLOCK | O_CLOEXEC | O_NOCTTY, 0666));
  if (fd.get() < 0) {
    error = describe("cannot open", path, errno);  // a FIFO without a reader gives ENXIO
    return -1;
  }
  struct stat st {};
  if (::fstat(fd.get(), &st) != 0) {
    error = describe("cannot open", path, errno);
    return -1;
  }
  const std::string refusal = refusalOfExisting(path, st);
  if (!refusal.empty()) {
    error = "cannot open '" + path + "': " + refusal;
    return -1;
  }
  const int flags = ::fcntl(fd.get(), F_GETFL);
  if (::ftruncate(fd.get(), 0) != 0 || flags < 0 || ::fcntl(fd.get(), F_SETFL, flags & ~O_NONBLOCK) != 0) {
    error = describe("cannot open", path, errno);
    return -1;
  }
  return fd.release();
}

FileWriteResult writeNewUniqueFile(std::string& pathPattern, int suffixLength, std::span<const uint8_t> bytes) {
  FileWriteResult result;
  std::string name = pathPattern;
  FileDescriptor fd(::mkostemps(name.data(), suffixLength, O_CLOEXEC));
  if (fd.get() < 0) {
    result.error = describe("cannot create", pathPattern, errno);
    return result;
  }
  int err = writeAll(fd.get(), bytes, {});
  if (err == 0 && ::fsync(fd.get()) != 0) err = errno;
  if (fd.close() != 0 && err == 0) err = errno;
  if (err != 0) {
    ::unlink(name.c_str());
    result.error = describe("cannot write", name, err);
    return result;
  }
  pathPattern = std::move(name);
  result.ok = true;
  return result;
}

bool sameFile(const std::string& a, const std::string& b) {
  struct stat sa {};
  struct stat sb {};
  if (::stat(a.c_str(), &sa) == 0 && ::stat(b.c_str(), &sb) == 0)
    return sa.st_dev == sb.st_dev && sa.st_ino == sb.st_ino;
  namespace fs = std::filesystem;
  std::error_code ea;
  std::error_code eb;
  const fs::path ca = fs::weakly_canonical(fs::absolute(a, ea), ea);
  const fs::path cb = fs::weakly_canonical(fs::absolute(b, eb), eb);
  if (ea || eb) return a == b;
  return ca == cb;
}

ReadableFile::~ReadableFile() {
  if (fd_ >= 0) ::close(fd_);
}

FileReadResult::Status ReadableFile::open(const std::string& path, std::string& error, ReadFunction readFunction) {
  path_ = path;
  read_ = std::move(readFunction);
  fd_ = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK);
  if (fd_ < 0) {
    const int err = errno;
    if (err == ENOENT) return FileReadResult::Status::Missing;
    error = describe("cannot open", path, err);
    return FileReadResult::Status::Error;
  }
  struct stat st {};
  if (::fstat(fd_, &st) != 0) {
    error = describe("cannot read", path, errno);
    return FileReadResult::Status::Error;
  }
  if (!S_ISREG(st.st_mode)) {
    error = S_ISDIR(st.st_mode) ? describe("cannot read", path, EISDIR) : "cannot read '" + path + "': " + kNotRegular;
    return FileReadResult::Status::Error;
  }
  size_ = static_cast<uint64_t>(st.st_size);
  return FileReadResult::Status::Ok;
}

bool ReadableFile::readAt(uint64_t offset, size_t count, std::vector<uint8_t>& out, std::string& error) {
  const size_t start = out.size();
  out.resize(start + count);
  size_t done = 0;
  while (done < count) {
    const auto at = static_cast<off_t>(offset + done);
    const ssize_t n = read_ ? read_(fd_, out.data() + start + done, count - done, at)
                            : ::pread(fd_, out.data() + start + done, count - done, at);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) {
      error = describe("cannot read", path_, n < 0 ? errno : EIO);  // n == 0: the file became shorter
      out.resize(start);
      return false;
    }
    done += static_cast<size_t>(n);
  }
  return true;
}

}  // namespace lmv
