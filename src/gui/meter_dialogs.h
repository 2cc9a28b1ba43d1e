#pragma once
// The meter link's dialogs: the USB check (130), the zero adjustment (142)
// with its marquee bar, and the About box. The logic opens and closes them
// through the UiHost; the user cannot close the first two while they work.
#include <QDialog>

class QLabel;
class QProgressBar;
class QPushButton;

namespace lmv::gui {

class UsbCheckWindow : public QDialog {
  Q_OBJECT
 public:
  explicit UsbCheckWindow(QWidget* parent);

 protected:
  void reject() override {}
  void closeEvent(QCloseEvent* event) override;
};

class ZeroAdjustWindow : public QDialog {
  Q_OBJECT
 public:
  explicit ZeroAdjustWindow(QWidget* parent);
  QPushButton* tryAgainButton() const { return tryAgain_; }
  QPushButton* cancelButton() const { return cancel_; }
  QProgressBar* progressBar() const { return progress_; }

 signals:
  void tryAgainClicked();
  void cancelClicked();

 protected:
  // Esc and the close box count as Cancel, but only while Cancel is offered.
  void reject() override;
  void closeEvent(QCloseEvent* event) override;

 private:
  QLabel* message_;
  QProgressBar* progress_;
  QPushButton* tryAgain_;
  QPushButton* cancel_;
};

class AboutWindow : public QDialog {
  Q_OBJECT
 public:
  explicit AboutWindow(QWidget* parent);
};

}  // namespace lmv::gui
