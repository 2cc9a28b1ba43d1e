#include "record/record_list_widget.h"

#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPalette>
#include <QPushButton>
#include <QTableView>

#include "record/control_ids.h"
#include "record/dialog_units.h"
#include "record/page_fonts.h"
#include "record/record_controls.h"
#include "record/record_table_model.h"
#include "ui/language_table.h"

namespace lmv::gui {
namespace {

inline constexpr int kLuxLabel = 1132;

QString qs(const std::string& s) { return QString::fromStdString(s); }

template <typename W>
W* place(W* w, int x, int y, int width, int height) {
  w->setGeometry(dluRect(x, y, width, height));
  return w;
}

}  // namespace

RecordListWidget::RecordListWidget(RecordListPage& page, QWidget* parent)
    : QWidget(parent), page_(page), model_(new RecordTableModel(page.model(), this)) {
  markDialog(this, kRecordListPage);
  setFixedSize(dluSize(219, 223));
  setFont(pageFont());

  table_ = markControl(place(new QTableView(this), 0, 0, 219, 170), kRecordListPage, kRecordList);
  table_->setModel(model_);
  table_->setAccessibleName(QStringLiteral("Records"));
  table_->setSelectionMode(QAbstractItemView::SingleSelection);
  table_->setSelectionBehavior(QAbstractItemView::SelectRows);
  table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
  table_->setShowGrid(true);
  table_->setWordWrap(false);
  table_->setTextElideMode(Qt::ElideNone);
  table_->verticalHeader()->hide();
  table_->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
  table_->horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
  table_->horizontalHeader()->setDefaultAlignment(Qt::AlignCenter);
  table_->horizontalHeader()->setStretchLastSection(false);
  // The selection stays as visible when the list does not have the focus.
  QPalette palette = table_->palette();
  for (const QPalette::ColorRole role : {QPalette::Highlight, QPalette::HighlightedText}) {
    palette.setColor(QPalette::Inactive, role, palette.color(QPalette::Active, role));
  }
  table_->setPalette(palette);
  setColumnWidths();
  table_->verticalHeader()->setDefaultSectionSize(table_->fontMetrics().height() + 4);

  connect(model_, &RecordTableModel::rowSelected, this, [this](int row) {
    if (row < 0) {
      table_->clearSelection();
      return;
    }
    table_->selectRow(row);
    table_->scrollTo(model_->index(row, 0));
  });

  previous_ = markControl(place(new QPushButton(this), 5, 174, 35, 14), kRecordListPage, kPreviousButton);
  pageText_ = markControl(place(new QLineEdit(this), 44, 174, 40, 14), kRecordListPage, kPageText);
  pageText_->setReadOnly(true);
  pageText_->setAlignment(Qt::AlignCenter);
  pageText_->setEnabled(false);
  next_ = markControl(place(new QPushButton(this), 88, 174, 35, 14), kRecordListPage, kNextButton);
  pageNumber_ = markControl(place(new QLineEdit(this), 132, 174, 30, 14), kRecordListPage, kPageNumberEdit);
  pageNumber_->setEnabled(false);
  jump_ = markControl(place(new QPushButton(this), 166, 174, 35, 14), kRecordListPage, kJumpButton);
  previous_->setEnabled(false);
  next_->setEnabled(false);
  jump_->setEnabled(false);

  luxLabel_ = markControl(place(new QLabel(this), 5, 191, 60, 8), kRecordListPage, kLuxLabel);
  place(new QLabel(QStringLiteral("MAX"), this), 5, 201, 20, 8);
  place(new QLabel(QStringLiteral("MIN"), this), 5, 211, 20, 8);
  auto* maxLine = markControl(place(new QLabel(this), 28, 201, 186, 8), kRecordListPage, kMaxLine);
  auto* minLine = markControl(place(new QLabel(this), 28, 211, 186, 8), kRecordListPage, kMinLine);
  for (QLabel* label : {luxLabel_, maxLine, minLine}) label->setTextFormat(Qt::PlainText);
  // The lines are named by their captions; the host puts the shown text in
  // the description.
  maxLine->setAccessibleName(QStringLiteral("MAX"));
  minLine->setAccessibleName(QStringLiteral("MIN"));
  for (QLabel* line : {maxLine, minLine}) line->setProperty(kLiveTextProperty, true);
  // Their accessible names stay their live texts.
  maxLine->setAccessibleDescription(QStringLiteral("MAX"));
  minLine->setAccessibleDescription(QStringLiteral("MIN"));

  connect(previous_, &QPushButton::clicked, this, [this] { page_.onPrevious(); });
  connect(next_, &QPushButton::clicked, this, [this] { page_.onNext(); });
  connect(jump_, &QPushButton::clicked, this, [this] { page_.onJump(pageNumber_->text().toStdString()); });
}

void RecordListWidget::setColumnWidths() {
  // The list's client width, inside its frame; the widths leave 20 pixels
  // of it for the scroll bar.
  const int client = table_->width() - 2 * table_->frameWidth();
  const RecordColumnWidths w = recordColumnWidths(client);
  table_->setColumnWidth(0, w.time);
  table_->setColumnWidth(1, w.value);
  table_->setColumnWidth(2, w.over);
  // A whole absolute time fits its column (less the cell's margins).
  table_->setFont(fontFitting(font(), QStringLiteral("0000/00/00,00:00:00"), w.time - 8));
}

void RecordListWidget::applyTexts(const LanguageTable& texts) {
  model_->setHeadings(qs(texts.text(TextRecordTimeHeading)), qs(texts.text(TextLux)),
                      qs(texts.text(TextListColumn2)));
  previous_->setText(qs(texts.text(TextPrevious)));
  next_->setText(qs(texts.text(TextNext)));
  jump_->setText(qs(texts.text(TextJump)));
  luxLabel_->setText(qs(texts.text(TextLux)));
}

}  // namespace lmv::gui
