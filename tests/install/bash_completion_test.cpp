// The bash completion of lumetrevisor-cli, run in bash as the shell runs it.
#include <gtest/gtest.h>

#include <algorithm>
#include <sstream>
#include <string>
#include <vector>

#include "cli_run.h"
#include "install_paths.h"
#include "test_files.h"

namespace lmv::test {
namespace {

const char kCompletion[] = LMV_PACKAGING_BINARY_DIR "/completion/lumetrevisor-cli";

std::vector<std::string> lines(const std::string& text) {
  std::vector<std::string> out;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);)
    if (!line.empty()) out.push_back(line);
  return out;
}

// What bash offers for the last word of WORDS (the word being completed).
std::vector<std::string> complete(const std::vector<std::string>& words) {
  std::string array;
  for (const auto& w : words) array += " " + shellQuoted(w);
  const std::string script = "source " + shellQuoted(kCompletion) +
                             " && complete -p lumetrevisor-cli >/dev/null && COMP_WORDS=(" + array +
                             ") && COMP_CWORD=" + std::to_string(words.size() - 1) +
                             " && _lumetrevisor_cli 2>/dev/null; printf '%s\\n' \"${COMPREPLY[@]}\"";
  const ShellRun run = runShell("bash --norc --noprofile -c " + shellQuoted(script));
  EXPECT_EQ(run.exitCode, 0) << run.out;
  std::vector<std::string> offered = lines(run.out);
  std::sort(offered.begin(), offered.end());
  return offered;
}

std::vector<std::string> sorted(std::vector<std::string> v) {
  std::sort(v.begin(), v.end());
  return v;
}

struct CompletionCase {
  const char* name;
  std::vector<std::string> words;         // after "lumetrevisor-cli"; @DIR@ is a folder with run.lxrd
  std::vector<std::string> offered;       // exactly these (with exact) or at least these
  bool exact;
  std::vector<std::string> notOffered;
};

void PrintTo(const CompletionCase& c, std::ostream* out) { *out << c.name; }

class BashCompletion : public testing::TestWithParam<CompletionCase> {
 protected:
  TempDir dir_;
};

TEST_P(BashCompletion, OffersWhatTheCommandLineTakes) {
  writeFileBytes(dir_.file("run.lxrd"), {1});
  auto expand = [&](std::string word) {
    const size_t at = word.find("@DIR@");
    if (at != std::string::npos) word.replace(at, 5, dir_.path());
    return word;
  };
  std::vector<std::string> words = {"lumetrevisor-cli"};
  for (const auto& w : GetParam().words) words.push_back(expand(w));
  std::vector<std::string> expected;
  for (const auto& w : GetParam().offered) expected.push_back(expand(w));

  const std::vector<std::string> offered = complete(words);
  if (GetParam().exact) {
    EXPECT_EQ(offered, sorted(expected));
  } else {
    for (const auto& w : expected) EXPECT_TRUE(std::count(offered.begin(), offered.end(), w)) << w;
  }
  for (const auto& w : GetParam().notOffered) EXPECT_FALSE(std::count(offered.begin(), offered.end(), w)) << w;
}

INSTANTIATE_TEST_SUITE_P(
    Lines, BashCompletion,
    testing::Values(
        CompletionCase{"Commands",
                       {""},
                       {"export", "identify", "memory", "monitor", "paste", "ports", "record", "settings", "zero",
                        "--help"},
                       true,
                       {}},
        CompletionCase{"CommandByItsStart", {"re"}, {"record"}, true, {}},
        CompletionCase{"OptionsOfRecord",
                       {"record", "--"},
                       {"--port", "--out", "--count", "--time", "--interval", "--fast", "--csv", "--lang",
                        "--settings", "--recover", "--help"},
                       true,
                       {}},
        CompletionCase{"OptionsOfMemory", {"memory", "--o"}, {"--overwrite"}, true, {}},
        CompletionCase{"DecimalSymbols", {"export", "x.lxrd", "--decimal", ""}, {"period", "comma"}, true, {}},
        CompletionCase{"ListSeparators", {"export", "--separator", "s"}, {"semicolon"}, true, {}},
        CompletionCase{"Languages", {"paste", "--lang", "j"}, {"ja"}, true, {}},
        CompletionCase{"NoWordsForACount", {"monitor", "--count", ""}, {}, true, {}},
        CompletionCase{"RecordFile", {"record", "--out", "@DIR@/ru"}, {"@DIR@/run.lxrd"}, true, {}},
        CompletionCase{"RecordFileToExport", {"export", "@DIR@/r"}, {"@DIR@/run.lxrd"}, true, {}},
        CompletionCase{"DeviceByPath", {"identify", "--port", "/dev/nul"}, {"/dev/null"}, true, {}},
        CompletionCase{"UnknownCommand", {"frobnicate", "--"}, {}, true, {}}),
    [](const testing::TestParamInfo<CompletionCase>& info) { return std::string(info.param.name); });

// Every option a command's help names is offered after that command.
TEST(BashCompletionOfEveryCommand, OffersEveryOptionItsHelpNames) {
  const std::string cli = shellQuoted(LMV_BINARY_DIR "/src/cli/lumetrevisor-cli");
  const ShellRun help = runShell(cli + " --help");
  std::istringstream list(help.out.substr(help.out.find("Commands:\n") + 10));
  int commands = 0;
  for (std::string line; std::getline(list, line) && line.rfind("  ", 0) == 0;) {
    const std::string command = line.substr(2, line.find(' ', 2) - 2);
    ++commands;
    const std::vector<std::string> offered = complete({"lumetrevisor-cli", command, "--"});
    const ShellRun commandHelp = runShell(cli + " " + command + " --help | grep -o -- '--[a-z][a-z-]*' | sort -u");
    for (const auto& option : lines(commandHelp.out))
      EXPECT_TRUE(std::count(offered.begin(), offered.end(), option)) << command << " " << option;
  }
  EXPECT_GE(commands, 9);
}

}  // namespace
}  // namespace lmv::test
