#pragma once
// The reference rasterisation of a Drawing: which pixels each line covers.
// Painters that cannot follow it exactly still draw the same picture to the
// eye; tests use it to compare drawings pixel by pixel.
#include <vector>

#include "record/graph_drawing.h"

namespace lmv {

// Calls plot(x, y) for every pixel of the line from (x1, y1) to (x2, y2),
// the start included and the end excluded (nothing for a zero-length line).
template <typename Plot>
void forEachLinePixel(int x1, int y1, int x2, int y2, Plot&& plot) {
  const long dx = x2 > x1 ? long{x2} - x1 : long{x1} - x2;
  const long dy = y2 > y1 ? long{y2} - y1 : long{y1} - y2;
  const int sx = x1 < x2 ? 1 : -1;
  const int sy = y1 < y2 ? 1 : -1;
  int x = x1, y = y1;
  if (dx >= dy) {
    long err = dx / 2;
    for (long i = 0; i < dx; ++i) {
      plot(x, y);
      x += sx;
      err -= dy;
      if (err < 0) {
        y += sy;
        err += dx;
      }
    }
  } else {
    long err = dy / 2;
    for (long i = 0; i < dy; ++i) {
      plot(x, y);
      y += sy;
      err -= dx;
      if (err < 0) {
        x += sx;
        err += dy;
      }
    }
  }
}

// An RGB picture with the drawing's fills and lines (texts are not drawn).
class PixelCanvas {
 public:
  PixelCanvas(int width, int height, Rgb background = kGraphBackground);
  void replay(const Drawing& drawing);
  void draw(const DrawOp& op);

  int width() const { return width_; }
  int height() const { return height_; }
  Rgb at(int x, int y) const { return pixels_[static_cast<size_t>(y) * width_ + x]; }
  bool operator==(const PixelCanvas&) const = default;

 private:
  void set(int x, int y, Rgb c);

  int width_;
  int height_;
  std::vector<Rgb> pixels_;
};

}  // namespace lmv
