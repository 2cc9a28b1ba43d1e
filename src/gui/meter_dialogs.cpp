#include "meter_dialogs.h"

#include <QCloseEvent>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>

#include "dialog_controls.h"
#include "dialog_units.h"
#include "qt_ui_host.h"
#include "record/window_title.h"
#include "ui/main_window_controls.h"
#include "ui/monitor_controls.h"

namespace lmv::gui {

UsbCheckWindow::UsbCheckWindow(QWidget* parent) : QDialog(parent) {
  prepareDialog(this, kUsbCheckDialog, dialogSize(150, 40));
  auto* text = control<QLabel>(this, kUsbCheckDialog, kUsbCheckText, dialogRect(10, 12, 130, 16));
  text->setAlignment(Qt::AlignCenter);
  text->setProperty(kLiveProperty, true);
  text->setAccessibleName(QStringLiteral("USB check"));
  setWindowTitle(QStringLiteral("LX5810/LX5811"));
}

void UsbCheckWindow::closeEvent(QCloseEvent* event) { event->ignore(); }

ZeroAdjustWindow::ZeroAdjustWindow(QWidget* parent) : QDialog(parent) {
  prepareDialog(this, kZeroAdjustDialog, dialogSize(200, 100));
  message_ = control<QLabel>(this, kZeroAdjustDialog, kZeroAdjustMessage, dialogRect(8, 6, 184, 52));
  message_->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
  message_->setWordWrap(true);
  message_->setProperty(kLiveProperty, true);
  message_->setAccessibleName(QStringLiteral("Zero adjustment"));
  progress_ = control<QProgressBar>(this, kZeroAdjustDialog, kZeroAdjustProgress, dialogRect(20, 62, 160, 10));
  // A marquee: no range, the bar keeps moving.
  progress_->setRange(0, 0);
  progress_->setTextVisible(false);
  progress_->setStyleSheet(QStringLiteral("QProgressBar::chunk { background-color: rgb(0, 0, 255); }"));
  progress_->setAccessibleName(QStringLiteral("Progress"));
  tryAgain_ = control<QPushButton>(this, kZeroAdjustDialog, kZeroAdjustTryAgain, dialogRect(40, 78, 56, 16));
  cancel_ = control<QPushButton>(this, kZeroAdjustDialog, kZeroAdjustCancel, dialogRect(104, 78, 56, 16));
  tryAgain_->setDefault(true);
  connect(tryAgain_, &QPushButton::clicked, this, &ZeroAdjustWindow::tryAgainClicked);
  connect(cancel_, &QPushButton::clicked, this, &ZeroAdjustWindow::cancelClicked);
}

void ZeroAdjustWindow::reject() {
  if (cancel_->isVisible() && cancel_->isEnabled()) emit cancelClicked();
}

void ZeroAdjustWindow::closeEvent(QCloseEvent* event) {
  event->ignore();
  reject();
}

AboutWindow::AboutWindow(QWidget* parent) : QDialog(parent) {
  prepareDialog(this, kAboutDialog, dialogSize(200, 80));
  auto* name = control<QLabel>(this, kAboutDialog, 1, dialogRect(10, 8, 180, 12));
  name->setText(QString::fromUtf8(kProgramTitle.data(), static_cast<qsizetype>(kProgramTitle.size())));
  auto* line = control<QLabel>(this, kAboutDialog, 2, dialogRect(10, 24, 180, 24));
  line->setWordWrap(true);
  line->setText(QStringLiteral("The desktop companion of the TAVEK LX5810/LX5811 illuminance meter."));
  auto* ok = control<QPushButton>(this, kAboutDialog, 3, dialogRect(75, 56, 50, 16));
  ok->setText(QStringLiteral("OK"));
  ok->setDefault(true);
  for (QWidget* w : {static_cast<QWidget*>(name), static_cast<QWidget*>(line)})
    w->setAccessibleName(static_cast<QLabel*>(w)->text());
  ok->setAccessibleName(QStringLiteral("OK"));
  connect(ok, &QPushButton::clicked, this, &QDialog::accept);
}

}  // namespace lmv::gui
