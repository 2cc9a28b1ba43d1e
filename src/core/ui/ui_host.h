#pragma once
// What the program's logic needs from a user interface. The desktop program
// implements it with Qt widgets; tests implement it with a recorder. Controls
// are addressed by dialog template id and control id, as the dialogs are laid
// out, so every handler can be traced to the control it changes.
//
// Threads: the show/enable/message calls are made on the user-interface
// thread only. Worker threads reach that thread through send() (waits until
// the handler has run there) or post() (queues it and returns).
#include <chrono>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace lmv {

// Dialog template ids.
inline constexpr int kMainDialog = 102;

// The unit label's font (1012): foot-candles in the 25-pixel italic face,
// everything else in the 30-pixel upright one.
enum class UnitFont { Upright, FootCandle };

// One picture drawn into a picture control: the bitmap file at a horizontal
// offset, white drawn transparent where asked.
struct PictureLayer {
  int x = 0;
  std::string path;
  bool whiteTransparent = false;
  bool operator==(const PictureLayer&) const = default;
};

// A window's top-left corner on the screen, frame included, in the window
// system's units.
struct WindowPosition {
  int x = 0;
  int y = 0;
  bool operator==(const WindowPosition&) const = default;
};

enum class MessageIcon { None, Error, Warning, Information, Question };
enum class MessageButtons { Ok, OkCancel, YesNo, RetryCancel };
enum class MessageAnswer { Ok, Cancel, Yes, No, Retry };

struct MessageRequest {
  std::string text;  // UTF-8
  MessageIcon icon = MessageIcon::None;
  MessageButtons buttons = MessageButtons::Ok;
  // The button preselected; Ok for an OK box, Yes for Yes/No unless stated.
  MessageAnswer defaultAnswer = MessageAnswer::Ok;
  int ownerDialog = kMainDialog;
};

class UiHost {
 public:
  virtual ~UiHost() = default;

  // Control state (user-interface thread only).
  virtual void setText(int dialog, int control, std::string_view text) = 0;
  virtual void setEnabled(int dialog, int control, bool enabled) = 0;
  virtual void setVisible(int dialog, int control, bool visible) = 0;
  virtual void setComboItems(int dialog, int control, const std::vector<std::string>& items) = 0;
  // Selecting by program does not count as the user's selection change.
  virtual void setComboSelection(int dialog, int control, int index) = 0;
  // Menu items are addressed by their command id.
  virtual void setMenuEnabled(int command, bool enabled) = 0;
  virtual void setWindowTitle(int dialog, std::string_view title) = 0;

  // What not every user interface has; the defaults do nothing.
  virtual void setFocus(int /*dialog*/, int /*control*/) {}
  // Check box or radio button.
  virtual void setChecked(int /*dialog*/, int /*control*/, bool /*checked*/) {}
  virtual void setMenuChecked(int /*command*/, bool /*checked*/) {}
  // A menu item's caption ("Open(&O)\tCtrl+O": mnemonic and accelerator
  // text), by command id; a popup's caption by its position in the bar.
  virtual void setMenuText(int /*command*/, std::string_view /*text*/) {}
  virtual void setMenuBarText(int /*position*/, std::string_view /*text*/) {}
  virtual void setTabText(int /*dialog*/, int /*control*/, int /*index*/, std::string_view /*text*/) {}
  virtual void setColumnHeading(int /*dialog*/, int /*control*/, int /*column*/, std::string_view /*text*/) {}
  // Replaces what the picture control shows; a layer whose file cannot be
  // read keeps what it showed before.
  virtual void setPictures(int /*dialog*/, int /*control*/, const std::vector<PictureLayer>& /*layers*/) {}
  virtual void setUnitFont(int /*dialog*/, int /*control*/, UnitFont /*font*/) {}
  // Hides or shows a whole window (the main window during the exit).
  virtual void setWindowVisible(int /*dialog*/, bool /*visible*/) {}
  // Where a window is (nothing when unknown), and moving it, size kept.
  virtual std::optional<WindowPosition> windowPosition(int /*dialog*/) { return std::nullopt; }
  virtual void moveWindow(int /*dialog*/, WindowPosition /*to*/) {}

  // The program's own dialogs over the main window (USB check, zero
  // adjustment, ...), modal for the user but not for the logic: open returns
  // at once, the logic goes on in the dialog's button and timer handlers,
  // and the dialog stays up until closeDialog.
  virtual void openDialog(int dialog) = 0;
  virtual void closeDialog(int dialog) = 0;

  // Modal message box; returns the button pressed.
  virtual MessageAnswer showMessage(const MessageRequest& request) = 0;

  // Thread hand-over. send() called on the user-interface thread runs the
  // handler at once.
  virtual void send(std::function<void()> handler) = 0;
  virtual void post(std::function<void()> handler) = 0;

  // Repeating timers on the user-interface thread, set and killed by id;
  // setting an id that runs restarts it with the new handler.
  virtual void setTimer(int id, std::chrono::milliseconds period, std::function<void()> onTick) = 0;
  virtual void killTimer(int id) = 0;
};

}  // namespace lmv
