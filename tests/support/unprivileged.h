#pragma once
// Runs a check as an unprivileged user, so that permission refusals are
// really exercised when the tests run as root (as CI does): root forks a
// child that drops to uid and gid 65534 without supplementary groups; an
// unprivileged test process runs the check in a child as it is.
#include <grp.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace lmv::test {

inline constexpr uid_t kUnprivilegedId = 65534;

// The check's result (an exit status 0..125), or nullopt when no
// unprivileged child could be made. Only the child runs check; it must not
// use gtest assertions (they would not reach the parent).
inline std::optional<int> runUnprivileged(const std::function<int()>& check) {
  constexpr int kCannotDrop = 126;
  const pid_t pid = ::fork();
  if (pid < 0) return std::nullopt;
  if (pid == 0) {
    if (::geteuid() == 0) {
      const gid_t id = kUnprivilegedId;
      if (::setgroups(0, nullptr) != 0 || ::setresgid(id, id, id) != 0 || ::setresuid(id, id, id) != 0 ||
          ::geteuid() == 0)
        ::_exit(kCannotDrop);
    }
    ::_exit(check());
  }
  int status = 0;
  if (::waitpid(pid, &status, 0) != pid || !WIFEXITED(status) || WEXITSTATUS(status) == kCannotDrop)
    return std::nullopt;
  return WEXITSTATUS(status);
}

// Gives path to the user the checks run as (when running as root) and lets
// everyone reach it.
inline void giveToUnprivileged(const std::string& path, mode_t mode) {
  if (::geteuid() == 0 && ::chown(path.c_str(), kUnprivilegedId, kUnprivilegedId) != 0) return;
  ::chmod(path.c_str(), mode);
}

// The command prefix that runs a program as the unprivileged user: setpriv
// when running as root, nothing otherwise.
inline std::vector<std::string> unprivilegedCommandPrefix() {
  if (::geteuid() != 0) return {};
  return {"setpriv", "--reuid=65534", "--regid=65534", "--clear-groups"};
}

}  // namespace lmv::test
