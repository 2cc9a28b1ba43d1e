// The clear dialog as a real modal dialog: Enter takes the default "Clear
// last 1 data", "All Clear" empties the store, Esc and the close box clear
// nothing.
#include "record/clear_dialog.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QPushButton>
#include <QTableView>
#include <QTest>
#include <QTimer>
#include <functional>
#include <optional>

#include "record/control_ids.h"
#include "record_side.h"

namespace lmv {
namespace {

using test::RecordSide;

// Runs the dialog modally; `user` acts on it once it is up.
std::optional<bool> askWith(gui::ClearDialog& dialog, std::function<void(gui::ClearDialog&)> user) {
  QTimer::singleShot(0, &dialog, [&dialog, user] {
    test::processEventsUntil([&] { return dialog.isVisible(); });
    user(dialog);
  });
  return dialog.ask();
}

struct ClearCase {
  const char* name;
  std::function<void(gui::ClearDialog&)> user;
  std::optional<bool> choice;
  int rowsLeft;  // of three
};

class ClearDialogChoice : public ::testing::TestWithParam<ClearCase> {};

TEST_P(ClearDialogChoice, ClearsWhatWasChosen) {
  RecordSide side;
  side.putValue(1234);
  for (int i = 0; i < 3; ++i) side.recording.onManual();
  gui::ClearDialog dialog(side.texts);
  const std::optional<bool> choice = askWith(dialog, GetParam().user);
  EXPECT_EQ(choice, GetParam().choice);
  if (choice) side.recording.clearRecords(*choice);
  EXPECT_EQ(side.list->table()->model()->rowCount(), GetParam().rowsLeft);
  EXPECT_EQ(side.recording.store().state.recordCount, GetParam().rowsLeft);
}

INSTANTIATE_TEST_SUITE_P(
    Keys, ClearDialogChoice,
    ::testing::Values(
        ClearCase{"Enter", [](gui::ClearDialog& d) { QTest::keyClick(&d, Qt::Key_Return); }, false, 2},
        ClearCase{"Escape", [](gui::ClearDialog& d) { QTest::keyClick(&d, Qt::Key_Escape); }, std::nullopt, 3},
        ClearCase{"CloseBox", [](gui::ClearDialog& d) { d.close(); }, std::nullopt, 3},
        ClearCase{"AllClear", [](gui::ClearDialog& d) { d.allClearButton()->click(); }, true, 0},
        ClearCase{"ClearLast", [](gui::ClearDialog& d) { d.clearLastButton()->click(); }, false, 2}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(ClearDialog, TakesItsTextsEachTimeItOpensAndCarriesItsIds) {
  LanguageTable texts;
  texts.fill(kLanguageEnglish);
  gui::ClearDialog dialog(texts);
  EXPECT_EQ(dialog.property("lmvDialog").toInt(), gui::kClearDialog);
  EXPECT_EQ(gui::findControl(&dialog, gui::kClearDialog, gui::kAllClearButton), dialog.allClearButton());
  EXPECT_EQ(gui::findControl(&dialog, gui::kClearDialog, gui::kClearLastButton), dialog.clearLastButton());
  EXPECT_TRUE(dialog.clearLastButton()->isDefault());
  EXPECT_FALSE(dialog.allClearButton()->isDefault());

  const auto texts1 = [&](gui::ClearDialog& d) {
    EXPECT_EQ(d.windowTitle(), QStringLiteral("Clear"));
    EXPECT_EQ(d.allClearButton()->text(), QStringLiteral("All Clear"));
    EXPECT_EQ(d.clearLastButton()->text(), QStringLiteral("Clear last 1 data"));
    d.reject();
  };
  askWith(dialog, texts1);
  texts.fill(kLanguageJapanese);
  askWith(dialog, [](gui::ClearDialog& d) {
    EXPECT_EQ(d.windowTitle(), QStringLiteral("消去"));
    EXPECT_EQ(d.allClearButton()->text(), QStringLiteral("全消去"));
    EXPECT_EQ(d.clearLastButton()->text(), QStringLiteral("最後の1データを消去"));
    d.reject();
  });
}

}  // namespace
}  // namespace lmv
