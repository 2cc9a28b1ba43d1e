#include "screenshots.h"

#include <QDir>
#include <QElapsedTimer>
#include <QLabel>
#include <QTimer>

#include "desktop_app.h"
#include "record/recording.h"
#include "main_window_widget.h"
#include "qt_ui_host.h"
#include "ui/language_table.h"
#include "ui/main_window_controls.h"
#include "ui/monitor_controls.h"

namespace lmv::gui {
namespace {

constexpr int kPollMs = 100;
constexpr qint64 kLimitMs = 120000;
// Frames of the clock thread after a change, so that pictures and clock
// are drawn.
constexpr int kSettleMs = 1500;
// Samples of the short recording the pictures show.
constexpr size_t kShownSamples = 3;

bool valueShown(DesktopApp& app) {
  auto* label = qobject_cast<QLabel*>(app.host().widget(kMainDialog, kValueText));
  return app.session().meterConnected == 1 && label && !label->text().isEmpty();
}

}  // namespace

void takeScreenshots(DesktopApp& app, const QString& directory, std::function<void(bool)> done) {
  QDir().mkpath(directory);
  auto* timer = new QTimer(&app);
  auto clock = std::make_shared<QElapsedTimer>();
  clock->start();
  auto step = std::make_shared<int>(0);
  auto settledAt = std::make_shared<qint64>(-1);
  QObject::connect(timer, &QTimer::timeout, &app, [&app, directory, done, timer, clock, step, settledAt] {
    if (clock->elapsed() > kLimitMs) {
      timer->stop();
      timer->deleteLater();
      done(false);
      return;
    }
    if (!valueShown(app)) return;
    // A short recording first, so that the list, the MAX and MIN lines and
    // the start and stop times have something to show.
    Recording& recording = app.recording();
    if (recording.store().records.size() < kShownSamples) {
      if (!recording.isRecording() && app.session().block.statusInvalid() == 0) recording.onStart();
      return;
    }
    if (recording.isRecording()) recording.onStop();
    if (*settledAt < 0) *settledAt = clock->elapsed();
    if (clock->elapsed() - *settledAt < kSettleMs) return;
    const bool english = languageTable().language() == kLanguageEnglish;
    app.window().grab().save(QDir(directory).filePath(english ? QStringLiteral("main-window-en.png")
                                                              : QStringLiteral("main-window-ja.png")));
    if (++*step == 2) {
      timer->stop();
      timer->deleteLater();
      done(true);
      return;
    }
    app.logic().onLanguageCommand(english ? kMenuJapanese : kMenuEnglish);
    *settledAt = clock->elapsed();
  });
  timer->start(kPollMs);
}

}  // namespace lmv::gui
