#include "qt_ui_host.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QFileInfo>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QPushButton>
#include <QTabBar>
#include <QTabWidget>
#include <QTableWidget>
#include <QThread>
#include <QTimer>
#include <QTreeWidget>

#include "dialog_units.h"
#include "picture_view.h"

namespace lmv::gui {
namespace {

QString qs(std::string_view text) { return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())); }

int intProperty(const QObject* o, const char* name) {
  bool ok = false;
  const int value = o->property(name).toInt(&ok);
  return ok ? value : -1;
}

QMessageBox::StandardButton standard(MessageAnswer a) {
  switch (a) {
    case MessageAnswer::Ok: return QMessageBox::Ok;
    case MessageAnswer::Cancel: return QMessageBox::Cancel;
    case MessageAnswer::Yes: return QMessageBox::Yes;
    case MessageAnswer::No: return QMessageBox::No;
    case MessageAnswer::Retry: return QMessageBox::Retry;
  }
  return QMessageBox::Ok;
}

// Whether a label in the same window names w (its buddy).
bool namedByLabel(const QWidget* w) {
  if (!w->parentWidget()) return false;
  for (const QLabel* label : w->parentWidget()->findChildren<QLabel*>())
    if (label->buddy() == w) return true;
  return false;
}

}  // namespace

QString plainCaption(const QString& caption) {
  QString text = caption.section(QLatin1Char('\t'), 0, 0);
  QString out;
  out.reserve(text.size());
  for (qsizetype i = 0; i < text.size(); ++i) {
    if (text[i] == QLatin1Char('&')) {
      if (i + 1 < text.size() && text[i + 1] == QLatin1Char('&')) {
        out += QLatin1Char('&');
        ++i;
      }
      continue;
    }
    out += text[i];
  }
  // "(&F)" style mnemonics leave "()" behind only when the letter was
  // marked inside brackets; keep the letter.
  return out.replace(QLatin1Char('\n'), QLatin1Char(' ')).trimmed();
}

QtUiHost::QtUiHost(QString applicationName, QObject* parent)
    : QObject(parent), applicationName_(std::move(applicationName)) {}

QtUiHost::~QtUiHost() {
  for (auto& [id, timer] : timers_) timer->stop();
}

void QtUiHost::setMenuBar(QMenuBar* menuBar) {
  menuBar_ = menuBar;
  actions_.clear();
}

void QtUiHost::rescan() {
  widgets_.clear();
  windows_.clear();
  for (QWidget* w : QApplication::allWidgets()) {
    const int dialog = intProperty(w, kDialogProperty);
    if (dialog < 0) continue;
    const int control = intProperty(w, kControlProperty);
    if (control < 0) {
      windows_[dialog] = w;
    } else {
      widgets_[{dialog, control}] = w;
    }
  }
}

QWidget* QtUiHost::widget(int dialog, int control) {
  auto it = widgets_.find({dialog, control});
  if (it != widgets_.end() && it->second) return it->second;
  rescan();
  it = widgets_.find({dialog, control});
  return it == widgets_.end() ? nullptr : it->second.data();
}

QWidget* QtUiHost::window(int dialog) {
  auto it = windows_.find(dialog);
  if (it != windows_.end() && it->second) return it->second;
  rescan();
  it = windows_.find(dialog);
  return it == windows_.end() ? nullptr : it->second.data();
}

QAction* QtUiHost::action(int command) {
  auto it = actions_.find(command);
  if (it != actions_.end() && it->second) return it->second;
  if (!menuBar_) return nullptr;
  actions_.clear();
  const QList<QAction*> bar = menuBar_->actions();
  std::vector<QAction*> pending(bar.begin(), bar.end());
  while (!pending.empty()) {
    QAction* a = pending.back();
    pending.pop_back();
    const int id = intProperty(a, kCommandProperty);
    if (id >= 0) actions_[id] = a;
    if (QMenu* m = a->menu()) {
      const QList<QAction*> items = m->actions();
      pending.insert(pending.end(), items.begin(), items.end());
    }
  }
  it = actions_.find(command);
  return it == actions_.end() ? nullptr : it->second.data();
}

