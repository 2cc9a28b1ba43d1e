#pragma once
// Paints the graph page's drawing operations into an image, pixel for pixel
// as the drawing defines them: fills, one-pixel lines that leave out their
// end pixel, dotted lines that set every other pixel from the start (all set
// by hand, without antialiasing; Qt's pens would round ends and dots
// differently), and single-line texts vertically centred in their
// rectangles in the page's two fonts.
#include <QFont>
#include <QImage>

#include "record/graph_drawing.h"

namespace lmv::gui {

// The fonts of the graph page: "MS UI Gothic" 13 pixels (shown with Noto
// Sans CJK JP), drawn narrowed to an average character width of 6 (time
// axis) or 5 (value axis) pixels.
QFont graphFont(GraphFont font);
double graphFontWidthScale(GraphFont font);

// An RGB image of drawing.width x drawing.height, white where nothing is drawn.
QImage renderDrawing(const Drawing& drawing);

// Paints the operations into an existing RGB32 image.
void paintDrawing(QImage& image, const Drawing& drawing);

}  // namespace lmv::gui
