#include "app/zero_adjust_dialog.h"

#include <chrono>

#include "ui/monitor_controls.h"
#include "ui/language_table.h"

namespace lmv {

ZeroAdjustDialog::ZeroAdjustDialog(UiHost& ui, SerialPort& port, ZeroAdjustment::Clock clock)
    : ui_(ui), port_(port), adjustment_(port, std::move(clock)) {}

ZeroAdjustDialog::~ZeroAdjustDialog() {
  if (open_) ui_.killTimer(kZeroAdjustTimerId);
}

void ZeroAdjustDialog::open(std::function<void(ZeroAdjustOutcome)> onClosed) {
  onClosed_ = std::move(onClosed);
  open_ = true;
  const LanguageTable& texts = languageTable();
  ui_.setWindowTitle(kZeroAdjustDialog, texts[TextZeroAdjustTitle]);
  ui_.setText(kZeroAdjustDialog, kZeroAdjustMessage, "");
  ui_.setText(kZeroAdjustDialog, kZeroAdjustTryAgain, texts[TextTryAgain]);
  ui_.setText(kZeroAdjustDialog, kZeroAdjustCancel, texts[TextZeroAdjustCancel]);
  ui_.openDialog(kZeroAdjustDialog);
  startRoutine();
}

void ZeroAdjustDialog::showButtons(bool shown) {
  for (int control : {kZeroAdjustTryAgain, kZeroAdjustCancel}) {
    ui_.setEnabled(kZeroAdjustDialog, control, shown);
    ui_.setVisible(kZeroAdjustDialog, control, shown);
  }
  ui_.setVisible(kZeroAdjustDialog, kZeroAdjustProgress, !shown);
}

void ZeroAdjustDialog::startRoutine() {
  adjustment_.restart();
  waitingForUser_ = false;
  ui_.setText(kZeroAdjustDialog, kZeroAdjustMessage, languageTable()[TextZeroAdjustRunning]);
  showButtons(false);
  ui_.setTimer(kZeroAdjustTimerId, std::chrono::milliseconds(kZeroAdjustTickMs), [this] { onTick(); });
}

void ZeroAdjustDialog::onTryAgain() {
  if (open_) startRoutine();
}

void ZeroAdjustDialog::onCancel() {
  if (open_) close(ZeroAdjustOutcome::Cancelled);
}

void ZeroAdjustDialog::onTick() {
  switch (adjustment_.tick()) {
    case ZeroAdjustEvent::Waiting:
      return;
    case ZeroAdjustEvent::Done:
      close(ZeroAdjustOutcome::Done);
      return;
    case ZeroAdjustEvent::CapNotFitted:
      ui_.killTimer(kZeroAdjustTimerId);
      ui_.setText(kZeroAdjustDialog, kZeroAdjustMessage, languageTable()[TextSensorCapNotFitted]);
      showButtons(true);
      waitingForUser_ = true;
      return;
    case ZeroAdjustEvent::Failed:
      ui_.killTimer(kZeroAdjustTimerId);
      port_.close();
      ui_.showMessage({languageTable()[TextCommunicationErrorCheckUsb], MessageIcon::Error, MessageButtons::Ok,
                       MessageAnswer::Ok, kZeroAdjustDialog});
      close(ZeroAdjustOutcome::Failed);
      return;
  }
}

void ZeroAdjustDialog::close(ZeroAdjustOutcome outcome) {
  ui_.killTimer(kZeroAdjustTimerId);
  open_ = false;
  waitingForUser_ = false;
  ui_.closeDialog(kZeroAdjustDialog);
  if (auto onClosed = std::move(onClosed_)) onClosed(outcome);
}

}  // namespace lmv
