#include "widget_ui_host.h"

#include <QAbstractButton>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QThread>

#include "record/control_ids.h"
#include "record/record_controls.h"

namespace lmv::test {
namespace {

bool isRecordPage(int dialog) {
  return dialog == kRecordInfoPage || dialog == kRecordListPage || dialog == kGraphPage;
}

}  // namespace

QWidget* WidgetUiHost::control(int dialog, int control) const {
  for (const auto& root : roots_) {
    if (QWidget* w = gui::findControl(root, dialog, control)) return w;
  }
  return nullptr;
}

QWidget* WidgetUiHost::widgetFor(int dialog, int id) {
  QWidget* w = control(dialog, id);
  if (!w && isRecordPage(dialog)) missing_.emplace_back(dialog, id);
  return w;
}

void WidgetUiHost::setText(int dialog, int control, std::string_view text) {
  texts_[{dialog, control}] = std::string(text);
  QWidget* w = widgetFor(dialog, control);
  const QString q = QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
  if (auto* label = qobject_cast<QLabel*>(w)) {
    label->setText(q);
  } else if (auto* edit = qobject_cast<QLineEdit*>(w)) {
    edit->setText(q);
  } else if (auto* button = qobject_cast<QAbstractButton*>(w)) {
    button->setText(q);
  } else if (auto* group = qobject_cast<QGroupBox*>(w)) {
    group->setTitle(q);
  }
}

void WidgetUiHost::setEnabled(int dialog, int control, bool enabled) {
  enabled_[{dialog, control}] = enabled;
  if (QWidget* w = widgetFor(dialog, control)) w->setEnabled(enabled);
}

void WidgetUiHost::setVisible(int dialog, int control, bool visible) {
  visible_[{dialog, control}] = visible;
  if (QWidget* w = widgetFor(dialog, control)) w->setVisible(visible);
}

MessageAnswer WidgetUiHost::showMessage(const MessageRequest& request) {
  messages_.push_back(request);
  if (answers_.empty()) return request.defaultAnswer;
  const MessageAnswer a = answers_.front();
  answers_.pop_front();
  return a;
}

void WidgetUiHost::send(std::function<void()> handler) {
  if (QThread::currentThread() == qApp->thread()) {
    handler();
    return;
  }
  QMetaObject::invokeMethod(qApp, std::move(handler), Qt::BlockingQueuedConnection);
}

void WidgetUiHost::post(std::function<void()> handler) {
  QMetaObject::invokeMethod(qApp, std::move(handler), Qt::QueuedConnection);
}

void WidgetUiHost::setTimer(int id, std::chrono::milliseconds period, std::function<void()> onTick) {
  auto timer = std::make_unique<QTimer>();
  timer->setInterval(period);
  QObject::connect(timer.get(), &QTimer::timeout, std::move(onTick));
  timer->start();
  timers_[id] = std::move(timer);
}

std::string WidgetUiHost::text(int dialog, int control) const {
  const auto it = texts_.find({dialog, control});
  return it == texts_.end() ? std::string() : it->second;
}

bool WidgetUiHost::enabled(int dialog, int control) const {
  const auto it = enabled_.find({dialog, control});
  return it == enabled_.end() || it->second;
}

bool WidgetUiHost::visible(int dialog, int control) const {
  const auto it = visible_.find({dialog, control});
  return it == visible_.end() || it->second;
}

std::string WidgetUiHost::windowTitle(int dialog) const {
  const auto it = titles_.find(dialog);
  return it == titles_.end() ? std::string() : it->second;
}

bool processEventsUntil(const std::function<bool()>& pred, std::chrono::milliseconds hangGuard) {
  QElapsedTimer clock;
  clock.start();
  while (!pred()) {
    if (clock.elapsed() > hangGuard.count()) return false;
    QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    QThread::msleep(1);
  }
  return true;
}

void processPendingEvents() {
  QCoreApplication::sendPostedEvents();
  QCoreApplication::processEvents();
}

}  // namespace lmv::test
