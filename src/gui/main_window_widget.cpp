#include "main_window_widget.h"

#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QFrame>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLayout>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QMoveEvent>
#include <QPainter>
#include <QPushButton>
#include <QTabBar>

#include "dialog_units.h"
#include "picture_view.h"
#include "qt_ui_host.h"
#include "record/record_controls.h"
#include "ui/main_window_controls.h"
#include "ui/monitor_controls.h"

namespace lmv::gui {
namespace {

constexpr int kTemplateWidth = 463;
constexpr int kTemplateHeight = 371;

template <typename W>
W* place(QWidget* parent, int control, int x, int y, int w, int h) {
  auto* widget = new W(parent);
  widget->setProperty(kDialogProperty, kMainDialog);
  widget->setProperty(kControlProperty, control);
  widget->setGeometry(dialogRect(x, y, w, h));
  return widget;
}

// A value display: its text is what it shows, its name what it is.
QLabel* valueLabel(QWidget* parent, int control, int x, int y, int w, int h, const char* name) {
  QLabel* label = place<QLabel>(parent, control, x, y, w, h);
  label->setProperty(kLiveProperty, true);
  label->setAccessibleName(QString::fromLatin1(name));
  return label;
}

QAction* command(QMenu* menu, int id, const char* text) {
  QAction* a = menu->addAction(QString::fromUtf8(text));
  a->setProperty(kCommandProperty, id);
  return a;
}

}  // namespace

QIcon programIcon() {
  QPixmap pixmap(32, 32);
  pixmap.fill(Qt::transparent);
  QPainter p(&pixmap);
  p.setRenderHint(QPainter::Antialiasing);
  p.setPen(QPen(QColor(0x30, 0x30, 0x30), 2));
  p.setBrush(QColor(0xFF, 0xD0, 0x30));
  p.drawEllipse(QRectF(9, 2, 14, 14));
  p.setBrush(QColor(0x20, 0x5C, 0xC0));
  p.drawRoundedRect(QRectF(6, 14, 20, 16), 3, 3);
  p.end();
  return QIcon(pixmap);
}

MainWindowWidget::MainWindowWidget(QWidget* parent) : QMainWindow(parent) {
  setProperty(kDialogProperty, kMainDialog);
  setWindowIcon(programIcon());
  setFont(dialogFont());
  setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                 Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint);
  buildMenu();
  auto* client = new QWidget(this);
  client->setFixedSize(dialogSize(kTemplateWidth, kTemplateHeight));
  buildControls(client);
  setCentralWidget(client);
  // Not resizable: the size follows from the client area and the menu bar.
  layout()->setSizeConstraint(QLayout::SetFixedSize);
  qApp->installEventFilter(this);
}

MainWindowWidget::~MainWindowWidget() { qApp->removeEventFilter(this); }

void MainWindowWidget::buildMenu() {
  QMenuBar* bar = menuBar();
  QMenu* file = bar->addMenu(QString());
  command(file, kMenuOpen, "");
  command(file, kMenuSave, "");
  command(file, kMenuSaveAs, "");
  file->addSeparator();
  command(file, kMenuSaveAsCsv, "");
  file->addSeparator();
  command(file, kMenuExit, "");
  QAction* setting = bar->addAction(QString());
  setting->setProperty(kCommandProperty, kMenuSetting);
  QMenu* option = bar->addMenu(QString());
  command(option, kMenuReadMemory, "");
  command(option, kMenuPasteToExcel, "");
  QMenu* language = bar->addMenu(QString());
  command(language, kMenuJapanese, "日本語(&J)")->setCheckable(true);
  command(language, kMenuEnglish, "English(&E)")->setCheckable(true);
  QMenu* help = bar->addMenu(QString());
  command(help, kMenuPdfManual, "");
  command(help, kMenuAbout, "");

  for (QMenu* menu : {file, option, language, help}) {
    for (QAction* a : menu->actions()) {
      const int id = a->property(kCommandProperty).toInt();
      if (id) connect(a, &QAction::triggered, this, [this, id] { emit commandTriggered(id); });
    }
  }
  connect(setting, &QAction::triggered, this, [this] { emit commandTriggered(kMenuSetting); });
}

