#pragma once
// Reading "--name VALUE" and "--name=VALUE" options.
#include <optional>
#include <string>
#include <vector>

namespace lmv::cli {

enum class OptionMatch { No, Yes, MissingValue };

// Whether args[i] is option name; with Yes, value holds its value and i
// points at the last argument used.
OptionMatch matchOption(const std::vector<std::string>& args, size_t& i, const std::string& name,
                        std::string& value);

// The index of value in words, if it is one of them.
std::optional<int> wordIndex(const std::string& value, const std::vector<std::string>& words);

}  // namespace lmv::cli
