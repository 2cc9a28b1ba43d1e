// A keyboard walk: Tab and Shift+Tab visit the same controls in both
// directions, each focusable control has a role and a name for screen
// readers, and its accessibility parents lead to its window.
#include <gtest/gtest.h>

#include <QAccessible>
#include <QAction>
#include <QApplication>
#include <QPushButton>
#include <QTest>
#include <QWidget>

#include "gui_fixture.h"
#include "main_window_widget.h"
#include "meter_dialogs.h"
#include "record/record_controls.h"
#include "ui/main_window_controls.h"
#include "qt_ui_host.h"
#include "sheet/excel_open_window.h"
#include "sheet/paste_window.h"
#include "ui/monitor_controls.h"

namespace lmv::test {
namespace {

// The focus chain from the widget with the focus, pressing key until the
// walk comes back to where it started.
std::vector<QWidget*> walk(QWidget* window, Qt::Key key) {
  std::vector<QWidget*> visited;
  QWidget* start = QApplication::focusWidget();
  if (!start) return visited;
  visited.push_back(start);
  for (int i = 0; i < 200; ++i) {
    QTest::keyClick(QApplication::focusWidget(), key);
    QWidget* now = QApplication::focusWidget();
    if (!now || now == start) break;
    if (now->window() != window) {
      ADD_FAILURE() << "the focus left the window";
      break;
    }
    visited.push_back(now);
  }
  return visited;
}

void expectAccessible(QWidget* w, QWidget* window) {
  QAccessibleInterface* iface = QAccessible::queryAccessibleInterface(w);
  ASSERT_NE(iface, nullptr);
  const QString name = iface->text(QAccessible::Name);
  EXPECT_FALSE(name.trimmed().isEmpty()) << w->metaObject()->className() << " "
                                         << w->property(gui::kControlProperty).toInt();
  EXPECT_NE(iface->role(), QAccessible::NoRole);
  QAccessibleInterface* windowIface = QAccessible::queryAccessibleInterface(window);
  bool reached = false;
  for (QAccessibleInterface* p = iface->parent(); p && !reached; p = p->parent()) reached = p->object() == window;
  EXPECT_TRUE(reached) << name.toStdString() << " does not lead to " << windowIface->text(QAccessible::Name).toStdString();
}

void walkBothWays(QWidget* window, QWidget* first) {
  first->setFocus(Qt::TabFocusReason);
  ASSERT_TRUE(waitFor([&] { return QApplication::focusWidget() == first; }, std::chrono::seconds(20)))
      << (QApplication::focusWidget() ? QApplication::focusWidget()->metaObject()->className() : "no focus");
  std::vector<QWidget*> forward = walk(window, Qt::Key_Tab);
  ASSERT_GE(forward.size(), 2u);
  std::vector<QWidget*> backward = walk(window, Qt::Key_Backtab);
  // Backwards from the same start: the start, then the others in reverse.
  ASSERT_EQ(backward.size(), forward.size());
  std::vector<QWidget*> expected{forward.front()};
  expected.insert(expected.end(), forward.rbegin(), forward.rend() - 1);
  EXPECT_EQ(backward, expected);
  for (QWidget* w : forward) expectAccessible(w, window);
}

TEST_F(GuiTest, KeyboardWalkOfTheMainWindow) {
  sim::MeterConfig config;
  config.capOn = false;
  startMeter(config);
  writeSettings(false, meter->portNumber());
  startApp();
  QWidget* window = &app->window();
  QTest::mouseClick(control(kMainDialog, kMonitorButton), Qt::LeftButton);
  ASSERT_TRUE(waitFor([&] { return monitoring() && control(kMainDialog, kZeroAdjustButton)->isEnabled(); }));
  // The USB check dialog was active meanwhile.
  window->activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(window));
  walkBothWays(window, control(kMainDialog, kMonitorButton));

  // The zero-adjustment dialog, once it offers its buttons.
  QTest::mouseClick(control(kMainDialog, kZeroAdjustButton), Qt::LeftButton);
  gui::ZeroAdjustWindow& dialog = app->zeroAdjustWindow();
  ASSERT_TRUE(waitFor([&] { return dialog.isVisible() && dialog.cancelButton()->isVisible(); }));
  dialog.activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&dialog));
  walkBothWays(&dialog, dialog.tryAgainButton());
  // Esc is Cancel there.
  QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
  EXPECT_TRUE(waitFor([&] { return !dialog.isVisible(); }));
}

