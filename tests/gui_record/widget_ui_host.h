#pragma once
// A UiHost over real widgets for the record pages' tests: it finds controls
// by their "lmvDialog"/"lmvControl" properties below the roots it was given,
// as the desktop program's host does, and keeps what it cannot show (the
// main window's controls, menus, titles, message boxes) for the test to read.
// Handlers sent or posted run in the Qt event loop.
#include <QPointer>
#include <QTimer>
#include <QWidget>
#include <chrono>
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "ui/ui_host.h"

namespace lmv::test {

class WidgetUiHost final : public UiHost {
 public:
  using Key = std::pair<int, int>;

  void addRoot(QWidget* root) { roots_.push_back(root); }

  void setText(int dialog, int control, std::string_view text) override;
  void setEnabled(int dialog, int control, bool enabled) override;
  void setVisible(int dialog, int control, bool visible) override;
  void setComboItems(int, int, const std::vector<std::string>&) override {}
  void setComboSelection(int, int, int) override {}
  void setMenuEnabled(int command, bool enabled) override { menus_[command] = enabled; }
  void setWindowTitle(int dialog, std::string_view title) override { titles_[dialog] = std::string(title); }
  void openDialog(int) override {}
  void closeDialog(int) override {}
  MessageAnswer showMessage(const MessageRequest& request) override;
  void send(std::function<void()> handler) override;
  void post(std::function<void()> handler) override;
  void setTimer(int id, std::chrono::milliseconds period, std::function<void()> onTick) override;
  void killTimer(int id) override { timers_.erase(id); }

  // The widget with these ids below the roots, or nullptr.
  QWidget* control(int dialog, int control) const;
  // Controls that are not widgets here: what was last set.
  std::string text(int dialog, int control) const;
  bool enabled(int dialog, int control) const;  // true if never set
  bool visible(int dialog, int control) const;  // true if never set
  std::string windowTitle(int dialog = kMainDialog) const;
  const std::vector<MessageRequest>& messages() const { return messages_; }
  void scriptAnswers(std::vector<MessageAnswer> answers) { answers_.assign(answers.begin(), answers.end()); }
  // Controls of the record pages (139, 140, 141) the logic addressed but no
  // widget stands for.
  const std::vector<Key>& missingControls() const { return missing_; }

 private:
  QWidget* widgetFor(int dialog, int control);

  std::vector<QPointer<QWidget>> roots_;
  std::map<Key, std::string> texts_;
  std::map<Key, bool> enabled_;
  std::map<Key, bool> visible_;
  std::map<int, bool> menus_;
  std::map<int, std::string> titles_;
  std::vector<MessageRequest> messages_;
  std::deque<MessageAnswer> answers_;
  std::map<int, std::unique_ptr<QTimer>> timers_;
  std::vector<Key> missing_;
};

// Runs the event loop until pred() holds; false after the hang guard.
bool processEventsUntil(const std::function<bool()>& pred,
                        std::chrono::milliseconds hangGuard = std::chrono::minutes(2));
// Runs what is queued now (posted handlers, pending paints).
void processPendingEvents();

}  // namespace lmv::test
