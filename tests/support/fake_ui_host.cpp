#include "fake_ui_host.h"

namespace lmv::test {

FakeUiHost::FakeUiHost() : uiThread_(std::this_thread::get_id()) {}

FakeUiHost::~FakeUiHost() = default;

void FakeUiHost::setText(int dialog, int control, std::string_view text) {
  std::lock_guard lock(mutex_);
  texts_[{dialog, control}] = std::string(text);
  textHistory_[{dialog, control}].emplace_back(text);
}

void FakeUiHost::setEnabled(int dialog, int control, bool enabled) {
  std::lock_guard lock(mutex_);
  enabled_[{dialog, control}] = enabled;
}

void FakeUiHost::setVisible(int dialog, int control, bool visible) {
  std::lock_guard lock(mutex_);
  visible_[{dialog, control}] = visible;
}

void FakeUiHost::setComboItems(int dialog, int control, const std::vector<std::string>& items) {
  std::lock_guard lock(mutex_);
  comboItems_[{dialog, control}] = items;
  comboSelection_[{dialog, control}] = -1;
}

void FakeUiHost::setComboSelection(int dialog, int control, int index) {
  std::lock_guard lock(mutex_);
  comboSelection_[{dialog, control}] = index;
}

void FakeUiHost::setMenuEnabled(int command, bool enabled) {
  std::lock_guard lock(mutex_);
  menuEnabled_[command] = enabled;
}

void FakeUiHost::setWindowTitle(int dialog, std::string_view title) {
  std::lock_guard lock(mutex_);
  titles_[dialog] = std::string(title);
}

void FakeUiHost::openDialog(int dialog) {
  std::lock_guard lock(mutex_);
  dialogOpen_[dialog] = true;
  ++dialogOpenCount_[dialog];
}

void FakeUiHost::closeDialog(int dialog) {
  std::lock_guard lock(mutex_);
  dialogOpen_[dialog] = false;
}

MessageAnswer FakeUiHost::showMessage(const MessageRequest& request) {
  std::lock_guard lock(mutex_);
  messages_.push_back(request);
  if (answers_.empty()) return request.defaultAnswer;
  MessageAnswer a = answers_.front();
  answers_.pop_front();
  return a;
}

void FakeUiHost::send(std::function<void()> handler) {
  if (std::this_thread::get_id() == uiThread_) {
    handler();
    return;
  }
  std::mutex doneMutex;
  std::condition_variable doneCv;
  bool done = false;
  {
    std::lock_guard lock(mutex_);
    queue_.push_back([&] {
      handler();
      std::lock_guard l(doneMutex);
      done = true;
      doneCv.notify_all();
    });
  }
  cv_.notify_all();
  std::unique_lock l(doneMutex);
  doneCv.wait(l, [&] { return done; });
}

void FakeUiHost::post(std::function<void()> handler) {
  {
    std::lock_guard lock(mutex_);
    queue_.push_back(std::move(handler));
  }
  cv_.notify_all();
}

void FakeUiHost::setTimer(int id, std::chrono::milliseconds period, std::function<void()> onTick) {
  std::lock_guard lock(mutex_);
  timers_[id] = Timer{period, std::chrono::steady_clock::now() + period, std::move(onTick), ++timerGeneration_};
}

void FakeUiHost::killTimer(int id) {
  std::lock_guard lock(mutex_);
  timers_.erase(id);
}

bool FakeUiHost::pumpOnce() {
  bool ran = false;
  for (;;) {
    std::function<void()> job;
    {
      std::lock_guard lock(mutex_);
      if (queue_.empty()) break;
      job = std::move(queue_.front());
      queue_.pop_front();
    }
    job();
    ran = true;
  }
  // Fire the due timers; a handler may kill or reset any timer, itself included.
  std::vector<std::pair<int, unsigned>> due;
  {
    std::lock_guard lock(mutex_);
    const auto now = std::chrono::steady_clock::now();
    for (auto& [id, t] : timers_) {
      if (t.due <= now) due.emplace_back(id, t.generation);
    }
  }
  for (auto [id, generation] : due) {
    std::function<void()> tick;
    {
      std::lock_guard lock(mutex_);
      auto it = timers_.find(id);
      if (it == timers_.end() || it->second.generation != generation) continue;
      it->second.due = std::chrono::steady_clock::now() + it->second.period;
      tick = it->second.onTick;
    }
    tick();
    ran = true;
  }
  return ran;
}

bool FakeUiHost::pumpUntil(const std::function<bool()>& pred, std::chrono::milliseconds timeout) {
  const auto end = std::chrono::steady_clock::now() + timeout;
  for (;;) {
    pumpOnce();
    if (pred()) return true;
    if (std::chrono::steady_clock::now() >= end) return false;
    std::unique_lock lock(mutex_);
    cv_.wait_for(lock, std::chrono::milliseconds(5), [&] { return !queue_.empty(); });
  }
}

void FakeUiHost::pumpFor(std::chrono::milliseconds duration) {
  pumpUntil([] { return false; }, duration);
}

void FakeUiHost::scriptAnswers(std::vector<MessageAnswer> answers) {
  std::lock_guard lock(mutex_);
  answers_.assign(answers.begin(), answers.end());
}

std::string FakeUiHost::text(int control, int dialog) const {
  std::lock_guard lock(mutex_);
  auto it = texts_.find({dialog, control});
  return it == texts_.end() ? std::string() : it->second;
}

bool FakeUiHost::enabled(int control, int dialog) const {
  std::lock_guard lock(mutex_);
  auto it = enabled_.find({dialog, control});
  return it == enabled_.end() || it->second;
}

bool FakeUiHost::visible(int control, int dialog) const {
  std::lock_guard lock(mutex_);
  auto it = visible_.find({dialog, control});
  return it == visible_.end() || it->second;
}

std::vector<std::string> FakeUiHost::comboItems(int control, int dialog) const {
  std::lock_guard lock(mutex_);
  auto it = comboItems_.find({dialog, control});
  return it == comboItems_.end() ? std::vector<std::string>{} : it->second;
}

int FakeUiHost::comboSelection(int control, int dialog) const {
  std::lock_guard lock(mutex_);
  auto it = comboSelection_.find({dialog, control});
  return it == comboSelection_.end() ? -1 : it->second;
}

bool FakeUiHost::menuEnabled(int command) const {
  std::lock_guard lock(mutex_);
  auto it = menuEnabled_.find(command);
  return it == menuEnabled_.end() || it->second;
}

std::string FakeUiHost::windowTitle(int dialog) const {
  std::lock_guard lock(mutex_);
  auto it = titles_.find(dialog);
  return it == titles_.end() ? std::string() : it->second;
}

std::vector<MessageRequest> FakeUiHost::messages() const {
  std::lock_guard lock(mutex_);
  return messages_;
}

bool FakeUiHost::dialogOpen(int dialog) const {
  std::lock_guard lock(mutex_);
  auto it = dialogOpen_.find(dialog);
  return it != dialogOpen_.end() && it->second;
}

int FakeUiHost::dialogOpenCount(int dialog) const {
  std::lock_guard lock(mutex_);
  auto it = dialogOpenCount_.find(dialog);
  return it == dialogOpenCount_.end() ? 0 : it->second;
}

bool FakeUiHost::timerRunning(int id) const {
  std::lock_guard lock(mutex_);
  return timers_.count(id) != 0;
}

std::vector<std::string> FakeUiHost::textHistory(int control, int dialog) const {
  std::lock_guard lock(mutex_);
  auto it = textHistory_.find({dialog, control});
  return it == textHistory_.end() ? std::vector<std::string>{} : it->second;
}

}  // namespace lmv::test
