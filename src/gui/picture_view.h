#pragma once
// A picture control (1089, 1092): draws its layers, each an image at a
// horizontal offset, unscaled, from the top-left corner.
#include <QImage>
#include <QWidget>
#include <vector>

namespace lmv::gui {

class PictureView : public QWidget {
  Q_OBJECT
 public:
  struct Layer {
    int x = 0;
    QImage image;
  };

  explicit PictureView(QWidget* parent = nullptr);
  void setLayers(std::vector<Layer> layers);
  const std::vector<Layer>& layers() const { return layers_; }
  // What the control shows, by picture name (for accessibility and tests).
  QStringList names() const { return names_; }
  void setNames(QStringList names);

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  std::vector<Layer> layers_;
  QStringList names_;
};

}  // namespace lmv::gui
