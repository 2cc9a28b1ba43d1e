#pragma once
// The platform's file dialogs, as the file commands need them: the desktop
// program shows its open and save dialogs, tests and the command line answer
// with a path given beforehand.
#include <optional>
#include <string>

namespace lmv {

struct FileDialogRequest {
  enum class Kind {
    Open,  // the file must exist
    Save,  // asks before an existing file is replaced
  };
  Kind kind = Kind::Open;
  std::string defaultExtension;  // "lxrd", added when the name has none
  std::string initialName;       // "*.lxrd"
  std::string filter;            // "description|pattern||" (language entry 128 or 129)
};

class FileChooser {
 public:
  virtual ~FileChooser() = default;
  // The chosen path, or nothing when the user cancelled.
  virtual std::optional<std::string> chooseFile(const FileDialogRequest& request) = 0;
};

}  // namespace lmv
