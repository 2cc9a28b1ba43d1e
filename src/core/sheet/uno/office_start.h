#pragma once
// Starting the office program in the background, detached from this
// process: it outlives the program and keeps the user's documents.
#include <string>
#include <vector>

namespace lmv {

// Runs command (program looked up in PATH, then arguments) in its own
// session with its standard streams on /dev/null. Returns whether the
// program could be executed; error then says why.
bool startDetached(const std::vector<std::string>& command, std::string& error);

}  // namespace lmv
