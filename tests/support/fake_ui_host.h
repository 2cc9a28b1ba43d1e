#pragma once
// A UiHost for tests: records what the logic shows, answers message boxes
// from a script, and lets the test thread act as the user-interface thread
// (pump() runs what worker threads sent or posted and the due timers).
#include <chrono>
#include <functional>
#include <map>
#include <mutex>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "ui/ui_event_loop.h"
#include "ui/ui_host.h"

namespace lmv::test {

class FakeUiHost : public UiHost {
 public:
  using Key = std::pair<int, int>;  // dialog, control

  FakeUiHost();
  ~FakeUiHost() override;

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

  // Runs queued handlers and due timers once; returns whether anything ran.
  bool pumpOnce();
  // How long a wait for something that must happen may take before the
  // test gives up: only a guard against a hang. A loaded machine running
  // sanitized builds in parallel takes many times longer than an idle one,
  // so tests wait on the event itself, never on a short timeout.
  static constexpr std::chrono::milliseconds kHangGuard = std::chrono::minutes(3);

  // Pumps until pred() holds or the timeout passes; returns pred().
  bool pumpUntil(const std::function<bool()>& pred, std::chrono::milliseconds timeout = kHangGuard);
  // Pumps for a while.
  void pumpFor(std::chrono::milliseconds duration);

  // Answers for the next message boxes, in order; an empty script answers
  // with the request's default button.
  void scriptAnswers(std::vector<MessageAnswer> answers);

  // What was shown (read on the test thread).
  std::string text(int control, int dialog = kMainDialog) const;
  bool enabled(int control, int dialog = kMainDialog) const;  // default true
  bool visible(int control, int dialog = kMainDialog) const;  // default true
  std::vector<std::string> comboItems(int control, int dialog = kMainDialog) const;
  int comboSelection(int control, int dialog = kMainDialog) const;  // -1 if never set
  bool menuEnabled(int command) const;                              // default true
  std::string windowTitle(int dialog = kMainDialog) const;
  std::vector<MessageRequest> messages() const;
  Key focus() const;  // {0, 0} before any
  bool checked(int control, int dialog = kMainDialog) const;  // default false
  bool menuChecked(int command) const;                        // default false
  std::string menuText(int command) const;
  std::string menuBarText(int position) const;
  std::string tabText(int control, int index, int dialog = kMainDialog) const;
  std::string columnHeading(int control, int column, int dialog) const;
  std::vector<PictureLayer> pictures(int control, int dialog = kMainDialog) const;
  int pictureUpdates(int control, int dialog = kMainDialog) const;
  UnitFont unitFont(int control, int dialog = kMainDialog) const;  // default Upright
  bool windowVisible(int dialog = kMainDialog) const;              // default true
  int windowMoves(int dialog) const;  // moveWindow calls
  bool dialogOpen(int dialog) const;
  int dialogOpenCount(int dialog) const;  // how often it was opened
  bool timerRunning(int id) const;
  // Every text ever set on a control, oldest first.
  std::vector<std::string> textHistory(int control, int dialog = kMainDialog) const;

 private:
  mutable std::mutex mutex_;
  UiEventLoop loop_;
  std::map<Key, std::string> texts_;
  std::map<Key, std::vector<std::string>> textHistory_;
  std::map<Key, bool> enabled_;
  std::map<Key, bool> visible_;
  std::map<Key, std::vector<std::string>> comboItems_;
  std::map<Key, int> comboSelection_;
  std::map<int, bool> menuEnabled_;
  std::map<int, std::string> titles_;
  std::vector<MessageRequest> messages_;
  std::map<int, bool> dialogOpen_;
  std::map<int, int> dialogOpenCount_;
  std::deque<MessageAnswer> answers_;
  Key focus_{0, 0};
  std::map<Key, bool> checked_;
  std::map<int, bool> menuChecked_;
  std::map<int, std::string> menuText_;
  std::map<int, std::string> menuBarText_;
  std::map<std::tuple<int, int, int>, std::string> tabText_;
  std::map<std::tuple<int, int, int>, std::string> columnHeading_;
  std::map<Key, std::vector<PictureLayer>> pictures_;
  std::map<Key, int> pictureUpdates_;
  std::map<Key, UnitFont> unitFont_;
  std::map<int, bool> windowVisible_;
  std::map<int, WindowPosition> windowPositions_;
  std::map<int, int> windowMoves_;
};

}  // namespace lmv::test
