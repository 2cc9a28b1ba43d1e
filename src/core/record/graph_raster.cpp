#include "record/graph_raster.h"

#include <algorithm>

namespace lmv {

PixelCanvas::PixelCanvas(int width, int height, Rgb background)
    : width_(std::max(width, 0)),
      height_(std::max(height, 0)),
      pixels_(static_cast<size_t>(width_) * height_, background) {}

void PixelCanvas::set(int x, int y, Rgb c) {
  if (x < 0 || y < 0 || x >= width_ || y >= height_) return;
  pixels_[static_cast<size_t>(y) * width_ + x] = c;
}

void PixelCanvas::draw(const DrawOp& op) {
  switch (op.kind) {
    case DrawKind::Fill:
      for (int y = std::max(op.rect.top, 0); y < std::min(op.rect.bottom, height_); ++y) {
        for (int x = std::max(op.rect.left, 0); x < std::min(op.rect.right, width_); ++x) set(x, y, op.color);
      }
      break;
    case DrawKind::Line:
      forEachLinePixel(op.x1, op.y1, op.x2, op.y2, [&](int x, int y) { set(x, y, op.color); });
      break;
    case DrawKind::DottedLine: {
      bool on = true;
      forEachLinePixel(op.x1, op.y1, op.x2, op.y2, [&](int x, int y) {
        if (on) set(x, y, op.color);
        on = !on;
      });
      break;
    }
    case DrawKind::Text:
      break;
  }
}

void PixelCanvas::replay(const Drawing& drawing) {
  for (const DrawOp& op : drawing.ops) draw(op);
}

}  // namespace lmv
