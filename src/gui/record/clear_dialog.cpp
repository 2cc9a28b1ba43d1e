#include "record/clear_dialog.h"

#include <QPushButton>

#include "record/control_ids.h"
#include "record/dialog_units.h"
#include "record/page_fonts.h"
#include "ui/language_table.h"

namespace lmv::gui {

ClearDialog::ClearDialog(const LanguageTable& texts, QWidget* parent) : QDialog(parent), texts_(texts) {
  markDialog(this, kClearDialog);
  setWindowFlags(windowFlags() & ~Qt::WindowContextHelpButtonHint);
  setFixedSize(dluSize(181, 51));
  setFont(pageFont());
  allClear_ = markControl(new QPushButton(this), kClearDialog, kAllClearButton);
  allClear_->setGeometry(dluRect(14, 17, 70, 16));
  allClear_->setAutoDefault(false);
  clearLast_ = markControl(new QPushButton(this), kClearDialog, kClearLastButton);
  clearLast_->setGeometry(dluRect(97, 17, 70, 16));
  clearLast_->setAutoDefault(true);
  clearLast_->setDefault(true);
  connect(allClear_, &QPushButton::clicked, this, [this] {
    all_ = true;
    accept();
  });
  connect(clearLast_, &QPushButton::clicked, this, [this] {
    all_ = false;
    accept();
  });
}

void ClearDialog::applyTexts() {
  setWindowTitle(QString::fromStdString(texts_.text(TextClearTitle)));
  allClear_->setText(QString::fromStdString(texts_.text(TextAllClear)));
  clearLast_->setText(QString::fromStdString(texts_.text(TextClearLastData)));
}

std::optional<bool> ClearDialog::ask() {
  applyTexts();
  all_ = false;
  clearLast_->setDefault(true);
  clearLast_->setFocus();
  if (exec() != QDialog::Accepted) return std::nullopt;
  return all_;
}

}  // namespace lmv::gui
