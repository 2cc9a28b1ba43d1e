#pragma once
// A picture as a list of drawing operations that any painter replays in
// order: fills, solid and dotted one-pixel lines, and single-line texts in
// rectangles. Coordinates are pixels, x to the right, y downwards.
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace lmv {

struct Rgb {
  uint8_t r = 0, g = 0, b = 0;
  bool operator==(const Rgb&) const = default;
};

inline constexpr Rgb kGraphBackground{255, 255, 255};
inline constexpr Rgb kGraphFrame{128, 128, 128};
inline constexpr Rgb kGraphGrid{173, 173, 173};
inline constexpr Rgb kGraphBlack{0, 0, 0};
inline constexpr Rgb kGraphCurve{255, 0, 0};

struct PixelRect {
  int left = 0, top = 0, right = 0, bottom = 0;  // right and bottom exclusive
  bool operator==(const PixelRect&) const = default;
};

enum class DrawKind {
  Fill,        // rect with color
  Line,        // from (x1, y1) to (x2, y2): the start pixel drawn, the end pixel not
  DottedLine,  // the same path, every other pixel from the start
  Text,        // text in rect, one line, vertically centred, aligned by align
};

enum class TextAlign { Left, Center, Right };

// The two fonts of the graph page: height 13, width 6 (labels of the time
// axis) and width 5 (labels of the value axis); weight 400, "MS UI Gothic".
enum class GraphFont { Page, ValueLabel };

struct DrawOp {
  DrawKind kind = DrawKind::Line;
  Rgb color;
  int x1 = 0, y1 = 0, x2 = 0, y2 = 0;
  PixelRect rect;
  std::string text;
  TextAlign align = TextAlign::Left;
  GraphFont font = GraphFont::Page;
  bool operator==(const DrawOp&) const = default;

  static DrawOp fill(const PixelRect& r, Rgb c) { return {DrawKind::Fill, c, 0, 0, 0, 0, r, {}, {}, {}}; }
  static DrawOp line(int x1, int y1, int x2, int y2, Rgb c) {
    return {DrawKind::Line, c, x1, y1, x2, y2, {}, {}, {}, {}};
  }
  static DrawOp dotted(int x1, int y1, int x2, int y2, Rgb c) {
    return {DrawKind::DottedLine, c, x1, y1, x2, y2, {}, {}, {}, {}};
  }
  static DrawOp textIn(const PixelRect& r, std::string t, TextAlign a, GraphFont f) {
    return {DrawKind::Text, kGraphBlack, 0, 0, 0, 0, r, std::move(t), a, f};
  }
};

struct Drawing {
  int width = 0, height = 0;
  std::vector<DrawOp> ops;
};

}  // namespace lmv
