// lumetrevisor-cli ports, run as a user runs it.
#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <string>

#include "sim_fixture.h"

namespace lmv {
namespace {

struct CliRun {
  int status = -1;
  std::string output;  // standard output and error together
};

CliRun runCli(const std::string& arguments) {
  const std::string program = LMV_BINARY_DIR "/src/cli/lumetrevisor-cli";
  CliRun run;
  FILE* pipe = ::popen((program + " " + arguments + " 2>&1").c_str(), "r");
  if (!pipe) return run;
  char buffer[256];
  while (size_t n = std::fread(buffer, 1, sizeof buffer, pipe)) run.output.append(buffer, n);
  int status = ::pclose(pipe);
  run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  return run;
}

class PortsCommand : public ::testing::Test {
 protected:
  void SetUp() override {
    if (::access(LMV_BINARY_DIR "/src/cli/lumetrevisor-cli", X_OK) != 0)
      GTEST_SKIP() << "lumetrevisor-cli is not built";
    unsetenv("LUMETREVISOR_PORTS");
  }
};

TEST_F(PortsCommand, ListsNamedPortsWithNumberDeviceAndName) {
  test::SimulatedMeter first;
  test::SimulatedMeter second;
  ASSERT_EQ(setenv("LUMETREVISOR_PORTS", first.path().c_str(), 1), 0);
  CliRun run = runCli("ports --port " + second.path());
  unsetenv("LUMETREVISOR_PORTS");
  EXPECT_EQ(run.status, 0) << run.output;
  // The command numbers named ports itself, from 201: the variable first.
  const std::string firstName = first.path().substr(5);
  const std::string secondName = second.path().substr(5);
  EXPECT_NE(run.output.find(" 201  " + first.path() + "  LX5810 named port (" + firstName + ")\n"),
            std::string::npos)
      << run.output;
  EXPECT_NE(run.output.find(" 202  " + second.path() + "  LX5810 named port (" + secondName + ")\n"),
            std::string::npos)
      << run.output;
  EXPECT_TRUE(run.output.starts_with(" No.  Device")) << run.output;
}

TEST_F(PortsCommand, AMissingNamedPortIsReported) {
  CliRun run = runCli("ports --port /nonexistent/lx5810");
  EXPECT_EQ(run.status, 1);
  EXPECT_NE(run.output.find("lumetrevisor-cli ports: /nonexistent/lx5810: no such device\n"), std::string::npos)
      << run.output;
  EXPECT_EQ(run.output.find("/nonexistent/lx5810  "), std::string::npos) << "not listed";
}

TEST_F(PortsCommand, RefusesUnknownArguments) {
  for (const char* args : {"ports --bogus", "ports --port", "ports --port="}) {
    CliRun run = runCli(args);
    EXPECT_EQ(run.status, 2) << args;
    EXPECT_NE(run.output.find("Try 'lumetrevisor-cli ports --help'."), std::string::npos) << run.output;
  }
}

}  // namespace
}  // namespace lmv
