#include "cli_options.h"

namespace lmv::cli {

OptionMatch matchOption(const std::vector<std::string>& args, size_t& i, const std::string& name,
                        std::string& value) {
  const std::string& arg = args[i];
  if (arg == name) {
    if (i + 1 >= args.size() || args[i + 1].empty()) return OptionMatch::MissingValue;
    value = args[++i];
    return OptionMatch::Yes;
  }
  if (arg.rfind(name + "=", 0) == 0) {
    value = arg.substr(name.size() + 1);
    return value.empty() ? OptionMatch::MissingValue : OptionMatch::Yes;
  }
  return OptionMatch::No;
}

std::optional<int> wordIndex(const std::string& value, const std::vector<std::string>& words) {
  for (size_t k = 0; k < words.size(); ++k)
    if (value == words[k]) return static_cast<int>(k);
  return std::nullopt;
}

}  // namespace lmv::cli
