#include "text_fit.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFontMetrics>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QStyle>
#include <QStyleOptionComboBox>
#include <QStyleOptionButton>
#include <QTabBar>

#include <memory>
#include <string>

#include "app/main_window.h"
#include "app/shared_state.h"
#include "desktop_app.h"
#include "dialog_units.h"
#include "link/meter_session.h"
#include "main_window_widget.h"
#include "memory/memory_dialog.h"
#include "memory/memory_progress.h"
#include "memory_window.h"
#include "meter_dialogs.h"
#include "monitor/format_value.h"
#include "monitor/range_table.h"
#include "monitor/value_codes.h"
#include "qt_ui_host.h"
#include "record/qt_file_chooser.h"
#include "record/record_clock.h"
#include "record/record_controls.h"
#include "sheet/excel_open_window.h"
#include "sheet/paste_dialog.h"
#include "sheet/paste_window.h"
#include "sheet/uno/uno_sheet_office.h"
#include "ui/language_table.h"
#include "ui/main_window_controls.h"
#include "ui/monitor_controls.h"

namespace lmv::test {
namespace {

QString sizeCut(int needW, int haveW, int needH, int haveH) {
  QStringList out;
  if (needW > haveW) out << QStringLiteral("width %1 > %2").arg(needW).arg(haveW);
  if (needH > haveH) out << QStringLiteral("height %1 > %2").arg(needH).arg(haveH);
  return out.join(QStringLiteral(", "));
}

}  // namespace

QString textCut(QWidget* w, const QString& text) {
  const QFontMetrics fm(w->font());
  if (auto* label = qobject_cast<QLabel*>(w)) {
    const QRect r = label->contentsRect();
    if (label->wordWrap()) {
      label->setText(text);
      return sizeCut(0, 0, label->heightForWidth(r.width()), r.height());
    }
    const QStringList parts = text.split(QLatin1Char('\n'));
    int width = 0;
    for (const QString& part : parts) width = std::max(width, fm.horizontalAdvance(part));
    return sizeCut(width, r.width(), fm.height() * static_cast<int>(parts.size()), r.height());
  }
  if (auto* button = qobject_cast<QPushButton*>(w)) {
    // What the style needs around the caption, which may have two lines.
    QStyleOptionButton option;
    option.initFrom(button);
    const QStringList lines = text.split(QLatin1Char('\n'));
    int width = 0;
    for (const QString& line : lines) width = std::max(width, fm.horizontalAdvance(gui::plainCaption(line)));
    const int height = fm.height() * static_cast<int>(lines.size());
    option.text = gui::plainCaption(text);
    const QSize content(width, height);
    const QSize need = button->style()->sizeFromContents(QStyle::CT_PushButton, &option, content, button);
    // The style adds a minimum width of its own; only the caption counts.
    const int margin = need.width() - content.width();
    return sizeCut(content.width() + std::min(margin, 12), button->width(), height + 2, button->height());
  }
  if (qobject_cast<QCheckBox*>(w) || qobject_cast<QRadioButton*>(w)) {
    // The caption beside its indicator.
    QStyleOptionButton option;
    option.initFrom(w);
    option.text = gui::plainCaption(text);
    const QSize content(fm.horizontalAdvance(option.text), fm.height());
    const QStyle::ContentsType type = qobject_cast<QCheckBox*>(w) ? QStyle::CT_CheckBox : QStyle::CT_RadioButton;
    const QSize need = w->style()->sizeFromContents(type, &option, content, w);
    return sizeCut(need.width(), w->width(), fm.height(), w->height());
  }
  if (auto* group = qobject_cast<QGroupBox*>(w)) {
    return sizeCut(fm.horizontalAdvance(text) + 16, group->width(), 0, 0);
  }
  if (auto* combo = qobject_cast<QComboBox*>(w)) {
    QStyleOptionComboBox option;
    option.initFrom(combo);
    const QRect field =
        combo->style()->subControlRect(QStyle::CC_ComboBox, &option, QStyle::SC_ComboBoxEditField, combo);
    return sizeCut(fm.horizontalAdvance(text), field.width(), fm.height(), combo->height());
  }
  return {};
}

QStringList findCutTexts() {
  gui::DesktopOptions options;
  gui::QtUiHost host(QStringLiteral("lmv_fit_probe"));
  gui::MainWindowWidget window;
  auto* usb = new gui::UsbCheckWindow(&window);
  auto* zero = new gui::ZeroAdjustWindow(&window);
  auto* about = new gui::AboutWindow(&window);
  (void)about;
  host.setMenuBar(window.menuBar());
  MeterSession session;
  SharedState shared;
  MainWindow logic(host, session, shared);
  logic.applyMainWindowTexts();
  // The memory dialog with the captions its logic gives it at opening.
  auto* memory = new gui::MemoryWindow(&window);
  MemoryDialog memoryLogic(host, session.port, languageTable(), *memory);
  memoryLogic.open("/home/user/Documents", "measurement", {}, {});
  // The paste dialog and its question, as the first Option/Paste Record
  // Data to Excel makes them; no office is reached.
  AppSettings settings;
  gui::QtFileChooser chooser(&window);
  PasteDialog paste(makeUnoSheetOffice(), host, languageTable(), session.handOver, systemRecordClock(), chooser,
                    settings, {}, {}, 0);
  auto* pasteWindow = new gui::PasteWindow(&window, paste);
  auto* openWindow = new gui::ExcelOpenWindow(pasteWindow, paste.openDialog());
  paste.initialise();
  paste.openDialog().open({});
  window.show();
  usb->show();
  zero->show();
  pasteWindow->show();
  openWindow->show();
  QApplication::processEvents();

  const LanguageTable& t = languageTable();
  QStringList cuts;
  auto check = [&](int dialog, int control, const QString& text) {
    QWidget* w = host.widget(dialog, control);
    if (!w) {
      cuts << QStringLiteral("%1/%2 missing").arg(dialog).arg(control);
      return;
    }
    const QString cut = textCut(w, text);
    if (!cut.isEmpty()) cuts << QStringLiteral("%1/%2 \"%3\": %4").arg(dialog).arg(control).arg(text, cut);
  };
  auto entry = [&](int e) { return QString::fromStdString(t[e]); };

  // Every caption as applied, in this language.
  for (QWidget* w : QApplication::allWidgets()) {
    const int dialog = w->property(gui::kDialogProperty).toInt();
    const QVariant control = w->property(gui::kControlProperty);
    if (!dialog || !control.isValid() || w->property(gui::kLiveProperty).toBool()) continue;
    QString text;
    if (auto* l = qobject_cast<QLabel*>(w)) text = l->text();
    if (auto* b = qobject_cast<QAbstractButton*>(w)) text = b->text();
    if (auto* g = qobject_cast<QGroupBox*>(w)) text = g->title();
    if (!text.isEmpty()) check(dialog, control.toInt(), text);
  }
  // Captions that change with the state.
  for (int e : {TextMonitor, TextStopMonitor}) check(kMainDialog, kMonitorButton, entry(e));
  for (int e : {TextCommunicating, TextUutUnconnected}) check(kMainDialog, kConnectionGroup, entry(e));
  for (int e : {TextZeroAdjustRunning, TextSensorCapNotFitted}) check(kZeroAdjustDialog, kZeroAdjustMessage, entry(e));
  for (int e : {TextTryAgain}) check(kZeroAdjustDialog, kZeroAdjustTryAgain, entry(e));
  for (int e : {TextZeroAdjustCancel}) check(kZeroAdjustDialog, kZeroAdjustCancel, entry(e));
  check(kUsbCheckDialog, kUsbCheckText, entry(TextCheckingUsb));
  for (int e : {TextReadingMemory, TextMemoryReadCompleted, TextMemoryReadError})
    check(kMemoryDialog, kMemoryStatusText, entry(e));
  check(kMemoryDialog, kMemoryCountText, QString::fromStdString(memoryCountText(99, 99)));
  check(kMemoryDialog, kMemoryRemainLabel, entry(TextRemainLabel));
  check(kMemoryDialog, kMemoryElapsedLabel, entry(TextElapsedLabel));
  // The longest time texts: minutes and seconds in two digits each.
  const QString longTime = QString::fromStdString(memoryTimeText(99 * 60 + 59, t));
  check(kMemoryDialog, kMemoryRemainText, longTime);
  check(kMemoryDialog, kMemoryElapsedText, longTime);
  for (int e : {TextPasteStart, TextPasteStop}) check(kPasteDialog, kPasteStartButton, entry(e));
  for (const std::string& interval : captureIntervalTexts(t))
    check(kPasteDialog, kPasteIntervalCombo, QString::fromStdString(interval));

  // The tab items.
  QTabBar* tabs = window.pageTabs();
  for (int i = 0; i < tabs->count(); ++i) {
    const int need = tabs->fontMetrics().horizontalAdvance(tabs->tabText(i));
    if (tabs->tabRect(i).right() > tabs->width() || tabs->tabRect(i).width() < need)
      cuts << QStringLiteral("tab %1 \"%2\" does not fit").arg(i).arg(tabs->tabText(i));
  }

  // The value display: every text a reading can give, in every range and unit.
  QStringList values;
  for (int unit : {0, 1}) {
    for (int range = 0; range <= 5; ++range) {
      // The reserved codes, and the readings just below full scale.
      const std::string_view fullScale = rangeFullScale[rangeTableIndex(range, unit)];
      const int32_t top = fullScale.empty() ? 199999 : std::stoi(std::string(fullScale)) - 1;
      for (int32_t code : {CodeOver, CodeOverNegative, CodeNoValue, CodeNotConnected, top, -top})
        values << QString::fromStdString(formatStoredValue(code, range, unit));
      check(kMainDialog, kRangeLabelText, QString::fromUtf8(rangeLabel(range, unit).data(),
                                                            static_cast<qsizetype>(rangeLabel(range, unit).size())));
      check(kMainDialog, kRangeCombo, QString::fromUtf8(rangeLabel(range, unit).data(),
                                                        static_cast<qsizetype>(rangeLabel(range, unit).size())));
    }
  }
  for (const QString& v : values) check(kMainDialog, kValueText, v);
  check(kMainDialog, kModeCombo, QStringLiteral("LUX"));
  host.setUnitFont(kMainDialog, kUnitText, UnitFont::Upright);
  check(kMainDialog, kUnitText, QStringLiteral("lx"));
  host.setUnitFont(kMainDialog, kUnitText, UnitFont::FootCandle);
  check(kMainDialog, kUnitText, QStringLiteral("FC"));

  // The status panel and the run times.
  for (const char* model : {"LX5810", "LX5811"}) check(kMainDialog, kModelStatus, QString::fromLatin1(model));
  check(kMainDialog, kVersionStatus, QStringLiteral("10.99"));
  for (const char* port : {"ttyACM15", "ttyUSB15", "pts/15"}) check(kMainDialog, kPortStatus, QString::fromLatin1(port));
  check(kMainDialog, kSerialNumberStatus, QStringLiteral("10000123"));
  check(kMainDialog, kClockText, QStringLiteral("23:59:59"));
  for (int label : {kRunStartLabel, kRunStopLabel}) check(kMainDialog, label, QStringLiteral("2026/12/31,23:59:59"));
  return cuts;
}

}  // namespace lmv::test