void MainWindowWidget::buildControls(QWidget* c) {
  // Group boxes first, so that they lie below the controls inside them.
  place<QGroupBox>(c, kMonitorGroup, 5, 12, 222, 109);
  auto* strip = place<QGroupBox>(c, kIndicatorGroup, 5, 116, 222, 55);
  strip->setAccessibleName(QStringLiteral("Indicators"));
  place<QGroupBox>(c, kConnectionGroup, 5, 175, 222, 137);
  place<QGroupBox>(c, kStatusGroup, 5, 316, 222, 49);
  place<QGroupBox>(c, kStartGroup, 233, 321, 111, 20)->setAccessibleName(QStringLiteral("Start time"));
  place<QGroupBox>(c, kStopGroup, 343, 321, 111, 20)->setAccessibleName(QStringLiteral("Stop time"));

  // The tab control: its items, and the pages in the frame below them.
  auto* frame = new QFrame(c);
  frame->setFrameShape(QFrame::StyledPanel);
  frame->setGeometry(dialogRect(233, 14, 222, 309));
  tabs_ = place<QTabBar>(c, kPageTabs, 233, 1, 222, 14);
  tabs_->setExpanding(false);
  tabs_->setDrawBase(false);
  tabs_->setUsesScrollButtons(false);
  tabs_->setAccessibleName(QStringLiteral("Pages"));
  tabs_->addTab(QString());
  tabs_->addTab(QString());
  const struct {
    int id;
    int y;
    int h;
    const char* name;
  } pages[] = {{kRecordInfoPage, 17, 81, "Record information"},
               {kRecordListPage, 98, 223, "Record list"},
               {kGraphPage, 98, 223, "Graph"}};
  for (const auto& p : pages) {
    QWidget* page = place<QWidget>(c, p.id, 235, p.y, 219, p.h);
    page->setAccessibleName(QString::fromLatin1(p.name));
    pages_[p.id] = page;
  }

  valueLabel(c, kAdLabel, 140, 5, 20, 8, "AD");
  valueLabel(c, kAdValue, 155, 0, 70, 16, "AD value")->setFont(unitFont());
  QLabel* luxCaption = place<QLabel>(c, kLuxCaption, 16, 28, 70, 8);
  QLabel* value = valueLabel(c, kValueText, 11, 40, 130, 50, "Measured value");
  luxCaption->setBuddy(value);
  value->setFont(valueFont());
  value->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
  // The unit sits in the value's lower right corner: the value keeps clear of it.
  value->setContentsMargins(0, 0, dialogRect(0, 0, 141 - 117 + 2, 0).width(), 0);
  QLabel* unit = valueLabel(c, kUnitText, 117, 85, 30, 18, "Unit");
  unit->setFont(unitFont());
  unit->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
  QLabel* modeCaption = place<QLabel>(c, kModeCaption, 149, 37, 22, 8);
  QLabel* rangeCaption = place<QLabel>(c, kRangeCaption, 149, 55, 22, 8);
  mode_ = place<QComboBox>(c, kModeCombo, 173, 34, 50, 13);
  range_ = place<QComboBox>(c, kRangeCombo, 173, 52, 50, 13);
  modeCaption->setBuddy(mode_);
  rangeCaption->setBuddy(range_);
  valueLabel(c, kRangeLabelText, 170, 70, 50, 8, "Range label");
  buttons_[kMonitorButton] = place<QPushButton>(c, kMonitorButton, 173, 96, 50, 17);
  valueLabel(c, kStatusLine, 9, 109, 70, 8, "Status line");

  auto* indicators = place<PictureView>(c, kIndicatorStrip, 11, 127, 200, 16);
  indicators->setAccessibleName(QStringLiteral("Indicator strip"));
  buttons_[kZeroAdjustButton] = place<QPushButton>(c, kZeroAdjustButton, 173, 150, 50, 14);
  buttons_[kZeroAdjustButton]->setText(QStringLiteral("0 ADJ"));
  buttons_[kZeroAdjustButton]->setAccessibleName(QStringLiteral("0 ADJ"));
  auto* diagram = place<PictureView>(c, kConnectionPicture, 13, 187, 200, 114);
  diagram->setAccessibleName(QStringLiteral("Connection diagram"));
  buttons_[kHiddenButton] = place<QPushButton>(c, kHiddenButton, 156, 186, 66, 14);
  buttons_[kHiddenButton]->setAccessibleName(QStringLiteral("Hidden"));
  buttons_[kHiddenButton]->hide();

  const struct {
    int caption;
    int x;
    int y;
    int w;
    int value;
    int vx;
    int vw;
    const char* name;
  } status[] = {{kModelCaption, 14, 333, 35, kModelStatus, 49, 36, "Model"},
                {kVersionCaption, 14, 347, 35, kVersionStatus, 49, 36, "Version"},
                {kPortCaption, 96, 333, 27, kPortStatus, 124, 30, "Port"},
                {kSerialNumberCaption, 96, 347, 27, kSerialNumberStatus, 124, 40, "Serial number"},
                {kTimeCaption, 165, 333, 23, kClockText, 188, 35, "Clock"}};
  for (const auto& s : status) {
    QLabel* caption = place<QLabel>(c, s.caption, s.x, s.y, s.w, 8);
    QLabel* shown = valueLabel(c, s.value, s.vx, s.y, s.vw, 8, s.name);
    caption->setBuddy(shown);
  }
  for (QLabel* l : c->findChildren<QLabel*>())
    if (l->property(kControlProperty).toInt() == kSerialNumberCaption) {
      l->setText(QStringLiteral("S/N："));
      l->setAccessibleName(QStringLiteral("S/N"));
    }

  place<QLabel>(c, kStartCaption, 237, 330, 30, 8);
  valueLabel(c, kRunStartLabel, 264, 330, 75, 8, "Start time");
  place<QLabel>(c, kStopCaption, 347, 330, 30, 8);
  valueLabel(c, kRunStopLabel, 374, 330, 75, 8, "Stop time");
  const struct {
    int id;
    int x;
    int w;
  } recordButtons[] = {{kStartButton, 233, 30}, {kStopButton, 264, 30},  {kManualButton, 295, 30},
                       {kCopyGraphButton, 347, 45}, {kSaveButton, 394, 30}, {kClearButton, 425, 30}};
  for (const auto& b : recordButtons) {
    buttons_[b.id] = place<QPushButton>(c, b.id, b.x, 344, b.w, 22);
    buttons_[b.id]->setEnabled(false);
  }

  for (auto& [id, b] : buttons_) {
    b->setAutoDefault(false);
    connect(b, &QPushButton::clicked, this, [this, id = id] { emit buttonClicked(id); });
  }
  connect(mode_, &QComboBox::activated, this, &MainWindowWidget::modeActivated);
  connect(range_, &QComboBox::activated, this, &MainWindowWidget::rangeActivated);
  connect(tabs_, &QTabBar::currentChanged, this, &MainWindowWidget::tabSelected);
}

