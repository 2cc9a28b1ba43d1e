#include "record/graph_page_widget.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QPainter>
#include <QTabBar>

#include "record/control_ids.h"
#include "record/dialog_units.h"
#include "record/page_fonts.h"
#include "record/graph_painter.h"
#include "record/record_controls.h"
#include "ui/language_table.h"

namespace lmv::gui {

GraphPlotWidget::GraphPlotWidget(QWidget* parent) : QWidget(parent) {
  setAttribute(Qt::WA_OpaquePaintEvent);
  pending_.setSingleShot(true);
  connect(&pending_, &QTimer::timeout, this, &GraphPlotWidget::showNow);
}

void GraphPlotWidget::graphChanged(const Drawing& drawing) {
  drawing_ = drawing;
  imageStale_ = true;
  if (pending_.isActive()) return;  // the waiting repaint takes this drawing too
  const qint64 since = sinceShown_.isValid() ? sinceShown_.elapsed() : kGraphMinRepaintMs;
  if (since >= kGraphMinRepaintMs) {
    showNow();
  } else {
    pending_.start(static_cast<int>(kGraphMinRepaintMs - since));
  }
}

void GraphPlotWidget::showNow() {
  sinceShown_.start();
  update();
}

QImage GraphPlotWidget::image() {
  if (imageStale_) {
    image_ = renderDrawing(drawing_);
    imageStale_ = false;
    ++renders_;
  }
  return image_;
}

void GraphPlotWidget::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.fillRect(rect(), Qt::white);
  painter.drawImage(0, 0, image());
}

GraphPageWidget::GraphPageWidget(GraphPage& page, QWidget* parent) : QWidget(parent), page_(page) {
  markDialog(this, kGraphPage);
  setFixedSize(dluSize(219, 223));
  setFont(pageFont());
  tabs_ = markControl(new QTabBar(this), kGraphPage, kGraphTabStrip);
  tabs_->addTab(QStringLiteral("LUX"));
  tabs_->setGeometry(dluRect(0, 0, 219, 14));
  plot_ = markControl(new GraphPlotWidget(this), kGraphPage, kGraphPlotFrame);
  plot_->setGeometry(dluRect(0, 14, 219, 209));
  plot_->setFixedSize(plot_->size());
  page_.setView(plot_);
  plot_->graphChanged(page_.drawing());
}

GraphPageWidget::~GraphPageWidget() { page_.setView(nullptr); }

PixelRect GraphPageWidget::plotRect() const { return {0, 0, plot_->width(), plot_->height()}; }

void GraphPageWidget::applyTexts(const LanguageTable& texts) {
  tabs_->setTabText(0, QString::fromStdString(texts.text(TextLux)));
}

void GraphPageWidget::copyGraph() {
  QClipboard* clipboard = QGuiApplication::clipboard();
  if (!clipboard) return;  // no clipboard: nothing happens, nothing is said
  clipboard->setImage(renderDrawing(page_.copyGraph()));
}

}  // namespace lmv::gui
