#include "sheet/paste_window.h"

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>

#include "dialog_controls.h"
#include "sheet/paste_dialog.h"

namespace lmv::gui {

PasteWindow::PasteWindow(QWidget* parent, PasteDialog& logic) : QDialog(parent), logic_(logic) {
  prepareDialog(this, kPasteDialog, dialogSize(176, 84));
  const int d = kPasteDialog;
  // Made in the focus order.
  auto* open = control<QPushButton>(this, d, kPasteOpenButton, dialogRect(7, 7, 50, 30));
  auto* byKey = control<QRadioButton>(this, d, kPasteByReturnKeyRadio, dialogRect(64, 7, 105, 10));
  auto* byInterval = control<QRadioButton>(this, d, kPasteByIntervalRadio, dialogRect(64, 19, 105, 10));
  auto* useRecord = control<QCheckBox>(this, d, kPasteUseRecordCheck, dialogRect(74, 31, 95, 10));
  auto* intervalLabel = control<QLabel>(this, d, kPasteIntervalLabel, dialogRect(74, 45, 24, 8));
  auto* interval = control<QComboBox>(this, d, kPasteIntervalCombo, dialogRect(100, 43, 69, 13));
  intervalLabel->setBuddy(interval);
  auto* startStop = control<QPushButton>(this, d, kPasteStartButton, dialogRect(63, 62, 50, 15));
  auto* close = control<QPushButton>(this, d, kPasteCloseButton, dialogRect(119, 62, 50, 15));
  close->setDefault(true);
  // The first control takes the focus, as the first step is to open the
  // spreadsheet (a dialog would give it to its default button).
  open->setFocus();

  connect(open, &QPushButton::clicked, this, [this] { logic_.onOpenButton(); });
  connect(byKey, &QRadioButton::clicked, this, [this] { logic_.onByReturnKey(); });
  connect(byInterval, &QRadioButton::clicked, this, [this] { logic_.onByInterval(); });
  connect(useRecord, &QCheckBox::clicked, this, [this](bool checked) { logic_.onUseRecordSetting(checked); });
  connect(interval, &QComboBox::activated, this, [this](int index) { logic_.onIntervalSelected(index); });
  connect(startStop, &QPushButton::clicked, this, [this] { logic_.onStartStop(); });
  connect(close, &QPushButton::clicked, this, [this] { logic_.onCloseButton(); });

  // A focused push button would take Enter before the dialog sees it.
  installEventFilter(this);
  for (QWidget* w : findChildren<QWidget*>()) w->installEventFilter(this);
}

bool PasteWindow::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() != QEvent::KeyPress) return false;
  // Only where the key arrives first: it passes the parents on its way.
  QWidget* focus = QApplication::focusWidget();
  if (watched != (focus && focus->window() == this ? focus : static_cast<QWidget*>(this))) return false;
  const int key = static_cast<QKeyEvent*>(event)->key();
  if (key != Qt::Key_Return && key != Qt::Key_Enter) return false;
  return logic_.onEnterKey();
}

void PasteWindow::reject() { logic_.onCloseCommand(); }

void PasteWindow::closeEvent(QCloseEvent* event) {
  event->ignore();
  logic_.onCloseCommand();
}

void PasteWindow::changeEvent(QEvent* event) {
  QDialog::changeEvent(event);
  if (event->type() == QEvent::ActivationChange && isActiveWindow()) logic_.onActivated();
}

}  // namespace lmv::gui
