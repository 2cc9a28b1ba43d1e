#pragma once
// Answers the file dialogs from a script; an empty script cancels.
#include <deque>
#include <optional>
#include <string>
#include <vector>

#include "files/file_chooser.h"

namespace lmv::test {

class ScriptedChooser final : public FileChooser {
 public:
  std::optional<std::string> chooseFile(const FileDialogRequest& request) override {
    requests.push_back(request);
    if (answers.empty()) return std::nullopt;
    auto answer = answers.front();
    answers.pop_front();
    return answer;
  }
  std::deque<std::optional<std::string>> answers;
  std::vector<FileDialogRequest> requests;
};

}  // namespace lmv::test
