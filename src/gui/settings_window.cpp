#include "settings_window.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>

#include "app/settings_dialog.h"
#include "dialog_controls.h"
#include "dialog_units.h"
#include "qt_ui_host.h"
#include "record/record_store.h"
#include "ui/settings_controls.h"

namespace lmv::gui {
namespace {

// A caption without an id of its own (units beside the edits).
QLabel* caption(QWidget* parent, const QString& text, QRect where) {
  auto* label = new QLabel(text, parent);
  label->setGeometry(where);
  return label;
}

}  // namespace

SettingsWindow::SettingsWindow(QWidget* parent, SettingsDialog& logic) : QDialog(parent), logic_(logic) {
  setProperty(kDialogProperty, kSettingsDialog);
  setFont(dialogFont());
  setFixedSize(dialogSize(262, 200));
  setWindowFlag(Qt::WindowContextHelpButtonHint, false);

  tabs_ = control<QTabWidget>(this, kSettingsDialog, kSettingsTab, dialogRect(7, 7, 248, 166));
  tabs_->setAccessibleName(QStringLiteral("Settings pages"));
  for (int dialog : {kCommPage, kRecordPage, kSavePage}) tabs_->addTab(page(dialog), QString());
  buildCommPage(tabs_->widget(0));
  buildRecordPage(tabs_->widget(1));
  buildSavePage(tabs_->widget(2));
  connect(tabs_, &QTabWidget::currentChanged, this, [this](int index) { logic_.onTabChanged(index); });

  auto* ok = control<QPushButton>(this, kSettingsDialog, kSettingsOk, dialogRect(147, 180, 50, 14));
  ok->setText(QStringLiteral("OK"));
  ok->setAccessibleName(QStringLiteral("OK"));
  ok->setDefault(true);
  auto* cancel = control<QPushButton>(this, kSettingsDialog, kSettingsCancel, dialogRect(205, 180, 50, 14));
  connect(ok, &QPushButton::clicked, this, &SettingsWindow::okClicked);
  connect(cancel, &QPushButton::clicked, this, &SettingsWindow::cancelClicked);
}

// The pages go after this object: they must not report to the logic then.
SettingsWindow::~SettingsWindow() { tabs_->disconnect(this); }

QWidget* SettingsWindow::page(int dialog) {
  auto* w = new QWidget;
  w->setProperty(kDialogProperty, dialog);
  QPalette palette = w->palette();
  palette.setColor(QPalette::Window, Qt::white);
  w->setPalette(palette);
  w->setAutoFillBackground(true);
  return w;
}

void SettingsWindow::reject() { emit cancelClicked(); }

void SettingsWindow::closeEvent(QCloseEvent* event) {
  event->ignore();
  reject();
}

void SettingsWindow::buildCommPage(QWidget* p) {
  const int d = kCommPage;
  auto* autoConnect = control<QCheckBox>(p, d, kAutoConnectCheck, dialogRect(10, 10, 200, 10));
  connect(autoConnect, &QCheckBox::clicked, this, [this](bool on) { logic_.onClicked(kAutoConnectCheck, on); });
  control<QGroupBox>(p, d, kPortChoiceGroup, dialogRect(10, 28, 220, 60));
  auto* portLabel = control<QLabel>(p, d, kPortLabel, dialogRect(20, 46, 70, 10));
  auto* ports = control<QComboBox>(p, d, kPortCombo, dialogRect(94, 44, 120, 13));
  portLabel->setBuddy(ports);
  connect(ports, &QComboBox::activated, this, [this](int index) { logic_.onComboSelected(kPortCombo, index); });
  auto* baudLabel = control<QLabel>(p, d, kBaudLabel, dialogRect(20, 66, 70, 10));
  auto* baud = control<QComboBox>(p, d, kBaudCombo, dialogRect(94, 64, 120, 13));
  baudLabel->setBuddy(baud);
}

void SettingsWindow::buildRecordPage(QWidget* p) {
  const int d = kRecordPage;
  auto radio = [&](int id, QRect where, QButtonGroup* group) {
    auto* r = control<QRadioButton>(p, d, id, where);
    group->addButton(r);
    connect(r, &QRadioButton::clicked, this, [this, id] { logic_.onClicked(id, true); });
    return r;
  };
  auto edit = [&](int id, QRect where, int maxLength) {
    auto* e = control<QLineEdit>(p, d, id, where);
    e->setMaxLength(maxLength);
    connect(e, &QLineEdit::textEdited, this, [this, id](const QString& t) { logic_.onTextEdited(id, t.toStdString()); });
    return e;
  };
  auto timeFields = [&](const int (&edits)[3], const int (&labels)[3], int x, int y) {
    const char* units[] = {"h", "m", "s"};
    for (int i = 0; i < 3; ++i) {
      edit(edits[i], dialogRect(x + i * 34, y, 22, 12), 8);
      control<QLabel>(p, d, labels[i], dialogRect(x + i * 34 + 24, y + 2, 8, 10))->setText(QString::fromLatin1(units[i]));
    }
  };

  control<QGroupBox>(p, d, kIntervalGroup, dialogRect(6, 4, 234, 46));
  auto* intervalGroup = new QButtonGroup(p);
  radio(kNormalIntervalRadio, dialogRect(12, 16, 56, 10), intervalGroup);
  timeFields({kIntervalHoursEdit, kIntervalMinutesEdit, kIntervalSecondsEdit},
             {kIntervalHoursLabel, kIntervalMinutesLabel, kIntervalSecondsLabel}, 72, 14);
  radio(kFastIntervalRadio, dialogRect(12, 32, 56, 10), intervalGroup);
  control<QComboBox>(p, d, kFastIntervalCombo, dialogRect(72, 30, 60, 13));

  control<QGroupBox>(p, d, kSumGroup, dialogRect(6, 54, 234, 46));
  auto* totalGroup = new QButtonGroup(p);
  radio(kByDataCountRadio, dialogRect(12, 66, 60, 10), totalGroup);
  edit(kDataCountEdit, dialogRect(76, 64, 50, 12), 16);
  control<QLabel>(p, d, kDataCountLabel, dialogRect(130, 66, 60, 10))->setText(QStringLiteral("(1-1048576)"));
  radio(kByRecordTimeRadio, dialogRect(12, 82, 60, 10), totalGroup);
  timeFields({kRecordHoursEdit, kRecordMinutesEdit, kRecordSecondsEdit},
             {kRecordHoursLabel, kRecordMinutesLabel, kRecordSecondsLabel}, 76, 80);

  auto* modeLabel = control<QLabel>(p, d, kTimeDisplayLabel, dialogRect(8, 112, 90, 10));
  auto* mode = control<QComboBox>(p, d, kTimeDisplayCombo, dialogRect(100, 110, 110, 13));
  modeLabel->setBuddy(mode);
  connect(mode, &QComboBox::activated, this, [this](int index) { logic_.onComboSelected(kTimeDisplayCombo, index); });
}

void SettingsWindow::buildSavePage(QWidget* p) {
  const int d = kSavePage;
  auto check = [&](int id, int y) {
    auto* c = control<QCheckBox>(p, d, id, dialogRect(6, y, 66, 10));
    connect(c, &QCheckBox::clicked, this, [this, id](bool on) { logic_.onClicked(id, on); });
  };
  auto radio = [&](int id, QRect where, QButtonGroup* group) {
    auto* r = control<QRadioButton>(p, d, id, where);
    group->addButton(r);
    connect(r, &QRadioButton::clicked, this, [this, id] { logic_.onClicked(id, true); });
  };
  auto edit = [&](int id, QRect where, int maxLength) {
    auto* e = control<QLineEdit>(p, d, id, where);
    e->setMaxLength(maxLength);
    connect(e, &QLineEdit::textEdited, this, [this, id](const QString& t) { logic_.onTextEdited(id, t.toStdString()); });
  };

  check(kCompanyCheck, 6);
  edit(kCompanyEdit, dialogRect(74, 4, 164, 12), kHeaderTextLimit);
  check(kTitleCheck, 21);
  edit(kTitleEdit, dialogRect(74, 19, 164, 12), kHeaderTextLimit);
  check(kOperatorCheck, 36);
  edit(kOperatorEdit, dialogRect(74, 34, 164, 12), kHeaderTextLimit);
  check(kDateCheck, 51);
  auto* dateGroup = new QButtonGroup(p);
  radio(kAutoDateRadio, dialogRect(74, 51, 56, 10), dateGroup);
  radio(kTypedDateRadio, dialogRect(132, 51, 34, 10), dateGroup);
  edit(kDateEdit, dialogRect(168, 49, 70, 12), kDateTextLimit);
  check(kTempHumidCheck, 66);
  edit(kTemperatureEdit, dialogRect(74, 64, 44, 12), kTempHumidTextLimit);
  caption(p, QStringLiteral("℃"), dialogRect(120, 66, 10, 10));
  edit(kHumidityEdit, dialogRect(134, 64, 44, 12), kTempHumidTextLimit);
  caption(p, QStringLiteral("% rh"), dialogRect(180, 66, 20, 10));
  check(kMemoCheck, 81);
  edit(kMemoEdit, dialogRect(74, 79, 164, 12), kMemoTextLimit);

  control<QGroupBox>(p, d, kCsvGroup, dialogRect(6, 96, 234, 50));
  control<QGroupBox>(p, d, kDecimalGroup, dialogRect(12, 106, 108, 34));
  control<QGroupBox>(p, d, kSeparatorGroup, dialogRect(126, 106, 108, 34));
  auto* decimalGroup = new QButtonGroup(p);
  radio(kPeriodDecimalRadio, dialogRect(16, 120, 50, 10), decimalGroup);
  radio(kCommaDecimalRadio, dialogRect(68, 120, 50, 10), decimalGroup);
  auto* separatorGroup = new QButtonGroup(p);
  radio(kCommaSeparatorRadio, dialogRect(130, 120, 50, 10), separatorGroup);
  radio(kSemicolonSeparatorRadio, dialogRect(182, 120, 50, 10), separatorGroup);
}

}  // namespace lmv::gui
