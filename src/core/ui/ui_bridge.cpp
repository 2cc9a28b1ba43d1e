#include "ui/ui_bridge.h"

namespace lmv {

UiBridge::UiBridge(UiHost& ui) : ui_(ui), state_(std::make_shared<State>()) {}

UiBridge::~UiBridge() { close(); }

void UiBridge::post(std::function<void()> handler) {
  unsigned generation;
  {
    std::lock_guard lock(state_->mutex);
    if (state_->closed) return;
    generation = state_->generation;
  }
  ui_.post([state = state_, generation, handler = std::move(handler)] {
    {
      std::lock_guard lock(state->mutex);
      if (state->closed || state->generation != generation) return;
    }
    // close() runs on this thread too, so the owner stays alive meanwhile.
    handler();
  });
}

bool UiBridge::send(std::function<void()> handler) {
  auto done = std::make_shared<bool>(false);
  unsigned generation;
  {
    std::lock_guard lock(state_->mutex);
    if (state_->closed) return false;
    generation = state_->generation;
  }
  ui_.post([state = state_, generation, done, handler = std::move(handler)] {
    {
      std::lock_guard lock(state->mutex);
      if (state->closed || state->generation != generation) return;
    }
    handler();
    std::lock_guard lock(state->mutex);
    *done = true;
    state->cv.notify_all();
  });
  std::unique_lock lock(state_->mutex);
  state_->cv.wait(lock, [&] { return *done || state_->closed || state_->generation != generation; });
  return *done;
}

void UiBridge::close() {
  std::lock_guard lock(state_->mutex);
  state_->closed = true;
  state_->cv.notify_all();
}

void UiBridge::reopen() {
  std::lock_guard lock(state_->mutex);
  if (!state_->closed) return;
  state_->closed = false;
  ++state_->generation;
}

}  // namespace lmv
