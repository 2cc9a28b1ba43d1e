// The main window on real widgets against the simulated meter.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QTimer>
#include <QComboBox>
#include <QLabel>
#include <QMenuBar>
#include <QProgressBar>
#include <QPushButton>
#include <QTabBar>
#include <QTest>
#include <QThread>
#include <atomic>
#include <set>
#include <thread>

#include "dialog_units.h"
#include "gui_fixture.h"
#include "link/port_numbering.h"
#include "main_window_widget.h"
#include "meter_dialogs.h"
#include "qt_ui_host.h"
#include "record/record_controls.h"
#include "ui/language_table.h"
#include "ui/main_window_controls.h"
#include "ui/monitor_controls.h"

namespace lmv::test {
namespace {

QString q(const std::string& s) { return QString::fromStdString(s); }

TEST_F(GuiTest, FirstStartShowsTheTitleEnglishAndGreyedItems) {
  startApp();
  gui::QtUiHost& host = app->host();
  EXPECT_EQ(app->window().windowTitle(), QStringLiteral("Lumetrevisor for LX5810/LX5811  Ver1.10"));
  QAction* english = host.action(kMenuEnglish);
  QAction* japanese = host.action(kMenuJapanese);
  ASSERT_TRUE(english && japanese);
  EXPECT_TRUE(english->isChecked());
  EXPECT_FALSE(english->isEnabled());
  EXPECT_FALSE(japanese->isChecked());
  EXPECT_TRUE(japanese->isEnabled());
  EXPECT_EQ(english->text(), QStringLiteral("English(&E)"));
  EXPECT_EQ(japanese->text(), QStringLiteral("日本語(&J)"));
  for (int command : {kMenuSave, kMenuSaveAs, kMenuSaveAsCsv, kMenuReadMemory})
    EXPECT_FALSE(host.action(command)->isEnabled()) << command;
  EXPECT_TRUE(host.action(kMenuOpen)->isEnabled());
  EXPECT_EQ(host.action(kMenuOpen)->text(), QStringLiteral("Open(&O)\tCtrl+O"));
  EXPECT_EQ(host.action(kMenuSaveAs)->text(), QStringLiteral("Save As...(&A)\tCtrl+Shift+S"));
  EXPECT_EQ(host.action(kMenuPdfManual)->text(), QStringLiteral("PDF Manual(&H)\tF1"));
  const QList<QAction*> bar = app->window().menuBar()->actions();
  ASSERT_EQ(bar.size(), 5);
  EXPECT_EQ(bar[0]->text(), QStringLiteral("File(&F)"));
  EXPECT_EQ(bar[1]->text(), QStringLiteral("Setting(&S)"));
  EXPECT_EQ(bar[4]->text(), QStringLiteral("Help(&H)"));
  for (int id : {kStartButton, kStopButton, kManualButton, kSaveButton, kClearButton, kCopyGraphButton,
                 kZeroAdjustButton})
    EXPECT_FALSE(control(kMainDialog, id)->isEnabled()) << id;
  EXPECT_FALSE(control(kMainDialog, kCopyGraphButton)->isVisible());
  EXPECT_FALSE(control(kMainDialog, kMonitorButton)->isVisible()) << "automatic connection is on at first start";
  EXPECT_EQ(app->window().pageTabs()->tabText(0), QStringLiteral("Record"));
  EXPECT_EQ(app->window().pageTabs()->tabText(1), QStringLiteral("Graph"));
  EXPECT_FALSE(app->window().windowIcon().isNull());
  // Fixed size.
  EXPECT_EQ(app->window().minimumSize(), app->window().maximumSize());
}

TEST_F(GuiTest, MonitorShowsTheMetersValueUnitRangeAndStatus) {
  sim::MeterConfig config;
  config.range = 3;
  config.source = sim::IlluminanceSource::constant(1234);
  startMeter(config);
  writeSettings(false, meter->portNumber());
  startApp();
  EXPECT_TRUE(control(kMainDialog, kMonitorButton)->isVisible());
  EXPECT_EQ(text(kMonitorButton), QStringLiteral("Monitor"));
  QTest::mouseClick(control(kMainDialog, kMonitorButton), Qt::LeftButton);
  ASSERT_TRUE(waitFor([&] { return monitoring(); }));
  // The manual connection went through the USB check dialog.
  EXPECT_EQ(text(kUsbCheckText, kUsbCheckDialog), QStringLiteral("Checking USB connection ...."));
  EXPECT_FALSE(app->host().window(kUsbCheckDialog)->isVisible());
  EXPECT_EQ(text(kValueText), QStringLiteral("1234"));
  EXPECT_EQ(text(kUnitText), QStringLiteral("lx"));
  EXPECT_FALSE(static_cast<QLabel*>(control(kMainDialog, kUnitText))->font().italic());
  EXPECT_EQ(text(kRangeLabelText), QStringLiteral("2000"));
  EXPECT_EQ(text(kModelStatus), QStringLiteral("LX5810"));
  EXPECT_EQ(text(kSerialNumberStatus), QStringLiteral("10000123"));
  EXPECT_EQ(text(kVersionStatus), QStringLiteral("1.00"));
  EXPECT_EQ(text(kPortStatus), q(portDisplayName(meter->portNumber())));
  EXPECT_EQ(text(kMonitorButton), QStringLiteral("Stop Monitor"));
  EXPECT_EQ(static_cast<QComboBox*>(control(kMainDialog, kRangeCombo))->currentText(), QStringLiteral("2000"));
  // Value displays tell screen readers what they show.
  EXPECT_EQ(control(kMainDialog, kValueText)->accessibleDescription(), text(kValueText));
  EXPECT_EQ(control(kMainDialog, kValueText)->accessibleName(), QStringLiteral("LUX"));
  ASSERT_TRUE(waitFor([&] { return pictures(kConnectionPicture) == QStringList{QStringLiteral("LX5810")}; }));
  EXPECT_TRUE(waitFor([&] { return text(kConnectionGroup) == QStringLiteral("Communicating..."); }));
  EXPECT_TRUE(waitFor([&] { return !text(kClockText).isEmpty(); }));
  EXPECT_TRUE(app->host().action(kMenuReadMemory)->isEnabled());
  EXPECT_TRUE(boxes.seen().empty());
}

TEST_F(GuiTest, FootCandlesShowInTheItalicUnitFont) {
  sim::MeterConfig config;
  config.range = 3;
  config.footCandle = true;
  startMeter(config);
  writeSettings(false, meter->portNumber());
  startApp();
  QTest::mouseClick(control(kMainDialog, kMonitorButton), Qt::LeftButton);
  ASSERT_TRUE(waitFor([&] { return text(kUnitText) == QStringLiteral("FC"); }));
  const QFont font = static_cast<QLabel*>(control(kMainDialog, kUnitText))->font();
  EXPECT_TRUE(font.italic());
  EXPECT_LT(font.pixelSize(), gui::unitFont().pixelSize()) << "the foot-candle face is the smaller one";
}

TEST_F(GuiTest, PicturesFollowTheStatus) {
  sim::MeterConfig config;
  config.range = 1;  // 20 lx: 500 lx is over range
  config.source = sim::IlluminanceSource::constant(500);
  config.buzzer = true;
  startMeter(config);
  writeSettings(false, meter->portNumber());
  startApp();
  // A meter port but no connection: the two "uu" pictures take turns.
  std::set<QString> seen;
  ASSERT_TRUE(waitFor([&] {
    seen.insert(pictures(kConnectionPicture).value(0));
    return seen.count(QStringLiteral("uu_a_LX5810")) && seen.count(QStringLiteral("uu_b_LX5810"));
  }));
  EXPECT_EQ(text(kConnectionGroup), QStringLiteral("UUT Unconnected"));
  QTest::mouseClick(control(kMainDialog, kMonitorButton), Qt::LeftButton);
  ASSERT_TRUE(waitFor([&] { return monitoring(); }));
  // Over range blinks; the buzzer is lit.
  std::set<QString> over;
  ASSERT_TRUE(waitFor([&] {
    over.insert(pictures(kIndicatorStrip).value(0));
    return over.count(QStringLiteral("st_over_on")) && over.count(QStringLiteral("st_over_off"));
  }));
  EXPECT_EQ(pictures(kIndicatorStrip).value(2), QStringLiteral("st_buzz_on"));
  EXPECT_EQ(pictures(kIndicatorStrip).value(1), QStringLiteral("st_output_off"));
}

TEST_F(GuiTest, NoMeterPortShowsTheUnpluggedPicturesInTurn) {
  writeSettings(false);
  startApp();
  std::set<QString> seen;
  ASSERT_TRUE(waitFor([&] {
    if (!pictures(kConnectionPicture).isEmpty()) seen.insert(pictures(kConnectionPicture).value(0));
    return seen.count(QStringLiteral("cf_a")) && seen.count(QStringLiteral("cf_b"));
  }));
  EXPECT_EQ(seen.size(), 2u);
}

TEST_F(GuiTest, MeterGoneWithoutAutomaticConnectionIsReported) {
  startMeter();
  writeSettings(false, meter->portNumber());
  startApp();
  QTest::mouseClick(control(kMainDialog, kMonitorButton), Qt::LeftButton);
  ASSERT_TRUE(waitFor([&] { return monitoring(); }));
  meter->simulator().hangUp();
  ASSERT_TRUE(waitFor([&] { return !boxes.seen().empty() && app->session().meterConnected == 0; }));
  const SeenBox box = boxes.seen().front();
  EXPECT_TRUE(box.text == q(languageTable()[TextNoResponse]) || box.text == q(languageTable()[TextCannotSendCommand]))
      << box.text.toStdString();
  EXPECT_EQ(box.icon, QMessageBox::Critical);
  EXPECT_EQ(box.caption, QStringLiteral("LX5810appli"));
  EXPECT_TRUE(waitFor([&] { return text(kMonitorButton) == QStringLiteral("Monitor"); }));
}

TEST_F(GuiTest, MeterGoneWithAutomaticConnectionIsSilentAndComesBack) {
  startMeter();
  writeSettings(true, meter->portNumber());
  startApp();
  ASSERT_TRUE(waitFor([&] { return monitoring(); }));
  meter->simulator().hangUp();
  ASSERT_TRUE(waitFor([&] { return app->session().meterConnected == 0; }));
  meter.reset();
  app->deviceWatcher().notifyChange();
  startMeter();
  app->deviceWatcher().notifyChange();
  ASSERT_TRUE(waitFor([&] { return monitoring(); }));
  EXPECT_TRUE(boxes.seen().empty());
  EXPECT_FALSE(control(kMainDialog, kMonitorButton)->isVisible());
}

TEST_F(GuiTest, EscAsksWithNoPreselectedAndNoKeepsTheProgram) {
  writeSettings(false);
  startApp();
  QTest::keyClick(&app->window(), Qt::Key_Escape);
  ASSERT_TRUE(waitFor([&] { return !boxes.seen().empty(); }));
  const SeenBox box = boxes.seen().front();
  EXPECT_EQ(box.text, QStringLiteral("This will exit the application.  \nDo you want to proceed?"));
  EXPECT_EQ(box.defaultButton, QMessageBox::No);
  EXPECT_EQ(box.icon, QMessageBox::Information);
  EXPECT_EQ(box.caption, QStringLiteral("LX5810appli"));
  QTest::qWait(100);
  EXPECT_FALSE(finished);
  EXPECT_TRUE(app->window().isVisible());
}

TEST_F(GuiTest, EscWhileMonitoringReturnsTheMeterToLocalBeforeTheEnd) {
  startMeter();
  writeSettings(false, meter->portNumber());
  startApp();
  QTest::mouseClick(control(kMainDialog, kMonitorButton), Qt::LeftButton);
  ASSERT_TRUE(waitFor([&] { return monitoring(); }));
  ASSERT_TRUE(exitApp());
  EXPECT_FALSE(app->window().isVisible());
  const auto log = meter->simulator().commandLog();
  ASSERT_FALSE(log.empty());
  EXPECT_EQ(log.back(), ":SYST:GTL");
  EXPECT_EQ(app->session().meterConnected, 0);
}

TEST_F(GuiTest, LanguageSwitchChangesEveryCaptionAndIsKeptAfterARestart) {
  writeSettings(false);
  startApp();
  const std::vector<int> captions{kMonitorGroup, kLuxCaption,   kModeCaption,  kRangeCaption, kMonitorButton,
                                  kConnectionGroup, kStatusGroup, kModelCaption, kPortCaption, kTimeCaption,
                                  kStartCaption, kStopCaption,  kStartButton,  kStopButton,   kManualButton,
                                  kCopyGraphButton, kSaveButton, kClearButton};
  std::vector<QString> english;
  for (int id : captions) english.push_back(text(id));
  app->host().action(kMenuJapanese)->trigger();
  ASSERT_TRUE(waitFor([&] { return text(kMonitorButton) == QStringLiteral("モニタ開始"); }));
  for (size_t i = 0; i < captions.size(); ++i) {
    if (captions[i] == kVersionCaption) continue;  // "Ver：" in both
    EXPECT_NE(text(captions[i]), english[i]) << captions[i];
  }
  EXPECT_EQ(app->window().menuBar()->actions()[0]->text(), QStringLiteral("ファイル(&F)"));
  EXPECT_EQ(app->host().action(kMenuExit)->text(), QStringLiteral("終了(&X)\tEsc"));
  EXPECT_EQ(app->window().pageTabs()->tabText(0), QStringLiteral("レコード"));
  EXPECT_TRUE(app->host().action(kMenuJapanese)->isChecked());
  EXPECT_FALSE(app->host().action(kMenuJapanese)->isEnabled());
  EXPECT_TRUE(app->host().action(kMenuEnglish)->isEnabled());
  EXPECT_FALSE(app->host().action(kMenuSave)->isEnabled());
  EXPECT_TRUE(waitFor([&] { return text(kConnectionGroup) == QStringLiteral("本体未接続"); }));
  EXPECT_TRUE(app->window().isVisible());

  ASSERT_TRUE(exitApp());
  stopApp();
  FillLanguageTable(kLanguageEnglish);
  startApp();
  EXPECT_EQ(text(kMonitorGroup), QStringLiteral("リアルタイムモニタ(測定値)"));
  EXPECT_TRUE(app->host().action(kMenuJapanese)->isChecked());
}

TEST_F(GuiTest, F1WithoutTheManualShowsShellError) {
  writeSettings(false);
  startApp();
  QTest::keyClick(&app->window(), Qt::Key_F1);
  ASSERT_TRUE(waitFor([&] { return !boxes.seen().empty(); }));
  EXPECT_EQ(boxes.seen().front().text, QStringLiteral("Shell Error "));
  EXPECT_EQ(boxes.seen().front().icon, QMessageBox::Warning);
  EXPECT_EQ(boxes.seen().front().caption, QStringLiteral("LX5810appli"));
}

TEST_F(GuiTest, ZeroAdjustmentWithTheCapOffOffersTryAgainAndCancel) {
  sim::MeterConfig config;
  config.capOn = false;
  startMeter(config);
  writeSettings(false, meter->portNumber());
  startApp();
  QTest::mouseClick(control(kMainDialog, kMonitorButton), Qt::LeftButton);
  ASSERT_TRUE(waitFor([&] { return monitoring() && control(kMainDialog, kZeroAdjustButton)->isEnabled(); }));
  QTest::mouseClick(control(kMainDialog, kZeroAdjustButton), Qt::LeftButton);
  gui::ZeroAdjustWindow& dialog = app->zeroAdjustWindow();
  ASSERT_TRUE(waitFor([&] { return dialog.isVisible(); }));
  ASSERT_TRUE(waitFor([&] { return text(kZeroAdjustMessage, kZeroAdjustDialog) == q(languageTable()[TextSensorCapNotFitted]); }));
  EXPECT_EQ(dialog.windowTitle(), QStringLiteral("Zero-Adjustment"));
  EXPECT_TRUE(dialog.tryAgainButton()->isVisible() && dialog.tryAgainButton()->isEnabled());
  EXPECT_TRUE(dialog.cancelButton()->isVisible() && dialog.cancelButton()->isEnabled());
  EXPECT_EQ(dialog.tryAgainButton()->text(), QStringLiteral("Try Again"));
  EXPECT_EQ(dialog.cancelButton()->text(), QStringLiteral("Cancel"));
  EXPECT_FALSE(dialog.progressBar()->isVisible());
  QTest::mouseClick(dialog.cancelButton(), Qt::LeftButton);
  ASSERT_TRUE(waitFor([&] { return !dialog.isVisible(); }));
  EXPECT_TRUE(waitFor([&] { return monitoring(); })) << "readings resume";
  EXPECT_TRUE(boxes.seen().empty());
}

TEST_F(GuiTest, ZeroAdjustmentWithTheCapOnClosesAndReadingsResume) {
  sim::MeterConfig config;
  config.zeroAdjustTime = std::chrono::milliseconds(500);
  startMeter(config);
  writeSettings(false, meter->portNumber());
  startApp();
  QTest::mouseClick(control(kMainDialog, kMonitorButton), Qt::LeftButton);
  ASSERT_TRUE(waitFor([&] { return monitoring() && control(kMainDialog, kZeroAdjustButton)->isEnabled(); }));
  QTest::mouseClick(control(kMainDialog, kZeroAdjustButton), Qt::LeftButton);
  gui::ZeroAdjustWindow& dialog = app->zeroAdjustWindow();
  ASSERT_TRUE(waitFor([&] { return dialog.isVisible(); }));
  EXPECT_TRUE(dialog.progressBar()->isVisible());
  EXPECT_EQ(dialog.progressBar()->maximum(), 0) << "a marquee bar";
  EXPECT_FALSE(dialog.cancelButton()->isVisible());
  ASSERT_TRUE(waitFor([&] { return !dialog.isVisible(); }));
  EXPECT_TRUE(waitFor([&] { return monitoring(); }));
  const auto log = meter->simulator().commandLog();
  EXPECT_NE(std::find(log.begin(), log.end(), ":0ADJUST"), log.end());
}

TEST_F(GuiTest, AboutShowsTheProgramsNameAndVersion) {
  writeSettings(false);
  startApp();
  QString title, name;
  QTimer::singleShot(0, [&] {
    waitFor([&] {
      for (QWidget* w : QApplication::topLevelWidgets())
        if (auto* about = qobject_cast<gui::AboutWindow*>(w); about && about->isVisible()) {
          title = about->windowTitle();
          name = qobject_cast<QLabel*>(app->host().widget(kAboutDialog, 1))->text();
          about->accept();
          return true;
        }
      return false;
    });
  });
  app->host().action(kMenuAbout)->trigger();
  EXPECT_EQ(title, QStringLiteral("About"));
  EXPECT_EQ(name, QStringLiteral("Lumetrevisor for LX5810/LX5811  Ver1.10"));
}

TEST(QtUiHostThreads, SendRunsAtOnceOnTheGuiThreadAndWaitsFromAWorker) {
  gui::QtUiHost host(QStringLiteral("test"));
  bool ran = false;
  host.send([&] { ran = true; });
  EXPECT_TRUE(ran) << "on the GUI thread the handler runs at once";

  std::atomic<bool> returned{false};
  QThread* ranOn = nullptr;
  std::thread worker([&] {
    host.send([&] { ranOn = QThread::currentThread(); });
    returned = true;
  });
  ASSERT_TRUE(waitFor([&] { return returned.load(); }));
  worker.join();
  EXPECT_EQ(ranOn, QThread::currentThread());

  // post is queued: it runs only when events are processed.
  bool posted = false;
  host.post([&] { posted = true; });
  EXPECT_FALSE(posted);
  EXPECT_TRUE(waitFor([&] { return posted; }));
}

}  // namespace
}  // namespace lmv::test
