#pragma once
// The desktop program connected to a simulated meter with a short record
// setting, and the file dialogs answered as they come up: what the tests of
// the record side, the settings' effects on it and the journal share.
#include <QApplication>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <deque>

#include "gui_fixture.h"
#include "main_window_widget.h"
#include "qt_ui_host.h"
#include "record/record_controls.h"
#include "record/recording.h"
#include "record/window_title.h"
#include "ui/main_window_controls.h"
#include "ui/monitor_controls.h"

namespace lmv::test {

// Names the file in the next file dialogs that come up and accepts them.
class FileDialogAnswers : public QObject {
 public:
  explicit FileDialogAnswers(std::deque<QString> paths) : paths_(std::move(paths)) {
    connect(&timer_, &QTimer::timeout, this, [this] { tick(); });
    timer_.start(10);
  }
  int shown() const { return shown_; }

 private:
  void tick() {
    auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
    if (!dialog || dialog->property("lmvAnswered").toBool()) return;
    dialog->setProperty("lmvAnswered", true);
    ++shown_;
    if (paths_.empty()) {
      QMetaObject::invokeMethod(dialog, "reject", Qt::QueuedConnection);
      return;
    }
    const QFileInfo file(paths_.front());
    paths_.pop_front();
    dialog->setDirectory(file.absolutePath());
    if (auto* edit = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"))) edit->setText(file.fileName());
    QMetaObject::invokeMethod(dialog, "accept", Qt::QueuedConnection);
  }

  QTimer timer_;
  std::deque<QString> paths_;
  int shown_ = 0;
};

inline QString programTitle() { return QString::fromUtf8(kProgramTitle.data(), static_cast<qsizetype>(kProgramTitle.size())); }

class RecordGuiTest : public GuiTest {
 protected:
  // Connects to a simulated meter with a record setting of count samples
  // one second apart, and waits until Start can be used.
  void startConnected(int count) {
    startMeter();
    writeSettings(false, meter->portNumber(), 1, [count](AppSettings& s) {
      s.totalMode = 0;
      s.dataCount = count;
      s.intervalMode = 0;
      s.intervalHours = 0;
      s.intervalMinutes = 0;
      s.intervalSeconds = 1;
    });
    startApp();
    QTest::mouseClick(control(kMainDialog, kMonitorButton), Qt::LeftButton);
    ASSERT_TRUE(waitFor([&] { return monitoring(); }));
    ASSERT_TRUE(waitFor([&] {
      return button(kStartButton)->isEnabled() && app->session().block.statusInvalid() == 0;
    }));
  }
  QPushButton* button(int id) { return qobject_cast<QPushButton*>(control(kMainDialog, id)); }
  void click(int id) { QTest::mouseClick(button(id), Qt::LeftButton); }
  // The window's focus widget: the one with the focus whenever the window
  // is active (the offscreen platform activates it at its own pace).
  bool focused(int id) { return app->window().focusWidget() == button(id); }
  int records() { return static_cast<int>(app->recording().store().records.size()); }
  // Records count samples through Start and waits for the run to end.
  void recordRun(int count) {
    click(kStartButton);
    ASSERT_TRUE(waitFor([&] { return !app->recording().isRecording() && records() >= count; }));
  }
  QString listText(int id) {
    auto* label = qobject_cast<QLabel*>(control(kRecordListPage, id));
    return label ? label->text() : QString();
  }
};

}  // namespace lmv::test
