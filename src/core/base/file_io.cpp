#include "base/file_io.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>

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

}  // namespace

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

  std::string tempPath;
  int rawFd = -1;
  for (int attempt = 0; attempt < 100 && rawFd < 0; ++attempt) {
    tempPath = directory + "/." + baseNameOf(target) + ".tmp-" + std::to_string(::getpid()) + "-" +
               std::to_string(counter.fetch_add(1));
    rawFd = ::open(tempPath.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOCTTY, 0666);
    if (rawFd < 0 && errno != EEXIST) break;
  }
  if (rawFd < 0) {
    result.error = describe("cannot create a file beside", path, errno);
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
  struct stat old {};
  if (::stat(target.c_str(), &old) == 0) ::fchmod(fd.get(), old.st_mode & 07777);

  size_t done = 0;
  while (done < bytes.size()) {
    const ssize_t n = writeFunction ? writeFunction(fd.get(), bytes.data() + done, bytes.size() - done)
                                    : ::write(fd.get(), bytes.data() + done, bytes.size() - done);
    if (n < 0) {
      if (errno == EINTR) continue;
      return failWith("cannot write", errno);
    }
    if (n == 0) return failWith("cannot write", EIO);
    done += static_cast<size_t>(n);
  }
  if (::fsync(fd.get()) != 0) return failWith("cannot write", errno);
  if (fd.close() != 0) return failWith("cannot write", errno);
  if (::rename(tempPath.c_str(), target.c_str()) != 0) return failWith("cannot replace", errno);

  // Make the rename itself durable; the data is already in place if this fails.
  FileDescriptor dir(::open(directory.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
  if (dir.get() >= 0) ::fsync(dir.get());

  result.ok = true;
  return result;
}

}  // namespace lmv
