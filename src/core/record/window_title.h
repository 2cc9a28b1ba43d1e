#pragma once
// The main window's title: the program title alone while the records are
// not bound to a file, with the file name once they are, and with " *"
// before the closing bracket once they changed after the last open or save.
#include <string>
#include <string_view>

namespace lmv {

inline constexpr std::string_view kProgramTitle = "Lumetrevisor for LX5810/LX5811  Ver1.10";

inline std::string windowTitleText(bool fileBound, std::string_view fileName, bool changed) {
  std::string title(kProgramTitle);
  if (!fileBound) return title;
  title += " - [";
  title += fileName;
  title += changed ? " *]" : "]";
  return title;
}

}  // namespace lmv
