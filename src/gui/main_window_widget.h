#pragma once
// The main window's widgets: template 102 at its positions, menu 129 and
// icon 128. It holds no logic of its own: user commands come out as
// signals, keys go to the key handler before the widgets see them.
#include <QMainWindow>
#include <functional>

#include "app/main_window.h"

class QComboBox;
class QPushButton;
class QTabBar;

namespace lmv::gui {

class MainWindowWidget : public QMainWindow {
  Q_OBJECT
 public:
  explicit MainWindowWidget(QWidget* parent = nullptr);
  ~MainWindowWidget() override;

  // Key-down before the widgets (true = consumed): key, Ctrl, Shift, the
  // control id with the focus.
  using KeyHandler = std::function<bool(Key, bool, bool, int)>;
  void setKeyHandler(KeyHandler handler) { keyHandler_ = std::move(handler); }

  // Lets the window close; until then the close box asks for the exit.
  void allowClose() { closeAllowed_ = true; }

  QWidget* page(int pageId) const;
  QTabBar* pageTabs() const { return tabs_; }
  QComboBox* modeCombo() const { return mode_; }
  QComboBox* rangeCombo() const { return range_; }
  QPushButton* button(int control) const;

 signals:
  void commandTriggered(int command);
  void buttonClicked(int control);
  void modeActivated(int index);
  void rangeActivated(int index);
  void tabSelected(int index);
  void closeRequested();
  // The window moved: where its client area's top-left corner is now.
  void moved(int x, int y);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;
  void closeEvent(QCloseEvent* event) override;
  void moveEvent(QMoveEvent* event) override;

 private:
  void buildMenu();
  void buildControls(QWidget* client);

  KeyHandler keyHandler_;
  bool closeAllowed_ = false;
  QTabBar* tabs_ = nullptr;
  QComboBox* mode_ = nullptr;
  QComboBox* range_ = nullptr;
  std::map<int, QPushButton*> buttons_;
  std::map<int, QWidget*> pages_;
};

// Icon resource 128, drawn by the program.
QIcon programIcon();

}  // namespace lmv::gui
