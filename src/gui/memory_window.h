#pragma once
// The memory-download dialog (132): where the CSV goes (folder, Browse, file
// name), the status, count and time texts, the progress bar and the small
// buffer gauge, OK and Cancel. The window reports what the user does; the
// memory dialog logic answers through the UiHost and draws the bars here.
#include <QDialog>

#include "memory/memory_dialog.h"

class QLineEdit;
class QProgressBar;
class QPushButton;

namespace lmv::gui {

class MemoryWindow : public QDialog, public ProgressBars {
  Q_OBJECT
 public:
  explicit MemoryWindow(QWidget* parent);

  QString folderText() const;
  QString fileNameText() const;
  QLineEdit* folderEdit() const { return folder_; }
  QLineEdit* fileNameEdit() const { return fileName_; }
  QPushButton* browseButton() const { return browse_; }
  QPushButton* okButton() const { return ok_; }
  QPushButton* cancelButton() const { return cancel_; }
  QProgressBar* progressBar() const { return progress_; }
  QProgressBar* bufferGauge() const { return gauge_; }

  void setProgressRange(int control, int maximum) override;
  void setProgressPosition(int control, int position) override;

 signals:
  void okClicked();
  void cancelClicked();
  // Browse gave a folder (empty when the chooser was cancelled).
  void folderChosen(const QString& folder);

 protected:
  // Esc and the close box count as Cancel, but only while Cancel can be
  // used: never during a download.
  void reject() override;
  void closeEvent(QCloseEvent* event) override;

 private:
  void browse();
  QProgressBar* bar(int control) const;

  QLineEdit* folder_;
  QLineEdit* fileName_;
  QPushButton* browse_;
  QProgressBar* progress_;
  QProgressBar* gauge_;
  QPushButton* ok_;
  QPushButton* cancel_;
};

}  // namespace lmv::gui
