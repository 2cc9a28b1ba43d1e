// What accepted settings change outside the settings dialog: the record
// information panel, the graph's interval, the record list in the new time
// form, and a port change that ends a recording and the monitor.
#include <gtest/gtest.h>

#include <QAction>
#include <QComboBox>
#include <QTableView>

#include "link/explicit_ports.h"
#include "record/record_pages.h"
#include "record/record_list_widget.h"
#include "record_gui_fixture.h"
#include "settings_window.h"
#include "ui/settings_controls.h"

namespace lmv::test {
namespace {

class SettingsEffectsGuiTest : public RecordGuiTest {
 protected:
  void openSettings() {
    app->host().action(kMenuSetting)->trigger();
    ASSERT_TRUE(waitFor([&] { return app->settingsWindow().isVisible(); }));
  }
  void pressOk() {
    QTest::mouseClick(qobject_cast<QPushButton*>(control(kSettingsDialog, kSettingsOk)), Qt::LeftButton);
    ASSERT_TRUE(waitFor([&] { return !app->settingsWindow().isVisible(); }));
  }
  QComboBox* combo(int page, int id) { return qobject_cast<QComboBox*>(control(page, id)); }
  QString listTime(int row) {
    QAbstractItemModel* model = app->recordPages().list()->table()->model();
    return model->data(model->index(row, 0)).toString();
  }
};

TEST_F(SettingsEffectsGuiTest, TheInformationPanelAndTheGraphFollowTheInterval) {
  writeSettings(false);
  startApp();
  EXPECT_EQ(text(kInfoInterval, kRecordInfoPage), QStringLiteral("1s"));
  openSettings();
  auto* minutes = qobject_cast<QLineEdit*>(control(kRecordPage, kIntervalMinutesEdit));
  minutes->selectAll();
  QTest::keyClicks(minutes, QStringLiteral("2"));
  pressOk();
  EXPECT_EQ(text(kInfoInterval, kRecordInfoPage), QStringLiteral("2m 1s"));
  EXPECT_EQ(app->recording().graph().state().graphIntervalSeconds, 121);
  EXPECT_TRUE(exitApp());
}

TEST_F(SettingsEffectsGuiTest, RelativeTimeRelistsThePageFromZero) {
  startConnected(3);
  recordRun(3);
  ASSERT_TRUE(listTime(0).contains(QLatin1Char('/'))) << listTime(0).toStdString();
  const QString maxLine = listText(kMaxLine);
  openSettings();
  QComboBox* mode = combo(kRecordPage, kTimeDisplayCombo);
  mode->setCurrentIndex(1);
  emit mode->activated(1);
  pressOk();
  EXPECT_EQ(listTime(0), QStringLiteral("00:00:00"));
  EXPECT_EQ(listTime(1), QStringLiteral("00:00:01"));
  EXPECT_EQ(listTime(2), QStringLiteral("00:00:02"));
  EXPECT_TRUE(listText(kMaxLine).startsWith(QStringLiteral("00:00:0"))) << listText(kMaxLine).toStdString();
  EXPECT_NE(listText(kMaxLine), maxLine);
}

// The port list is disabled while a recording runs, but a device change may
// still change the chosen port: the meter's port vanished and another meter
// is the first port left.
TEST_F(SettingsEffectsGuiTest, APortChangeDuringARecordingStopsItAndTheMonitor) {
  startConnected(1000);
  SimulatedMeter other;
  click(kStartButton);
  ASSERT_TRUE(waitFor([&] { return records() >= 2; }));
  openSettings();
  EXPECT_FALSE(combo(kCommPage, kPortCombo)->isEnabled());
  ExplicitPorts::instance().remove(meter->path());
  app->logic().onDeviceChange();
  ASSERT_EQ(combo(kCommPage, kPortCombo)->count(), 1);
  pressOk();
  ASSERT_TRUE(waitFor([&] { return !app->recording().isRecording() && !monitoring(); }));
  EXPECT_EQ(currentPort.load(), other.portNumber());
  EXPECT_FALSE(app->logic().monitor().measurementRunning());
  // The run ended: no sample comes any more.
  const int taken = records();
  QTest::qWait(1500);
  EXPECT_EQ(records(), taken);
  EXPECT_FALSE(button(kStartButton)->isEnabled());
  EXPECT_EQ(text(kMonitorButton), QStringLiteral("Monitor"));
}

}  // namespace
}  // namespace lmv::test