QWidget* MainWindowWidget::page(int pageId) const {
  auto it = pages_.find(pageId);
  return it == pages_.end() ? nullptr : it->second;
}

QPushButton* MainWindowWidget::button(int control) const {
  auto it = buttons_.find(control);
  return it == buttons_.end() ? nullptr : it->second;
}

bool MainWindowWidget::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() != QEvent::KeyPress || !keyHandler_) return false;
  auto* w = qobject_cast<QWidget*>(watched);
  if (!w || w->window() != this) return false;
  // Only the widget that has the focus takes a key: the event also passes
  // its parents on the way.
  if (QApplication::focusWidget() && w != QApplication::focusWidget()) return false;
  auto* key = static_cast<QKeyEvent*>(event);
  Key k = Key::Other;
  switch (key->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter: k = Key::Enter; break;
    case Qt::Key_Escape: k = Key::Escape; break;
    case Qt::Key_O: k = Key::O; break;
    case Qt::Key_S: k = Key::S; break;
    case Qt::Key_F1: k = Key::F1; break;
    default: return false;
  }
  const Qt::KeyboardModifiers mods = key->modifiers();
  int focused = 0;
  if (QWidget* f = QApplication::focusWidget()) focused = f->property(kControlProperty).toInt();
  return keyHandler_(k, mods.testFlag(Qt::ControlModifier), mods.testFlag(Qt::ShiftModifier), focused);
}

void MainWindowWidget::moveEvent(QMoveEvent* event) {
  QMainWindow::moveEvent(event);
  if (!centralWidget()) return;
  // The client area is the controls' area, below the menu bar. Counted from
  // the new position itself: the platform may not know it yet.
  const QPoint client = geometry().topLeft() + centralWidget()->mapTo(this, QPoint(0, 0));
  emit moved(client.x(), client.y());
}

void MainWindowWidget::closeEvent(QCloseEvent* event) {
  if (closeAllowed_) {
    event->accept();
    return;
  }
  event->ignore();
  emit closeRequested();
}

}  // namespace lmv::gui
