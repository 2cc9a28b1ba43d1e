#include "fake_ui_host.h"

namespace lmv::test {

FakeUiHost::FakeUiHost() = default;

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

void FakeUiHost::setFocus(int dialog, int control) {
  std::lock_guard lock(mutex_);
  focus_ = {dialog, control};
}

void FakeUiHost::setChecked(int dialog, int control, bool checked) {
  std::lock_guard lock(mutex_);
  checked_[{dialog, control}] = checked;
}

void FakeUiHost::setMenuChecked(int command, bool checked) {
  std::lock_guard lock(mutex_);
  menuChecked_[command] = checked;
}

void FakeUiHost::setMenuText(int command, std::string_view text) {
  std::lock_guard lock(mutex_);
  menuText_[command] = std::string(text);
}

void FakeUiHost::setMenuBarText(int position, std::string_view text) {
  std::lock_guard lock(mutex_);
  menuBarText_[position] = std::string(text);
}

void FakeUiHost::setTabText(int dialog, int control, int index, std::string_view text) {
  std::lock_guard lock(mutex_);
  tabText_[{dialog, control, index}] = std::string(text);
}

void FakeUiHost::setColumnHeading(int dialog, int control, int column, std::string_view text) {
  std::lock_guard lock(mutex_);
  columnHeading_[{dialog, control, column}] = std::string(text);
}

void FakeUiHost::setPictures(int dialog, int control, const std::vector<PictureLayer>& layers) {
  std::lock_guard lock(mutex_);
  pictures_[{dialog, control}] = layers;
  ++pictureUpdates_[{dialog, control}];
}

void FakeUiHost::setUnitFont(int dialog, int control, UnitFont font) {
  std::lock_guard lock(mutex_);
  unitFont_[{dialog, control}] = font;
}

void FakeUiHost::setWindowVisible(int dialog, bool visible) {
  std::lock_guard lock(mutex_);
  windowVisible_[dialog] = visible;
}

std::optional<WindowPosition> FakeUiHost::windowPosition(int dialog) {
  std::lock_guard lock(mutex_);
  auto it = windowPositions_.find(dialog);
  if (it == windowPositions_.end()) return std::nullopt;
  return it->second;
}

void FakeUiHost::moveWindow(int dialog, WindowPosition to) {
  std::lock_guard lock(mutex_);
  windowPositions_[dialog] = to;
  ++windowMoves_[dialog];
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

void FakeUiHost::send(std::function<void()> handler) { loop_.send(std::move(handler)); }

void FakeUiHost::post(std::function<void()> handler) { loop_.post(std::move(handler)); }

void FakeUiHost::setTimer(int id, std::chrono::milliseconds period, std::function<void()> onTick) {
  loop_.setTimer(id, period, std::move(onTick));
}

void FakeUiHost::killTimer(int id) { loop_.killTimer(id); }

bool FakeUiHost::pumpOnce() { return loop_.runOnce(); }

bool FakeUiHost::pumpUntil(const std::function<bool()>& pred, std::chrono::milliseconds timeout) {
  const auto end = std::chrono::steady_clock::now() + timeout;
  for (;;) {
    pumpOnce();
    if (pred()) return true;
    if (std::chrono::steady_clock::now() >= end) return false;
    loop_.waitForWork(std::chrono::milliseconds(5));
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

FakeUiHost::Key FakeUiHost::focus() const {
  std::lock_guard lock(mutex_);
  return focus_;
}

namespace {
template <typename Map, typename K, typename V>
V findOr(const Map& map, const K& key, V fallback) {
  auto it = map.find(key);
  return it == map.end() ? fallback : it->second;
}
}  // namespace

bool FakeUiHost::checked(int control, int dialog) const {
  std::lock_guard lock(mutex_);
  return findOr(checked_, Key{dialog, control}, false);
}

bool FakeUiHost::menuChecked(int command) const {
  std::lock_guard lock(mutex_);
  return findOr(menuChecked_, command, false);
}

std::string FakeUiHost::menuText(int command) const {
  std::lock_guard lock(mutex_);
  return findOr(menuText_, command, std::string());
}

std::string FakeUiHost::menuBarText(int position) const {
  std::lock_guard lock(mutex_);
  return findOr(menuBarText_, position, std::string());
}

std::string FakeUiHost::tabText(int control, int index, int dialog) const {
  std::lock_guard lock(mutex_);
  return findOr(tabText_, std::tuple{dialog, control, index}, std::string());
}

std::string FakeUiHost::columnHeading(int control, int column, int dialog) const {
  std::lock_guard lock(mutex_);
  return findOr(columnHeading_, std::tuple{dialog, control, column}, std::string());
}

std::vector<PictureLayer> FakeUiHost::pictures(int control, int dialog) const {
  std::lock_guard lock(mutex_);
  return findOr(pictures_, Key{dialog, control}, std::vector<PictureLayer>{});
}

int FakeUiHost::pictureUpdates(int control, int dialog) const {
  std::lock_guard lock(mutex_);
  return findOr(pictureUpdates_, Key{dialog, control}, 0);
}

UnitFont FakeUiHost::unitFont(int control, int dialog) const {
  std::lock_guard lock(mutex_);
  return findOr(unitFont_, Key{dialog, control}, UnitFont::Upright);
}

bool FakeUiHost::windowVisible(int dialog) const {
  std::lock_guard lock(mutex_);
  return findOr(windowVisible_, dialog, true);
}

int FakeUiHost::windowMoves(int dialog) const {
  std::lock_guard lock(mutex_);
  auto it = windowMoves_.find(dialog);
  return it == windowMoves_.end() ? 0 : it->second;
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

bool FakeUiHost::timerRunning(int id) const { return loop_.timerRunning(id); }

std::vector<std::string> FakeUiHost::textHistory(int control, int dialog) const {
  std::lock_guard lock(mutex_);
  auto it = textHistory_.find({dialog, control});
  return it == textHistory_.end() ? std::vector<std::string>{} : it->second;
}

}  // namespace lmv::test
