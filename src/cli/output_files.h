#pragma once
// Keeps a command from writing onto a file it reads or writes otherwise.
#include <string>
#include <vector>

#include "command.h"

namespace lmv::cli {

struct NamedFile {
  std::string role;  // how the message names it: "the record file", "--csv"
  std::string path;  // empty: not used by this run
};

// Refuses (message on stderr, ExitUsage) when an output is the same file as
// another output or an input: same device and inode, or the same place for
// files not there yet. ExitOk otherwise.
int refuseOverlappingFiles(const Command& command, const std::vector<NamedFile>& outputs,
                           const std::vector<NamedFile>& inputs);

}  // namespace lmv::cli
