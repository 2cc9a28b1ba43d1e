#include "files/file_messages.h"

#include "ui/language_table.h"

namespace lmv {
namespace {

struct ProblemTexts {
  std::string_view english;
  std::string_view japanese;
};

// "%s" stands for the path.
constexpr ProblemTexts kTexts[] = {
    {"Can not read the file %s.", "ファイル %s を読み込めません。"},
    {"An attempt was made to access beyond the end of %s.", "%s の末尾以降にアクセスしようとしました。"},
    {"Can not write the file %s.", "ファイル %s に書き込めません。"},
};

}  // namespace

std::string fileProblemMessage(FileProblem problem, std::string_view path, std::string_view reason, int language) {
  const ProblemTexts& texts = kTexts[static_cast<int>(problem)];
  const std::string_view pattern =
      normalizeLanguageCode(language) == kLanguageEnglish ? texts.english : texts.japanese;
  std::string out;
  const size_t at = pattern.find("%s");
  out += pattern.substr(0, at);
  out += path;
  out += pattern.substr(at + 2);
  if (!reason.empty()) {
    out += "\n\n";
    out += reason;
  }
  return out;
}

std::string_view fileErrorReason(std::string_view error) {
  const size_t at = error.rfind("': ");
  return at == std::string_view::npos ? error : error.substr(at + 3);
}

}  // namespace lmv
