// Runs the built lumetrevisor-cli on real settings files.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "base/settings.h"
#include "test_files.h"

namespace lmv {
namespace {

struct CliRun {
  int exitCode = -1;
  std::string out;
  std::string err;
};

std::string quoted(const std::string& arg) {
  std::string q = "'";
  for (const char c : arg) q += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return q + "'";
}

std::string fileText(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

class SettingsCommand : public testing::Test {
 protected:
  CliRun run(const std::vector<std::string>& args) const {
    std::string command = "LC_ALL=C.UTF-8 " + quoted(LMV_BINARY_DIR "/src/cli/lumetrevisor-cli") + " settings";
    for (const auto& a : args) command += " " + quoted(a);
    command += " >" + quoted(dir_.file("out")) + " 2>" + quoted(dir_.file("err"));
    const int status = std::system(command.c_str());
    CliRun result;
    result.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    result.out = fileText(dir_.file("out"));
    result.err = fileText(dir_.file("err"));
    return result;
  }

  // The printed value of one name, or "(absent)".
  static std::string value(const std::string& out, const std::string& name) {
    std::istringstream lines(out);
    for (std::string line; std::getline(lines, line);) {
      if (line.rfind(name + "=", 0) == 0) return line.substr(name.size() + 1);
    }
    return "(absent)";
  }

  test::TempDir dir_;
};

TEST_F(SettingsCommand, PrintsAFileWrittenByTheProgram) {
  AppSettings s;
  s.windowRect = {-10, 20, 453, 391};
  s.language = 0;
  s.currentPort = 4;
  s.modelIndex = 1;
  s.currentBaud = 9600;
  s.baudIndex = 0;
  s.intervalHours = 1;
  s.intervalMinutes = 2;
  s.intervalSeconds = 3;
  s.dataCount = 250;
  s.companyText = "\xE6\xA0\xAA\xE5\xBC\x8F\xE4\xBC\x9A\xE7\xA4\xBE TAVEK";
  s.memoText = "line 1\r\nline 2\tC:\\data";
  s.memoryFolder = "/srv/lux";
  s.memoryFileName = "memory";
  s.pasteMode = 0;
  s.pasteIntervalIndex = 2;
  const std::string file = dir_.file("LX5810appli.ini");
  ASSERT_EQ(writeSettings(file, s).outcome, SettingsWriteOutcome::Written);

  const CliRun r = run({"--file", file});
  EXPECT_EQ(r.exitCode, 0) << r.err;
  EXPECT_EQ(r.err, "");
  EXPECT_EQ(r.out,
            "settingsLoaded=1\n"
            "settingsFromOtherVersion=0\n"
            "formatVersionText=1.10\n"
            "formatVersionNumber=11000\n"
            "windowRect=-10,20,453,391\n"
            "language=0\n"
            "currentPort=4\n"
            "modelIndex=1\n"
            "currentBaud=9600\n"
            "baudIndex=0\n"
            "autoConnect=1\n"
            "intervalMode=0\n"
            "totalMode=0\n"
            "fastIntervalIndex=0\n"
            "timeDisplayMode=0\n"
            "intervalHours=1\n"
            "intervalMinutes=2\n"
            "intervalSeconds=3\n"
            "dataCount=250\n"
            "recordHours=99\n"
            "recordMinutes=99\n"
            "recordSeconds=99\n"
            "companyOn=1\n"
            "companyText=\xE6\xA0\xAA\xE5\xBC\x8F\xE4\xBC\x9A\xE7\xA4\xBE TAVEK\n"
            "titleOn=1\n"
            "titleText=\n"
            "operatorOn=1\n"
            "operatorText=\n"
            "dateOn=1\n"
            "dateText=\n"
            "tempHumidOn=1\n"
            "temperatureText=\n"
            "humidityText=\n"
            "memoOn=1\n"
            "memoText=line 1\\r\\nline 2\\tC:\\\\data\n"
            "dateMode=0\n"
            "decimalSymbol=0\n"
            "listSeparator=0\n"
            "memoryFolder=/srv/lux\n"
            "memoryFileName=memory\n"
            "pasteMode=0\n"
            "pasteUseRecordSetting=0\n"
            "pasteIntervalIndex=2\n");

  EXPECT_EQ(run({"--file=" + file}).out, r.out);
}

TEST_F(SettingsCommand, PrintsANarrowFormFileOfAnOlderVersion) {
  std::vector<uint8_t> bytes{0x04, '1', '.', '0', '0', 0x10, 0x27, 0, 0};  // "1.00", 10000
  const auto int32 = [&](int32_t v) {
    for (int i = 0; i < 4; ++i) bytes.push_back(static_cast<uint8_t>(static_cast<uint32_t>(v) >> (8 * i)));
  };
  const auto text = [&](const std::string& t) {
    bytes.push_back(static_cast<uint8_t>(t.size()));
    bytes.insert(bytes.end(), t.begin(), t.end());
  };
  for (const int32_t v : {100, 200, 563, 571}) int32(v);              // windowRect
  for (int field = 4; field <= 21; ++field) int32(field);              // language .. companyOn
  text("Caf\xC3\xA9 Lumi\xC3\xA8re");                                  // companyText (UTF-8 locale bytes)
  int32(23);
  text("Title");
  int32(25);
  text("Op");
  int32(27);
  text("2001/02/03");
  int32(29);
  text("20C");
  text("50%");
  int32(32);
  text("");
  for (int field = 34; field <= 36; ++field) int32(field);
  text("/tmp/mem");
  text("mem");
  for (int field = 39; field <= 41; ++field) int32(field);
  const std::string file = dir_.file("old.ini");
  test::writeFileBytes(file, bytes);

  const CliRun r = run({"--file", file});
  EXPECT_EQ(r.exitCode, 0) << r.err;
  EXPECT_EQ(value(r.out, "settingsLoaded"), "1");
  EXPECT_EQ(value(r.out, "settingsFromOtherVersion"), "1");
  EXPECT_EQ(value(r.out, "formatVersionText"), "1.00");
  EXPECT_EQ(value(r.out, "formatVersionNumber"), "10000");
  EXPECT_EQ(value(r.out, "windowRect"), "100,200,563,571");
  EXPECT_EQ(value(r.out, "language"), "4");
  EXPECT_EQ(value(r.out, "companyOn"), "21");
  EXPECT_EQ(value(r.out, "companyText"), "Caf\xC3\xA9 Lumi\xC3\xA8re");
  EXPECT_EQ(value(r.out, "dateText"), "2001/02/03");
  EXPECT_EQ(value(r.out, "humidityText"), "50%");
  EXPECT_EQ(value(r.out, "memoText"), "");
  EXPECT_EQ(value(r.out, "listSeparator"), "36");
  EXPECT_EQ(value(r.out, "memoryFolder"), "/tmp/mem");
  EXPECT_EQ(value(r.out, "pasteIntervalIndex"), "41");
  EXPECT_EQ(std::count(r.out.begin(), r.out.end(), '\n'), 43);
}

TEST_F(SettingsCommand, UnusableFilesPrintTheDefaults) {
  const std::string cut = dir_.file("cut.ini");
  std::vector<uint8_t> bytes = encodeSettings([] {
    AppSettings s;
    s.language = 0;
    return s;
  }());
  bytes.pop_back();
  test::writeFileBytes(cut, bytes);
  const std::string empty = dir_.file("empty.ini");
  test::writeFileBytes(empty, {});

  for (const std::string& file : {dir_.file("missing.ini"), empty, cut}) {
    const CliRun r = run({"--file", file});
    EXPECT_EQ(r.exitCode, 0) << file;
    EXPECT_EQ(value(r.out, "settingsLoaded"), "0") << file;
    EXPECT_EQ(value(r.out, "settingsFromOtherVersion"), "0") << file;
    EXPECT_EQ(value(r.out, "language"), "1") << file;
    EXPECT_EQ(value(r.out, "currentPort"), "1000") << file;
    EXPECT_EQ(value(r.out, "pasteIntervalIndex"), "0") << file;
    EXPECT_NE(r.err.find("showing the defaults"), std::string::npos) << file;
  }
}

TEST_F(SettingsCommand, RejectedVersionPrintsDefaultsFromOtherVersion) {
  ArchiveWriter w;
  w.writeText("2.00");
  w.writeInt32(20000);
  std::vector<uint8_t> bytes = w.takeBytes();
  const std::vector<uint8_t> rest = encodeSettings([] {
    AppSettings s;
    s.language = 0;
    return s;
  }());
  bytes.insert(bytes.end(), rest.begin() + 16, rest.end());
  const std::string file = dir_.file("new.ini");
  test::writeFileBytes(file, bytes);

  const CliRun r = run({"--file", file});
  EXPECT_EQ(r.exitCode, 0);
  EXPECT_EQ(value(r.out, "settingsLoaded"), "0");
  EXPECT_EQ(value(r.out, "settingsFromOtherVersion"), "1");
  EXPECT_EQ(value(r.out, "formatVersionText"), "1.10");
  EXPECT_EQ(value(r.out, "language"), "1");
}

TEST_F(SettingsCommand, FileErrorsAndUsage) {
  CliRun r = run({"--file", dir_.path()});
  EXPECT_EQ(r.exitCode, 1);
  EXPECT_EQ(r.out, "");
  EXPECT_EQ(r.err, "lumetrevisor-cli settings: cannot read '" + dir_.path() + "': Is a directory\n");

  r = run({"--file"});
  EXPECT_EQ(r.exitCode, 2);
  EXPECT_NE(r.err.find("needs a path"), std::string::npos);
  r = run({"--file="});
  EXPECT_EQ(r.exitCode, 2);
  r = run({"--write", "x"});
  EXPECT_EQ(r.exitCode, 2);
  EXPECT_NE(r.err.find("unexpected argument '--write'"), std::string::npos);

  r = run({"--help"});
  EXPECT_EQ(r.exitCode, 0);
  EXPECT_EQ(r.out.rfind("Usage: lumetrevisor-cli settings [--file PATH]", 0), 0u);
}

}  // namespace
}  // namespace lmv