void QtUiHost::setText(int dialog, int control, std::string_view text) {
  QWidget* w = widget(dialog, control);
  if (!w) return;
  const QString t = qs(text);
  if (auto* label = qobject_cast<QLabel*>(w)) {
    label->setText(t);
    // A caption names the control it labels (combo boxes, value displays),
    // in the current language.
    if (QWidget* buddy = label->buddy()) buddy->setAccessibleName(plainCaption(t).remove(QChar(0xFF1A)).trimmed());
  } else if (auto* button = qobject_cast<QAbstractButton*>(w)) {
    button->setText(t);
  } else if (auto* group = qobject_cast<QGroupBox*>(w)) {
    group->setTitle(t);
  } else if (auto* edit = qobject_cast<QLineEdit*>(w)) {
    edit->setText(t);
    // What the user types is the edit's value; its label gives its name.
    if (namedByLabel(edit)) return;
  } else {
    return;
  }
  if (w->property(kLiveProperty).toBool()) {
    w->setAccessibleDescription(t);
  } else {
    w->setAccessibleName(plainCaption(t));
  }
}

void QtUiHost::setEnabled(int dialog, int control, bool enabled) {
  if (QWidget* w = widget(dialog, control)) w->setEnabled(enabled);
}

void QtUiHost::setVisible(int dialog, int control, bool visible) {
  if (QWidget* w = widget(dialog, control)) w->setVisible(visible);
}

void QtUiHost::setComboItems(int dialog, int control, const std::vector<std::string>& items) {
  auto* combo = qobject_cast<QComboBox*>(widget(dialog, control));
  if (!combo) return;
  QSignalBlocker blocker(combo);
  combo->clear();
  for (const std::string& item : items) combo->addItem(qs(item));
  combo->setCurrentIndex(-1);
}

void QtUiHost::setComboSelection(int dialog, int control, int index) {
  QWidget* w = widget(dialog, control);
  // A tab control's selection is its current page.
  if (auto* tabs = qobject_cast<QTabWidget*>(w)) {
    if (index >= 0 && index < tabs->count()) tabs->setCurrentIndex(index);
    return;
  }
  auto* combo = qobject_cast<QComboBox*>(w);
  if (!combo) return;
  QSignalBlocker blocker(combo);
  combo->setCurrentIndex(index < combo->count() ? index : -1);
}

void QtUiHost::setMenuEnabled(int command, bool enabled) {
  if (QAction* a = action(command)) a->setEnabled(enabled);
}

void QtUiHost::setWindowTitle(int dialog, std::string_view title) {
  if (QWidget* w = window(dialog)) {
    w->setWindowTitle(qs(title));
    w->setAccessibleName(qs(title));
  }
}

void QtUiHost::setFocus(int dialog, int control) {
  QWidget* w = widget(dialog, control);
  if (!w) return;
  w->setFocus(Qt::OtherFocusReason);
  // An edit gets the focus with its whole text selected.
  if (auto* edit = qobject_cast<QLineEdit*>(w)) edit->selectAll();
}

void QtUiHost::setChecked(int dialog, int control, bool checked) {
  if (auto* b = qobject_cast<QAbstractButton*>(widget(dialog, control))) b->setChecked(checked);
}

void QtUiHost::setMenuChecked(int command, bool checked) {
  if (QAction* a = action(command)) {
    a->setCheckable(true);
    a->setChecked(checked);
  }
}

void QtUiHost::setMenuText(int command, std::string_view text) {
  if (QAction* a = action(command)) a->setText(qs(text));
}

void QtUiHost::setMenuBarText(int position, std::string_view text) {
  if (!menuBar_) return;
  const QList<QAction*> bar = menuBar_->actions();
  if (position < 0 || position >= bar.size()) return;
  bar[position]->setText(qs(text));
  if (QMenu* m = bar[position]->menu()) m->setTitle(qs(text));
}

