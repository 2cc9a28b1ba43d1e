#pragma once
// UiHost on Qt widgets. Every widget the logic addresses carries its ids as
// dynamic properties: "lmvDialog" (template id) and "lmvControl" (control
// id); a window carries only "lmvDialog"; a menu action carries
// "lmvCommand". Value displays carry "lmvLive" = true: their text is their
// accessible description, their accessible name stays what they are.
#include <QHash>
#include <QImage>
#include <QObject>
#include <QPointer>
#include <QString>
#include <map>
#include <memory>
#include <vector>

#include "ui/ui_host.h"

class QAction;
class QMenuBar;
class QTimer;
class QWidget;

namespace lmv::gui {

inline constexpr char kDialogProperty[] = "lmvDialog";
inline constexpr char kControlProperty[] = "lmvControl";
inline constexpr char kCommandProperty[] = "lmvCommand";
inline constexpr char kLiveProperty[] = "lmvLive";

// The caption without its mnemonic marks and accelerator text.
QString plainCaption(const QString& caption);

class QtUiHost : public QObject, public UiHost {
  Q_OBJECT
 public:
  // applicationName: the caption of every message box.
  explicit QtUiHost(QString applicationName, QObject* parent = nullptr);
  ~QtUiHost() override;

  // The menu bar whose popups setMenuBarText addresses, by position.
  void setMenuBar(QMenuBar* menuBar);

  QWidget* widget(int dialog, int control);
  QWidget* window(int dialog);
  QAction* action(int command);
  const QString& applicationName() const { return applicationName_; }

  void setText(int dialog, int control, std::string_view text) override;
  void setEnabled(int dialog, int control, bool enabled) override;
  void setVisible(int dialog, int control, bool visible) override;
  void setComboItems(int dialog, int control, const std::vector<std::string>& items) override;
  void setComboSelection(int dialog, int control, int index) override;
  void setMenuEnabled(int command, bool enabled) override;
  void setWindowTitle(int dialog, std::string_view title) override;
  void setFocus(int dialog, int control) override;
  void setChecked(int dialog, int control, bool checked) override;
  void setMenuChecked(int command, bool checked) override;
  void setMenuText(int command, std::string_view text) override;
  void setMenuBarText(int position, std::string_view text) override;
  void setTabText(int dialog, int control, int index, std::string_view text) override;
  void setColumnHeading(int dialog, int control, int column, std::string_view text) override;
  void setPictures(int dialog, int control, const std::vector<PictureLayer>& layers) override;
  void setUnitFont(int dialog, int control, UnitFont font) override;
  void setWindowVisible(int dialog, bool visible) override;
  std::optional<WindowPosition> windowPosition(int dialog) override;
  void moveWindow(int dialog, WindowPosition to) override;
  void openDialog(int dialog) override;
  void closeDialog(int dialog) override;
  MessageAnswer showMessage(const MessageRequest& request) override;
  void send(std::function<void()> handler) override;
  void post(std::function<void()> handler) override;
  void setTimer(int id, std::chrono::milliseconds period, std::function<void()> onTick) override;
  void killTimer(int id) override;

  bool timerRunning(int id) const;

 private:
  void rescan();
  QImage loadPicture(const QString& path, bool whiteTransparent);

  QString applicationName_;
  QPointer<QMenuBar> menuBar_;
  std::map<std::pair<int, int>, QPointer<QWidget>> widgets_;
  std::map<int, QPointer<QWidget>> windows_;
  std::map<int, QPointer<QAction>> actions_;
  std::map<int, QTimer*> timers_;
  std::map<int, std::shared_ptr<std::function<void()>>> timerHandlers_;
  QHash<QString, QImage> pictures_;
};

}  // namespace lmv::gui
