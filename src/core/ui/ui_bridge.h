#pragma once
// A worker thread's way to the user-interface thread when the worker's owner
// may go away first. Handlers posted through the bridge do not run once the
// owner has closed it, and a worker waiting in send() is released by close(),
// so the owner can always stop and join its thread, even while the worker
// waits for a handler the user-interface thread will never run.
#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>

#include "ui/ui_host.h"

namespace lmv {

class UiBridge {
 public:
  explicit UiBridge(UiHost& ui);
  ~UiBridge();
  UiBridge(const UiBridge&) = delete;
  UiBridge& operator=(const UiBridge&) = delete;

  UiHost& ui() { return ui_; }

  // Queues the handler; returns at once.
  void post(std::function<void()> handler);
  // Runs the handler on the user-interface thread and waits until it has
  // run. False when the bridge was closed first (the handler then never
  // runs). Worker threads only: the user-interface thread would wait for
  // itself.
  bool send(std::function<void()> handler);

  // Owner, on the user-interface thread, before joining its worker.
  void close();
  // Undoes close() for a new worker.
  void reopen();

 private:
  struct State {
    std::mutex mutex;
    std::condition_variable cv;
    bool closed = false;
    unsigned generation = 0;
  };

  UiHost& ui_;
  std::shared_ptr<State> state_;
};

}  // namespace lmv
