#pragma once
// The file commands' open and save dialogs as Qt file dialogs: the
// language table's filters ("description|pattern||") as Qt name filters,
// the default suffix added to a name without one, existing files only for
// Open, and the question before an existing file is replaced for Save.
#include <QString>
#include <QStringList>
#include <functional>
#include <memory>

#include "files/file_chooser.h"

class QFileDialog;
class QWidget;

namespace lmv::gui {

// "lxrd file (*.lxrd)|*.lxrd||" -> {"lxrd file (*.lxrd)"};
// "Excel file (*.xlsx;*.xls)|*.xlsx;*.xls||" -> {"Excel file (*.xlsx *.xls)"}.
// The description's own bracketed pattern is replaced by the filter's.
QStringList qtNameFilters(const std::string& filter);

// The dialog a request asks for (Qt's own dialog, the same everywhere).
std::unique_ptr<QFileDialog> makeFileDialog(const FileDialogRequest& request, QWidget* parent);

class QtFileChooser final : public FileChooser {
 public:
  explicit QtFileChooser(QWidget* parent) : parent_(parent) {}
  std::optional<std::string> chooseFile(const FileDialogRequest& request) override;

 private:
  QWidget* parent_;
};

}  // namespace lmv::gui