TEST_F(GuiTest, KeyboardWalkOfThePasteDialogAndItsQuestion) {
  writeSettings(false);
  startApp();
  app->host().action(kMenuPasteToExcel)->trigger();
  gui::PasteWindow* window = app->pasteWindow();
  ASSERT_TRUE(waitFor([&] { return window && window->isVisible(); }));
  window->activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(window));
  // Unlinked, Open and Close take the focus.
  walkBothWays(window, control(kPasteDialog, kPasteOpenButton));
  const auto expectNamed = [](QWidget* dialog) {
    for (QWidget* w : dialog->findChildren<QWidget*>()) {
      if (w->window() != dialog || !w->property(gui::kControlProperty).isValid()) continue;
      QAccessibleInterface* iface = QAccessible::queryAccessibleInterface(w);
      ASSERT_NE(iface, nullptr);
      EXPECT_FALSE(iface->text(QAccessible::Name).isEmpty()) << w->property(gui::kControlProperty).toInt();
    }
  };
  expectNamed(window);
  EXPECT_EQ(control(kPasteDialog, kPasteIntervalCombo)->accessibleName(), QStringLiteral("Int."));

  // Enter on Open asks how to open; Esc there is Cancel, and Esc in the
  // dialog hides it.
  control(kPasteDialog, kPasteOpenButton)->setFocus(Qt::TabFocusReason);
  QTest::keyClick(control(kPasteDialog, kPasteOpenButton), Qt::Key_Return);
  gui::ExcelOpenWindow* question = app->excelOpenWindow();
  ASSERT_TRUE(waitFor([&] { return question->isVisible(); }));
  EXPECT_EQ(question->windowTitle(), QStringLiteral("Open Excel"));
  question->activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(question));
  walkBothWays(question, control(kExcelOpenDialog, kNewFileRadio));
  expectNamed(question);
  QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
  EXPECT_FALSE(question->isVisible());
  EXPECT_FALSE(app->pasteDialog().capture().sheetConnected());
  window->activateWindow();
  ASSERT_TRUE(waitFor([&] { return QApplication::focusWidget() && QApplication::focusWidget()->window() == window; }))
      << (QApplication::focusWidget() ? QApplication::focusWidget()->metaObject()->className() : "no focus");
  QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
  EXPECT_FALSE(window->isVisible());
}

TEST_F(GuiTest, EveryControlHasAnAccessibleNameAndValuesTheirText) {
  writeSettings(false);
  startApp();
  for (QWidget* w : app->window().findChildren<QWidget*>()) {
    if (!w->property(gui::kControlProperty).isValid() || !w->isVisibleTo(&app->window())) continue;
    QAccessibleInterface* iface = QAccessible::queryAccessibleInterface(w);
    ASSERT_NE(iface, nullptr);
    EXPECT_FALSE(iface->text(QAccessible::Name).isEmpty()) << w->property(gui::kControlProperty).toInt();
  }
  ASSERT_TRUE(waitFor([&] { return !text(kClockText).isEmpty(); }));
  QAccessibleInterface* clock = QAccessible::queryAccessibleInterface(control(kMainDialog, kClockText));
  EXPECT_EQ(clock->text(QAccessible::Description), text(kClockText));
  EXPECT_EQ(clock->text(QAccessible::Name), QStringLiteral("Time")) << "named by its caption";
  // The combo boxes are named by their captions, not by their values.
  EXPECT_EQ(control(kMainDialog, kModeCombo)->accessibleName(), QStringLiteral("Mode"));
  EXPECT_EQ(control(kMainDialog, kRangeCombo)->accessibleName(), QStringLiteral("Range"));
  // The names follow the language.
  app->host().action(kMenuJapanese)->trigger();
  EXPECT_EQ(control(kMainDialog, kClockText)->accessibleName(), QStringLiteral("時刻"));
  EXPECT_EQ(control(kMainDialog, kValueText)->accessibleName(), QStringLiteral("照度"));
}

}  // namespace
}  // namespace lmv::test
