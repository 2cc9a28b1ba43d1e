#include "record/qt_file_chooser.h"

#include <QFileDialog>

namespace lmv::gui {

QStringList qtNameFilters(const std::string& filter) {
  const QStringList parts = QString::fromStdString(filter).split(QLatin1Char('|'));
  QStringList out;
  for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
    QString description = parts[i].trimmed();
    const QString patterns = parts[i + 1].trimmed();
    if (description.isEmpty() && patterns.isEmpty()) break;  // the closing "||"
    if (description.endsWith(QLatin1Char(')'))) {
      const qsizetype open = description.lastIndexOf(QLatin1Char('('));
      if (open >= 0) description = description.left(open).trimmed();
    }
    QStringList list = patterns.split(QLatin1Char(';'), Qt::SkipEmptyParts);
    for (QString& p : list) p = p.trimmed();
    out << description + QStringLiteral(" (") + list.join(QLatin1Char(' ')) + QLatin1Char(')');
  }
  return out;
}

std::unique_ptr<QFileDialog> makeFileDialog(const FileDialogRequest& request, QWidget* parent) {
  auto dialog = std::make_unique<QFileDialog>(parent);
  dialog->setOption(QFileDialog::DontUseNativeDialog, true);
  dialog->setOption(QFileDialog::ReadOnly, false);
  const bool open = request.kind == FileDialogRequest::Kind::Open;
  dialog->setAcceptMode(open ? QFileDialog::AcceptOpen : QFileDialog::AcceptSave);
  dialog->setFileMode(open ? QFileDialog::ExistingFile : QFileDialog::AnyFile);
  // The save dialog asks before an existing file is replaced (Qt's default).
  dialog->setOption(QFileDialog::DontConfirmOverwrite, false);
  dialog->setDefaultSuffix(QString::fromStdString(request.defaultExtension));
  const QStringList filters = qtNameFilters(request.filter);
  if (!filters.isEmpty()) dialog->setNameFilters(filters);
  // The initial name ("*.lxrd") is a pattern: the name filter shows it.
  return dialog;
}

std::optional<std::string> QtFileChooser::chooseFile(const FileDialogRequest& request) {
  const auto dialog = makeFileDialog(request, parent_);
  if (dialog->exec() != QDialog::Accepted) return std::nullopt;
  const QStringList files = dialog->selectedFiles();
  if (files.isEmpty()) return std::nullopt;
  return files.front().toStdString();
}

}  // namespace lmv::gui
