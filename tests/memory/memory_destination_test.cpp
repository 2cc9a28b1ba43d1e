#include "memory/memory_destination.h"

#include <gtest/gtest.h>

#include "fake_ui_host.h"
#include "ui/language_table.h"

namespace lmv {
namespace {

struct DestinationCase {
  const char* name;
  const char* folder;
  const char* fileName;
  bool exists;
  MessageAnswer answer;
  int expectedEntry;  // -1: no message
  MessageIcon icon;
  bool accepted;
  bool focusesFileName;  // the name is what is wrong: the focus goes to its edit
};

class MemoryDestination : public ::testing::TestWithParam<DestinationCase> {};

TEST_P(MemoryDestination, ValidatesAndAsksBeforeReplacing) {
  const DestinationCase& c = GetParam();
  LanguageTable texts;
  texts.fill(kLanguageEnglish);
  test::FakeUiHost ui;
  ui.scriptAnswers({c.answer});
  std::string asked;
  const auto result = validateMemoryDestination(c.folder, c.fileName, ui, texts, [&](const std::string& path) {
    asked = path;
    return c.exists;
  });
  EXPECT_EQ(result.has_value(), c.accepted);
  const auto messages = ui.messages();
  if (c.expectedEntry < 0) {
    EXPECT_TRUE(messages.empty());
  } else {
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].text, texts.text(c.expectedEntry));
    EXPECT_EQ(messages[0].icon, c.icon);
    EXPECT_EQ(messages[0].ownerDialog, kMemoryDialog);
  }
  const test::FakeUiHost::Key focus = ui.focus();
  if (c.focusesFileName) {
    EXPECT_EQ(focus, test::FakeUiHost::Key(kMemoryDialog, kMemoryFileNameEdit));
  } else {
    EXPECT_EQ(focus, test::FakeUiHost::Key(0, 0));
  }
  if (c.accepted) {
    EXPECT_EQ(*result, std::string(c.folder) + "/" + c.fileName + ".csv");
    EXPECT_EQ(asked, *result);
  }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, MemoryDestination,
    ::testing::Values(
        DestinationCase{"Plain", "/tmp/m", "data", false, MessageAnswer::Ok, -1, MessageIcon::None, true, false},
        DestinationCase{"NoFolder", "", "data", false, MessageAnswer::Ok, TextNoDestinationFolder,
                        MessageIcon::Error, false, false},
        DestinationCase{"NoName", "/tmp/m", "", false, MessageAnswer::Ok, TextNoFileName, MessageIcon::Error, false,
                        true},
        DestinationCase{"Slash", "/tmp/m", "a/b", false, MessageAnswer::Ok, TextInvalidFileNameCharacters,
                        MessageIcon::Error, false, true},
        DestinationCase{"Semicolon", "/tmp/m", "a;b", false, MessageAnswer::Ok, TextInvalidFileNameCharacters,
                        MessageIcon::Error, false, true},
        DestinationCase{"ExistsReplace", "/tmp/m", "data", true, MessageAnswer::Yes, TextFileExistsOverwrite,
                        MessageIcon::Warning, true, false},
        DestinationCase{"ExistsKeep", "/tmp/m", "data", true, MessageAnswer::No, TextFileExistsOverwrite,
                        MessageIcon::Warning, false, false}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(MemoryDestinationRules, ForbiddenCharactersAndPaths) {
  for (char c : std::string("\\/:,;*?\"<>|")) {
    EXPECT_TRUE(hasForbiddenFileNameCharacter(std::string("a") + c)) << c;
  }
  EXPECT_FALSE(hasForbiddenFileNameCharacter("measure 2024-01.v2 データ"));
  EXPECT_EQ(memoryCsvPath("/data/", "x"), "/data/x.csv");
  EXPECT_EQ(memoryCsvPath("/", "x"), "/x.csv");
}

TEST(MemoryDestinationRules, OverwriteQuestionDefaultsToNo) {
  LanguageTable texts;
  texts.fill(kLanguageEnglish);
  test::FakeUiHost ui;
  EXPECT_FALSE(validateMemoryDestination("/tmp", "x", ui, texts, [](const std::string&) { return true; }));
  ASSERT_EQ(ui.messages().size(), 1u);
  EXPECT_EQ(ui.messages()[0].buttons, MessageButtons::YesNo);
  EXPECT_EQ(ui.messages()[0].defaultAnswer, MessageAnswer::No);
}

}  // namespace
}  // namespace lmv
