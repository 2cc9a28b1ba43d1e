#pragma once
// The paste-record-data dialog (133): the Open button, the two capture
// modes, "Use Record Setting" with the interval choice, Start/Stop and
// Close. Modeless over the main window; closing only hides it. The window
// reports what the user does to the dialog's logic, which answers through
// the UiHost.
#include <QDialog>

namespace lmv {
class PasteDialog;
}

namespace lmv::gui {

class PasteWindow : public QDialog {
  Q_OBJECT
 public:
  PasteWindow(QWidget* parent, PasteDialog& logic);

 protected:
  // Enter goes to the logic first: in return-key mode it is a capture.
  bool eventFilter(QObject* watched, QEvent* event) override;
  // Esc and the close box hide the dialog.
  void reject() override;
  void closeEvent(QCloseEvent* event) override;
  void changeEvent(QEvent* event) override;

 private:
  PasteDialog& logic_;
};

}  // namespace lmv::gui
