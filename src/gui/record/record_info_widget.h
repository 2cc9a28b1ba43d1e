#pragma once
// The record information panel (template 139): header texts, the records'
// meter, the last sample's function and range, interval and record count.
// A passive display: its values are written by the core's RecordInfoPage
// through the user-interface host (controls found by their ids), its
// captions by applyTexts. It takes no input.
#include <QWidget>
#include <vector>

class QLabel;

namespace lmv {
class LanguageTable;
}

namespace lmv::gui {

class RecordInfoWidget final : public QWidget {
  Q_OBJECT
 public:
  explicit RecordInfoWidget(QWidget* parent = nullptr);

  // The captions (entries 29, 31 to 39) in the table's language.
  void applyTexts(const LanguageTable& texts);

 private:
  struct Caption {
    QLabel* label;
    int entry;
  };
  std::vector<Caption> captions_;
};

}  // namespace lmv::gui
