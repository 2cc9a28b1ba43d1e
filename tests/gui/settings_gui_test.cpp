// The settings dialog on real widgets, opened from the Setting menu.
#include <gtest/gtest.h>

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPalette>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QTest>

#include "gui_fixture.h"
#include "qt_ui_host.h"
#include "settings_window.h"
#include "ui/main_window_controls.h"
#include "ui/settings_controls.h"

namespace lmv::test {
namespace {

class SettingsGuiTest : public GuiTest {
 protected:
  void openSettings() {
    app->host().action(kMenuSetting)->trigger();
    ASSERT_TRUE(waitFor([&] { return app->settingsWindow().isVisible(); }));
  }
  QLineEdit* edit(int page, int id) { return qobject_cast<QLineEdit*>(control(page, id)); }
  QAbstractButton* button(int page, int id) { return qobject_cast<QAbstractButton*>(control(page, id)); }
  void type(int page, int id, const QString& text) {
    QLineEdit* e = edit(page, id);
    ASSERT_NE(e, nullptr) << id;
    e->selectAll();
    QTest::keyClick(e, Qt::Key_Delete);
    QTest::keyClicks(e, text);
  }
};

TEST_F(SettingsGuiTest, PagesOnWhiteWithTheirTextLimits) {
  writeSettings(false);
  startApp();
  openSettings();
  gui::SettingsWindow& w = app->settingsWindow();
  EXPECT_EQ(w.windowTitle(), QStringLiteral("Setting"));
  ASSERT_EQ(w.tabs()->count(), 3);
  EXPECT_EQ(w.tabs()->tabText(1), QStringLiteral("Record Setting"));
  for (int i = 0; i < 3; ++i) {
    EXPECT_TRUE(w.tabs()->widget(i)->autoFillBackground());
    EXPECT_EQ(w.tabs()->widget(i)->palette().color(QPalette::Window), QColor(Qt::white));
  }
  EXPECT_EQ(edit(kSavePage, kCompanyEdit)->maxLength(), 256);
  EXPECT_EQ(edit(kSavePage, kDateEdit)->maxLength(), 64);
  EXPECT_EQ(edit(kSavePage, kHumidityEdit)->maxLength(), 32);
  EXPECT_EQ(edit(kSavePage, kMemoEdit)->maxLength(), 512);
  button(kSettingsDialog, kSettingsCancel)->click();
  EXPECT_FALSE(w.isVisible());
  EXPECT_TRUE(exitApp());
}

TEST_F(SettingsGuiTest, ZeroIntervalIsRefusedWithTheFocusInTheSeconds) {
  writeSettings(false);
  startApp();
  openSettings();
  type(kRecordPage, kIntervalHoursEdit, "0");
  type(kRecordPage, kIntervalMinutesEdit, "0");
  type(kRecordPage, kIntervalSecondsEdit, "0");
  app->settingsWindow().tabs()->setCurrentIndex(0);
  boxes.clear();
  button(kSettingsDialog, kSettingsOk)->click();
  ASSERT_TRUE(waitFor([&] { return !boxes.seen().empty(); }));
  EXPECT_EQ(boxes.seen().front().text, QStringLiteral("Please enter more than or equal to 1 sec."));
  EXPECT_EQ(boxes.seen().front().icon, QMessageBox::Warning);
  EXPECT_TRUE(app->settingsWindow().isVisible());
  EXPECT_EQ(app->settingsWindow().tabs()->currentIndex(), 1);
  EXPECT_EQ(app->settingsWindow().focusWidget(), edit(kRecordPage, kIntervalSecondsEdit));
  EXPECT_EQ(edit(kRecordPage, kIntervalSecondsEdit)->selectedText(), QStringLiteral("0"));
  button(kSettingsDialog, kSettingsCancel)->click();
  EXPECT_EQ(app->logic().settings().intervalSeconds, 1);
  EXPECT_TRUE(exitApp());
}

TEST_F(SettingsGuiTest, CommaDecimalSwitchesTheSeparatorToSemicolon) {
  writeSettings(false);
  startApp();
  openSettings();
  EXPECT_TRUE(button(kSavePage, kCommaSeparatorRadio)->isChecked());
  button(kSavePage, kCommaDecimalRadio)->click();
  EXPECT_TRUE(button(kSavePage, kCommaDecimalRadio)->isChecked());
  EXPECT_TRUE(button(kSavePage, kSemicolonSeparatorRadio)->isChecked());
  EXPECT_FALSE(button(kSavePage, kCommaSeparatorRadio)->isChecked());
  button(kSettingsDialog, kSettingsOk)->click();
  EXPECT_FALSE(app->settingsWindow().isVisible());
  EXPECT_EQ(app->logic().settings().decimalSymbol, 1);
  EXPECT_EQ(app->logic().settings().listSeparator, 1);
  EXPECT_TRUE(exitApp());
}

TEST_F(SettingsGuiTest, CancelRestoresEveryValue) {
  writeSettings(false);
  startApp();
  const AppSettings before = app->logic().settings();
  openSettings();
  button(kSavePage, kCommaDecimalRadio)->click();
  button(kRecordPage, kByRecordTimeRadio)->click();
  button(kSavePage, kMemoCheck)->click();
  button(kSavePage, kTypedDateRadio)->click();
  type(kSavePage, kTitleEdit, QStringLiteral("Changed"));
  type(kRecordPage, kIntervalSecondsEdit, QStringLiteral("5"));
  emit qobject_cast<QComboBox*>(control(kRecordPage, kTimeDisplayCombo))->activated(1);
  app->settingsWindow().tabs()->setCurrentIndex(2);
  QTest::keyClick(&app->settingsWindow(), Qt::Key_Escape);
  EXPECT_FALSE(app->settingsWindow().isVisible());
  AppSettings after = app->logic().settings();
  after.dateText = before.dateText;  // the automatic date of the opening
  EXPECT_EQ(after, before);
  openSettings();
  EXPECT_EQ(app->settingsWindow().tabs()->currentIndex(), 2) << "the page is kept";
  EXPECT_TRUE(button(kSavePage, kPeriodDecimalRadio)->isChecked());
  EXPECT_TRUE(button(kSavePage, kCommaSeparatorRadio)->isChecked());
  EXPECT_TRUE(button(kRecordPage, kByDataCountRadio)->isChecked());
  EXPECT_TRUE(button(kSavePage, kMemoCheck)->isChecked());
  EXPECT_TRUE(button(kSavePage, kAutoDateRadio)->isChecked());
  EXPECT_EQ(edit(kSavePage, kTitleEdit)->text(), QString());
  EXPECT_EQ(edit(kRecordPage, kIntervalSecondsEdit)->text(), QStringLiteral("1"));
  button(kSettingsDialog, kSettingsCancel)->click();
  EXPECT_TRUE(exitApp());
}

}  // namespace
}  // namespace lmv::test
