#pragma once
// What the meter commands (identify, monitor, zero) share: the --port and
// --lang options, choosing the port, and a UiHost for the console whose
// message boxes are printed and whose user-interface thread is the main
// thread running run().
#include <atomic>
#include <chrono>
#include <functional>
#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "app/monitor_control.h"
#include "ui/ui_event_loop.h"
#include "ui/ui_host.h"
#include "command.h"

namespace lmv::cli {

struct MeterOptions {
  std::string port;  // device path; empty: the first meter port
  int language = 1;  // kLanguageEnglish
  std::optional<long> count;
};

// Parses --port DEVICE, --lang en|ja and, with allowCount, --count N. Returns
// ExitOk or the usage error's exit code (already reported).
int parseMeterOptions(const Command& command, const std::vector<std::string>& args, bool allowCount,
                      MeterOptions& out);

// Fills the language table, makes the chosen device the only entry of the
// meter port list and the current port. Returns its port number, or 0 after
// printing why there is none.
int32_t prepareMeterPort(const Command& command, const MeterOptions& options);

// Prints a text of the program on stderr, in the locale's character set.
void printMessage(const std::string& text);

// Set, once installStopSignals() ran, by SIGINT, SIGTERM, SIGHUP (the
// terminal went away) and SIGPIPE (nobody reads the output any more), and by
// requestStop(): whatever ends the command, the meter is released first.
bool stopRequested();
void requestStop();
void installStopSignals();

class ConsoleUiHost : public UiHost {
 public:
  ConsoleUiHost();

  void setText(int dialog, int control, std::string_view text) override;
  void setEnabled(int dialog, int control, bool enabled) override;
  void setVisible(int, int, bool) override {}
  void setComboItems(int, int, const std::vector<std::string>&) override {}
  void setComboSelection(int, int, int) override {}
  void setMenuEnabled(int, bool) override {}
  void setWindowTitle(int, std::string_view) override {}
  void openDialog(int) override {}
  void closeDialog(int) override {}
  // Prints the text and answers with the default button.
  MessageAnswer showMessage(const MessageRequest& request) override;
  void send(std::function<void()> handler) override;
  void post(std::function<void()> handler) override;
  void setTimer(int id, std::chrono::milliseconds period, std::function<void()> onTick) override;
  void killTimer(int id) override;

  // Runs posted handlers and due timers on the calling thread until done()
  // holds or, with stoppable, a stop signal came; returns done().
  bool runUntil(const std::function<bool()>& done, bool stoppable = true);

  std::string text(int control, int dialog = kMainDialog) const;
  bool enabled(int control, int dialog = kMainDialog) const;
  // Error and warning boxes shown so far, and all boxes.
  int errorMessages() const { return errorMessages_; }
  int messages() const { return messages_; }

 private:
  mutable std::mutex mutex_;
  UiEventLoop loop_;
  std::map<std::pair<int, int>, std::string> texts_;
  std::map<std::pair<int, int>, bool> enabled_;
  std::atomic<int> errorMessages_{0};
  std::atomic<int> messages_{0};
};

// The Monitor button's connect step, run to its end whatever signal comes
// (so that the meter is never left locked to the program). True when the
// monitor runs; otherwise the reason has been printed.
bool connectMonitor(ConsoleUiHost& ui, MonitorControl& control, MeterSession& session);
// Stop Monitor: the pass in progress ends, then ":SYST:GTL".
void stopMonitor(ConsoleUiHost& ui, MonitorControl& control, MeterSession& session);

}  // namespace lmv::cli
