#pragma once
// What the user is told when a file cannot be read or written, in the
// program's two languages, naming the file and the system's reason.
#include <string>
#include <string_view>

namespace lmv {

enum class FileProblem {
  CannotRead,   // missing, no permission, not a file, read error
  EndsEarly,    // the contents stop before the last field
  CannotWrite,  // cannot be created, written or put in place
};

// language: kLanguageJapanese or kLanguageEnglish (anything else: Japanese).
// reason: the system's explanation, may be empty.
std::string fileProblemMessage(FileProblem problem, std::string_view path, std::string_view reason, int language);

// The reason part of an error text of the file layer ("cannot read 'x': No
// such file or directory" gives "No such file or directory").
std::string_view fileErrorReason(std::string_view error);

}  // namespace lmv