void QtUiHost::setTabText(int dialog, int control, int index, std::string_view text) {
  QWidget* w = widget(dialog, control);
  if (auto* bar = qobject_cast<QTabBar*>(w)) {
    while (bar->count() <= index) bar->addTab(QString());
    bar->setTabText(index, qs(text));
  } else if (auto* tabs = qobject_cast<QTabWidget*>(w)) {
    if (index < tabs->count()) tabs->setTabText(index, qs(text));
  }
}

void QtUiHost::setColumnHeading(int dialog, int control, int column, std::string_view text) {
  QWidget* w = widget(dialog, control);
  if (auto* tree = qobject_cast<QTreeWidget*>(w)) {
    if (column < tree->columnCount()) tree->headerItem()->setText(column, qs(text));
  } else if (auto* table = qobject_cast<QTableWidget*>(w)) {
    if (column >= table->columnCount()) return;
    if (!table->horizontalHeaderItem(column)) table->setHorizontalHeaderItem(column, new QTableWidgetItem);
    table->horizontalHeaderItem(column)->setText(qs(text));
  } else if (auto* view = qobject_cast<QAbstractItemView*>(w)) {
    if (view->model()) view->model()->setHeaderData(column, Qt::Horizontal, qs(text));
  }
}

QImage QtUiHost::loadPicture(const QString& path, bool whiteTransparent) {
  const QString key = path + (whiteTransparent ? QStringLiteral("#t") : QString());
  auto it = pictures_.constFind(key);
  if (it != pictures_.constEnd()) return *it;
  QImage image(path);
  if (image.isNull()) return {};  // not cached: the file may appear later
  if (whiteTransparent) {
    image = image.convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < image.height(); ++y) {
      auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
      for (int x = 0; x < image.width(); ++x)
        if ((line[x] & 0xFFFFFFu) == 0xFFFFFFu) line[x] = 0;
    }
  }
  pictures_.insert(key, image);
  return image;
}

void QtUiHost::setPictures(int dialog, int control, const std::vector<PictureLayer>& layers) {
  auto* view = qobject_cast<PictureView*>(widget(dialog, control));
  if (!view) return;
  const std::vector<PictureView::Layer>& old = view->layers();
  std::vector<PictureView::Layer> next;
  QStringList names = view->names();
  while (names.size() < static_cast<qsizetype>(layers.size())) names.append(QString());
  for (size_t i = 0; i < layers.size(); ++i) {
    const QString path = QString::fromStdString(layers[i].path);
    QImage image = loadPicture(path, layers[i].whiteTransparent);
    if (image.isNull()) {
      // A picture that cannot be read is not redrawn.
      if (i < old.size()) next.push_back(old[i]);
      continue;
    }
    next.push_back({layers[i].x, std::move(image)});
    names[static_cast<qsizetype>(i)] = QFileInfo(path).completeBaseName();
  }
  view->setLayers(std::move(next));
  view->setNames(names);
}

void QtUiHost::setUnitFont(int dialog, int control, UnitFont font) {
  if (QWidget* w = widget(dialog, control)) w->setFont(font == UnitFont::FootCandle ? footCandleUnitFont() : unitFont());
}

