#pragma once
// CDlg0Adjust, the zero-adjustment dialog: sends ":0ADJUST" and waits for the
// meter's verdict with a marquee progress bar; offers "Try Again" and Cancel
// when the sensor cap is off, and reports a failed exchange before it closes.
#include <functional>

#include "ui/ui_host.h"
#include "link/zero_adjustment.h"

namespace lmv {

enum class ZeroAdjustOutcome { Done, Cancelled, Failed };

class ZeroAdjustDialog {
 public:
  ZeroAdjustDialog(UiHost& ui, SerialPort& port, ZeroAdjustment::Clock clock = {});
  ~ZeroAdjustDialog();
  ZeroAdjustDialog(const ZeroAdjustDialog&) = delete;
  ZeroAdjustDialog& operator=(const ZeroAdjustDialog&) = delete;

  // Opens the dialog and starts the adjustment; onClosed runs when the
  // dialog has closed.
  void open(std::function<void(ZeroAdjustOutcome)> onClosed);
  bool isOpen() const { return open_; }
  // The sensor-cap message is up and the dialog waits for the user.
  bool waitingForUser() const { return waitingForUser_; }

  // Button handlers: "Try Again" (1150) and Cancel (2).
  void onTryAgain();
  void onCancel();

 private:
  void startRoutine();
  void onTick();
  void showButtons(bool shown);
  void close(ZeroAdjustOutcome outcome);

  UiHost& ui_;
  SerialPort& port_;
  ZeroAdjustment adjustment_;
  std::function<void(ZeroAdjustOutcome)> onClosed_;
  bool open_ = false;
  bool waitingForUser_ = false;
};

}  // namespace lmv
