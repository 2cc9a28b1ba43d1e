#include "memory_window.h"

#include <QCloseEvent>
#include <QFileDialog>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>

#include "dialog_controls.h"
#include "ui/language_table.h"

namespace lmv::gui {
namespace {

template <typename W>
W* control(QWidget* parent, int id, QRect where) {
  return gui::control<W>(parent, kMemoryDialog, id, where);
}

// A value display: its text is what it shows, its name what it is.
QLabel* valueText(QWidget* parent, int id, QRect where, const QString& name) {
  auto* label = control<QLabel>(parent, id, where);
  label->setProperty(kLiveProperty, true);
  label->setAccessibleName(name);
  return label;
}

QProgressBar* makeBar(QWidget* parent, int id, QRect where, const QString& name) {
  auto* bar = control<QProgressBar>(parent, id, where);
  bar->setRange(0, 1);
  bar->setValue(0);
  bar->setTextVisible(false);
  bar->setAccessibleName(name);
  return bar;
}

}  // namespace

MemoryWindow::MemoryWindow(QWidget* parent) : QDialog(parent) {
  prepareDialog(this, kMemoryDialog, dialogSize(250, 157));

  // The group box first, so that it lies below the controls inside it; the
  // rest in the order the focus moves.
  control<QGroupBox>(this, kMemoryGroupBox, dialogRect(7, 5, 236, 54));
  auto* folderLabel = control<QLabel>(this, kMemoryFolderLabel, dialogRect(14, 19, 52, 10));
  auto* nameLabel = control<QLabel>(this, kMemoryFileNameLabel, dialogRect(14, 38, 52, 10));
  folder_ = control<QLineEdit>(this, kMemoryFolderEdit, dialogRect(68, 17, 120, 13));
  folder_->setAccessibleName(QStringLiteral("Folder name"));
  folderLabel->setBuddy(folder_);
  browse_ = control<QPushButton>(this, kMemoryBrowseButton, dialogRect(192, 16, 44, 15));
  browse_->setAccessibleName(QStringLiteral("Browse"));
  fileName_ = control<QLineEdit>(this, kMemoryFileNameEdit, dialogRect(68, 36, 96, 13));
  fileName_->setAccessibleName(QStringLiteral("File name"));
  nameLabel->setBuddy(fileName_);
  auto* suffix = new QLabel(QStringLiteral(".csv"), this);
  suffix->setGeometry(dialogRect(166, 38, 20, 10));
  suffix->setAccessibleName(QStringLiteral(".csv"));

  // Three lines: the reading error comes as two paragraphs.
  valueText(this, kMemoryStatusText, dialogRect(7, 63, 236, 26), QStringLiteral("Status"))
      ->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  progress_ = makeBar(this, kMemoryProgressBar, dialogRect(7, 91, 236, 10), QStringLiteral("Readings read"));
  valueText(this, kMemoryCountText, dialogRect(7, 104, 60, 10), QStringLiteral("Count"));
  // The readings waiting to be written: a thin gauge at the bar's end.
  gauge_ = makeBar(this, kMemoryBufferGauge, dialogRect(183, 106, 60, 6), QStringLiteral("Readings waiting"));
  // The time captions are empty until a download starts: they keep a name
  // of their own.
  valueText(this, kMemoryRemainLabel, dialogRect(7, 118, 42, 10), QStringLiteral("Remain"));
  valueText(this, kMemoryRemainText, dialogRect(51, 118, 72, 10), QStringLiteral("Remaining time"));
  valueText(this, kMemoryElapsedLabel, dialogRect(125, 118, 42, 10), QStringLiteral("Elapsed"));
  valueText(this, kMemoryElapsedText, dialogRect(169, 118, 74, 10), QStringLiteral("Elapsed time"));

  ok_ = control<QPushButton>(this, kDialogOk, dialogRect(137, 136, 50, 14));
  ok_->setText(QStringLiteral("OK"));
  ok_->setAccessibleName(QStringLiteral("OK"));
  ok_->setDefault(true);
  cancel_ = control<QPushButton>(this, kDialogCancel, dialogRect(193, 136, 50, 14));
  cancel_->setAccessibleName(QStringLiteral("Cancel"));

  connect(browse_, &QPushButton::clicked, this, &MemoryWindow::browse);
  connect(ok_, &QPushButton::clicked, this, &MemoryWindow::okClicked);
  connect(cancel_, &QPushButton::clicked, this, &MemoryWindow::cancelClicked);
}

QString MemoryWindow::folderText() const { return folder_->text(); }
QString MemoryWindow::fileNameText() const { return fileName_->text(); }

QProgressBar* MemoryWindow::bar(int control) const {
  if (control == kMemoryProgressBar) return progress_;
  if (control == kMemoryBufferGauge) return gauge_;
  return nullptr;
}

void MemoryWindow::setProgressRange(int control, int maximum) {
  // An empty range would make Qt draw a busy bar.
  if (QProgressBar* b = bar(control)) b->setRange(0, maximum > 0 ? maximum : 1);
}

void MemoryWindow::setProgressPosition(int control, int position) {
  if (QProgressBar* b = bar(control)) b->setValue(position);
}

void MemoryWindow::browse() {
  const QString title = QString::fromStdString(languageTable()[TextSelectDestinationFolder]);
  const QString folder = QFileDialog::getExistingDirectory(this, title, folder_->text(), QFileDialog::ShowDirsOnly);
  emit folderChosen(folder);
}

void MemoryWindow::reject() {
  if (cancel_->isEnabled()) emit cancelClicked();
}

void MemoryWindow::closeEvent(QCloseEvent* event) {
  event->ignore();
  reject();
}

}  // namespace lmv::gui
