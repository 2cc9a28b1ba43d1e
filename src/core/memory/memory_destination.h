#pragma once
// Where the memory download writes: a folder and a file name without
// ".csv", checked as the OK button checks them.
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "memory/memory_controls.h"

namespace lmv {

class UiHost;
class LanguageTable;

// The characters a memory-file name may not contain: \ / : , ; * ? " < > |
bool hasForbiddenFileNameCharacter(std::string_view name);

// folder + "/" + name + ".csv".
std::string memoryCsvPath(const std::string& folder, const std::string& fileName);

// The file name as the messages name it: name + ".csv".
std::string memoryCsvFileName(const std::string& fileName);

// Checks folder and name, telling the user what is wrong (error boxes owned
// by the memory dialog; after a message about the name the focus goes to
// the file-name edit), and asks before an existing file is replaced.
// Returns the file path when the download may go ahead.
std::optional<std::string> validateMemoryDestination(
    const std::string& folder, const std::string& fileName, UiHost& ui, const LanguageTable& texts,
    const std::function<bool(const std::string&)>& fileExists);

// Whether anything exists at path (file, directory, link).
bool pathExists(const std::string& path);

}  // namespace lmv
