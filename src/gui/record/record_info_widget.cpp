#include "record/record_info_widget.h"

#include <QGroupBox>
#include <QLabel>

#include "record/control_ids.h"
#include "record/dialog_units.h"
#include "record/page_fonts.h"
#include "record/record_controls.h"
#include "ui/language_table.h"

namespace lmv::gui {
namespace {

struct Item {
  int labelId;  // 0: a fixed caption
  int entry;    // caption entry, or -1 for the fixed "S/N"
  int valueId;
  int x, y, labelWidth, valueWidth;
  const char* initialValue;
};

// Two columns of label, ":" and value, 11 units a row; the captions have
// room for seven Japanese characters on the left, six (or "Temp/Humid") on the right.
constexpr Item kItems[] = {
    {1123, TextCompany, kInfoCompany, 4, 10, 56, 44, ""},
    {1119, TextModel, kInfoModel, 4, 21, 56, 44, ""},
    {0, -1, kInfoSerialNumber, 4, 32, 56, 44, ""},
    {1124, TextFunction, kInfoFunction, 4, 43, 56, 44, ""},
    {1125, TextRange, kInfoRange, 4, 54, 56, 44, ""},
    {1126, TextMemo, kInfoMemo, 4, 65, 56, 151, ""},
    {1127, TextDate, kInfoDate, 112, 10, 50, 49, ""},
    {1128, TextOperator, kInfoOperator, 112, 21, 50, 49, ""},
    {1129, TextTempHumid, kInfoTempHumid, 112, 32, 50, 49, ""},
    {1130, TextInterval, kInfoInterval, 112, 43, 50, 49, ""},
    {1131, TextBuffer, kInfoDataCount, 112, 54, 50, 49, "0"},
};

QLabel* plainLabel(const QString& text, QWidget* parent, QRect geometry) {
  auto* label = new QLabel(text, parent);
  label->setTextFormat(Qt::PlainText);
  label->setGeometry(geometry);
  return label;
}

}  // namespace

RecordInfoWidget::RecordInfoWidget(QWidget* parent) : QWidget(parent) {
  markDialog(this, kRecordInfoPage);
  setFixedSize(dluSize(219, 81));
  setFont(pageFont());
  setFocusPolicy(Qt::NoFocus);
  setAttribute(Qt::WA_TransparentForMouseEvents);  // nothing here takes input
  auto* group = new QGroupBox(this);
  group->setGeometry(dluRect(0, 0, 219, 80));
  for (const Item& item : kItems) {
    QLabel* caption = plainLabel(item.entry < 0 ? QStringLiteral("S/N") : QString(), this,
                                 dluRect(item.x, item.y, item.labelWidth, 8));
    if (item.labelId != 0) {
      markControl(caption, kRecordInfoPage, item.labelId);
      captions_.push_back({caption, item.entry});
    }
    plainLabel(QStringLiteral(":"), this, dluRect(item.x + item.labelWidth, item.y, 4, 8));
    QLabel* value = plainLabel(QString::fromUtf8(item.initialValue), this,
                               dluRect(item.x + item.labelWidth + 5, item.y, item.valueWidth, 8));
    // Named by its caption; the host puts the shown text in the description.
    markControl(value, kRecordInfoPage, item.valueId);
    value->setProperty(kLiveTextProperty, true);
    caption->setBuddy(value);
  }
}

void RecordInfoWidget::applyTexts(const LanguageTable& texts) {
  for (const Caption& c : captions_) c.label->setText(QString::fromStdString(texts.text(c.entry)));
  for (QLabel* caption : findChildren<QLabel*>())
    if (QWidget* value = caption->buddy()) value->setAccessibleName(caption->text());
}

}  // namespace lmv::gui
