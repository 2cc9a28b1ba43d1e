#include "memory/memory_destination.h"

#include <sys/stat.h>

#include "ui/ui_host.h"
#include "ui/language_table.h"

namespace lmv {

bool hasForbiddenFileNameCharacter(std::string_view name) {
  return name.find_first_of("\\/:,;*?\"<>|") != std::string_view::npos;
}

std::string memoryCsvFileName(const std::string& fileName) { return fileName + ".csv"; }

std::string memoryCsvPath(const std::string& folder, const std::string& fileName) {
  std::string path = folder;
  if (path.empty() || path.back() != '/') path += '/';
  return path + memoryCsvFileName(fileName);
}

std::optional<std::string> validateMemoryDestination(
    const std::string& folder, const std::string& fileName, UiHost& ui, const LanguageTable& texts,
    const std::function<bool(const std::string&)>& fileExists) {
  const auto error = [&](int entry) {
    MessageRequest request;
    request.text = texts.text(entry);
    request.icon = MessageIcon::Error;
    request.ownerDialog = kMemoryDialog;
    ui.showMessage(request);
  };
  if (folder.empty()) {
    error(TextNoDestinationFolder);
    return std::nullopt;
  }
  // A wrong name is mended where it is typed.
  const auto fileNameError = [&](int entry) {
    error(entry);
    ui.setFocus(kMemoryDialog, kMemoryFileNameEdit);
  };
  if (fileName.empty()) {
    fileNameError(TextNoFileName);
    return std::nullopt;
  }
  if (hasForbiddenFileNameCharacter(fileName)) {
    fileNameError(TextInvalidFileNameCharacters);
    return std::nullopt;
  }
  std::string path = memoryCsvPath(folder, fileName);
  if (fileExists(path)) {
    MessageRequest request;
    request.text = texts.text(TextFileExistsOverwrite);
    request.icon = MessageIcon::Warning;
    request.buttons = MessageButtons::YesNo;
    request.defaultAnswer = MessageAnswer::No;
    request.ownerDialog = kMemoryDialog;
    if (ui.showMessage(request) != MessageAnswer::Yes) return std::nullopt;
  }
  return path;
}

bool pathExists(const std::string& path) {
  struct stat st {};
  return ::lstat(path.c_str(), &st) == 0;
}

}  // namespace lmv
