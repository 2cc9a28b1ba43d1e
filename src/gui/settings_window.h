#pragma once
// The settings dialog (135): a tab control with the communication (136),
// record (137) and save (138) pages on white, OK and Cancel. The window only
// reports what the user does; the settings dialog logic answers through the
// UiHost.
#include <QDialog>

class QTabWidget;

namespace lmv {
class SettingsDialog;
}

namespace lmv::gui {

class SettingsWindow : public QDialog {
  Q_OBJECT
 public:
  SettingsWindow(QWidget* parent, SettingsDialog& logic);
  ~SettingsWindow() override;
  QTabWidget* tabs() const { return tabs_; }

 signals:
  void okClicked();
  void cancelClicked();

 protected:
  // Esc and the close box are Cancel.
  void reject() override;
  void closeEvent(QCloseEvent* event) override;

 private:
  QWidget* page(int dialog);
  void buildCommPage(QWidget* page);
  void buildRecordPage(QWidget* page);
  void buildSavePage(QWidget* page);

  SettingsDialog& logic_;
  QTabWidget* tabs_;
};

}  // namespace lmv::gui
