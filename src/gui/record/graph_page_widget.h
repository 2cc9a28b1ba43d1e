#pragma once
// The graph page (template 141): the "LUX" tab strip (1095) and the plot
// frame (1097) that shows the core's GraphPage drawing. The plot keeps the
// last drawing it was given and paints from it; it never asks the graph to
// compute anything. New drawings that arrive faster than 25 a second are
// shown together: the screen takes the latest one at most every 40 ms.
#include <QElapsedTimer>
#include <QImage>
#include <QTimer>
#include <QWidget>

#include "record/graph.h"

class QTabBar;

namespace lmv {
class LanguageTable;
}

namespace lmv::gui {

inline constexpr int kGraphTabStrip = 1095;
inline constexpr int kGraphPlotFrame = 1097;
inline constexpr int kGraphMinRepaintMs = 40;  // 25 repaints a second

class GraphPlotWidget final : public QWidget, public GraphView {
  Q_OBJECT
 public:
  explicit GraphPlotWidget(QWidget* parent = nullptr);

  // The drawing the plot shows (also what a grab of it shows).
  const Drawing& drawing() const { return drawing_; }
  // The rendered picture of the latest drawing.
  QImage image();
  // How many times the plot was rendered for the screen.
  int renderCount() const { return renders_; }
  // The screen shows the latest drawing: no repaint is waiting.
  bool showsLatest() const { return !pending_.isActive() && !imageStale_; }

  void graphChanged(const Drawing& drawing) override;

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  void showNow();

  Drawing drawing_;
  QImage image_;
  bool imageStale_ = true;
  int renders_ = 0;
  QElapsedTimer sinceShown_;
  QTimer pending_;
};

class GraphPageWidget final : public QWidget {
  Q_OBJECT
 public:
  // Shows the page's drawings from now on; the page must outlive the widget.
  explicit GraphPageWidget(GraphPage& page, QWidget* parent = nullptr);
  ~GraphPageWidget() override;

  // The plot frame's client rectangle, fixed by the page's layout: what the
  // recording's initialisation takes.
  PixelRect plotRect() const;
  GraphPlotWidget* plot() const { return plot_; }

  // The tab item's text (entry 42). The caller draws the graph again.
  void applyTexts(const LanguageTable& texts);

  // Copy Graph (button 1029): the full drawing with the top frame edge,
  // as an image on the clipboard.
  void copyGraph();

 private:
  GraphPage& page_;
  QTabBar* tabs_;
  GraphPlotWidget* plot_;
};

}  // namespace lmv::gui