void QtUiHost::setWindowVisible(int dialog, bool visible) {
  QWidget* w = window(dialog);
  if (!w) return;
  if (visible) {
    w->show();
    w->raise();
    // Its own dialogs were hidden and shown with it; what changed in them
    // meanwhile (a language switch) is painted anew.
    for (QWidget* child : w->findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
      if (child->isWindow() && child->isVisible()) child->update();
  } else {
    w->hide();
  }
}

std::optional<WindowPosition> QtUiHost::windowPosition(int dialog) {
  QWidget* w = window(dialog);
  if (!w) return std::nullopt;
  const QPoint p = w->pos();
  return WindowPosition{p.x(), p.y()};
}

void QtUiHost::moveWindow(int dialog, WindowPosition to) {
  if (QWidget* w = window(dialog)) w->move(to.x, to.y);
}

void QtUiHost::openDialog(int dialog) {
  QWidget* w = window(dialog);
  if (!w) return;
  w->setWindowModality(Qt::ApplicationModal);
  w->show();
  w->raise();
  w->activateWindow();
}

void QtUiHost::closeDialog(int dialog) {
  if (QWidget* w = window(dialog)) w->hide();
}

MessageAnswer QtUiHost::showMessage(const MessageRequest& request) {
  QMessageBox::StandardButtons buttons;
  switch (request.buttons) {
    case MessageButtons::Ok: buttons = QMessageBox::Ok; break;
    case MessageButtons::OkCancel: buttons = QMessageBox::Ok | QMessageBox::Cancel; break;
    case MessageButtons::YesNo: buttons = QMessageBox::Yes | QMessageBox::No; break;
    case MessageButtons::RetryCancel: buttons = QMessageBox::Retry | QMessageBox::Cancel; break;
  }
  QMessageBox::Icon icon = QMessageBox::NoIcon;
  switch (request.icon) {
    case MessageIcon::Error: icon = QMessageBox::Critical; break;
    case MessageIcon::Warning: icon = QMessageBox::Warning; break;
    case MessageIcon::Information: icon = QMessageBox::Information; break;
    case MessageIcon::Question: icon = QMessageBox::Question; break;
    case MessageIcon::None:
      // No icon asked for: an OK box warns, a Yes/No box asks.
      icon = request.buttons == MessageButtons::YesNo ? QMessageBox::Question : QMessageBox::Warning;
      break;
  }
  QWidget* owner = window(request.ownerDialog);
  if (owner && !owner->isVisible()) owner = window(kMainDialog);
  if (owner && !owner->isVisible()) owner = nullptr;
  QMessageBox box(icon, applicationName_, qs(request.text), buttons, owner);
  box.setFont(dialogFont());
  box.setDefaultButton(standard(request.defaultAnswer));
  box.setAccessibleName(applicationName_);
  switch (box.exec()) {
    case QMessageBox::Yes: return MessageAnswer::Yes;
    case QMessageBox::No: return MessageAnswer::No;
    case QMessageBox::Cancel: return MessageAnswer::Cancel;
    case QMessageBox::Retry: return MessageAnswer::Retry;
    default: break;
  }
  // Closed without a button: the box's escape answer.
  if (request.buttons == MessageButtons::YesNo) return MessageAnswer::No;
  if (request.buttons == MessageButtons::Ok) return MessageAnswer::Ok;
  return MessageAnswer::Cancel;
}

void QtUiHost::send(std::function<void()> handler) {
  if (QThread::currentThread() == thread()) {
    handler();
    return;
  }
  QMetaObject::invokeMethod(this, [&handler] { handler(); }, Qt::BlockingQueuedConnection);
}

void QtUiHost::post(std::function<void()> handler) {
  QMetaObject::invokeMethod(this, [handler = std::move(handler)] { handler(); }, Qt::QueuedConnection);
}

void QtUiHost::setTimer(int id, std::chrono::milliseconds period, std::function<void()> onTick) {
  QTimer*& timer = timers_[id];
  if (!timer) {
    timer = new QTimer(this);
    connect(timer, &QTimer::timeout, this, [this, id] {
      // A copy: the tick may set or kill this very timer.
      std::shared_ptr<std::function<void()>> handler = timerHandlers_[id];
      if (handler && *handler) (*handler)();
    });
  }
  timerHandlers_[id] = std::make_shared<std::function<void()>>(std::move(onTick));
  timer->start(static_cast<int>(period.count()));
}

void QtUiHost::killTimer(int id) {
  auto it = timers_.find(id);
  if (it == timers_.end()) return;
  it->second->stop();
  timerHandlers_[id].reset();
}

bool QtUiHost::timerRunning(int id) const {
  auto it = timers_.find(id);
  return it != timers_.end() && it->second->isActive();
}

}  // namespace lmv::gui
