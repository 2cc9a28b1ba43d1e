#include "picture_view.h"

#include <QPainter>

namespace lmv::gui {

PictureView::PictureView(QWidget* parent) : QWidget(parent) { setAttribute(Qt::WA_OpaquePaintEvent, false); }

void PictureView::setLayers(std::vector<Layer> layers) {
  layers_ = std::move(layers);
  update();
}

void PictureView::setNames(QStringList names) {
  if (names == names_) return;
  names_ = std::move(names);
  setAccessibleDescription(names_.join(QStringLiteral(", ")));
}

void PictureView::paintEvent(QPaintEvent*) {
  QPainter p(this);
  for (const Layer& layer : layers_) p.drawImage(QPoint(layer.x, 0), layer.image);
}

}  // namespace lmv::gui
