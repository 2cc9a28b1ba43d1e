#include "output_files.h"

#include "base/file_io.h"

namespace lmv::cli {

int refuseOverlappingFiles(const Command& command, const std::vector<NamedFile>& outputs,
                           const std::vector<NamedFile>& inputs) {
  for (size_t i = 0; i < outputs.size(); ++i) {
    const NamedFile& out = outputs[i];
    if (out.path.empty()) continue;
    std::vector<NamedFile> others(outputs.begin() + static_cast<long>(i) + 1, outputs.end());
    others.insert(others.end(), inputs.begin(), inputs.end());
    for (const NamedFile& other : others) {
      if (other.path.empty() || !sameFile(out.path, other.path)) continue;
      return usageError(command, out.role + " '" + out.path + "' is the same file as " + other.role + " '" +
                                     other.path + "'; nothing was written");
    }
  }
  return ExitOk;
}

}  // namespace lmv::cli
