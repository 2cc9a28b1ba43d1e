#pragma once
// The clear dialog (template 131): "All Clear" (1093) or "Clear last 1
// data" (1094, the default button). Esc and the close box clear nothing.
#include <QDialog>
#include <optional>

class QPushButton;

namespace lmv {
class LanguageTable;
}

namespace lmv::gui {

inline constexpr int kClearDialog = 131;
inline constexpr int kAllClearButton = 1093;
inline constexpr int kClearLastButton = 1094;

class ClearDialog final : public QDialog {
  Q_OBJECT
 public:
  explicit ClearDialog(const LanguageTable& texts, QWidget* parent = nullptr);

  // Shows the dialog modally with the current language's texts: true for
  // all records, false for the last one, nothing when it was closed
  // otherwise. The main window runs Recording::clearRecords with the choice.
  std::optional<bool> ask();

  QPushButton* allClearButton() const { return allClear_; }
  QPushButton* clearLastButton() const { return clearLast_; }

 private:
  void applyTexts();

  const LanguageTable& texts_;
  QPushButton* allClear_;
  QPushButton* clearLast_;
  bool all_ = false;
};

}  // namespace lmv::gui
