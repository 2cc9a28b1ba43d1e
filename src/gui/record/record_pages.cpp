#include "record/record_pages.h"

#include <utility>

#include "record/dialog_units.h"
#include "record/record_controls.h"
#include "record/recording.h"
#include "ui/ui_host.h"

namespace lmv::gui {

RecordPages::RecordPages(Recording& recording, QWidget* parent)
    : recording_(recording),
      info_(new RecordInfoWidget(parent)),
      list_(new RecordListWidget(recording.list(), parent)),
      graph_(new GraphPageWidget(recording.graph(), parent)) {
  graph_->hide();
}

void RecordPages::place(QPoint tabTopLeft) {
  info_->move(tabTopLeft + dluRect(2, 16, 0, 0).topLeft());
  const QPoint below(info_->x(), info_->y() + info_->height());
  list_->move(below);
  graph_->move(below);
}

void RecordPages::placeIn(QWidget* infoFrame, QWidget* listFrame, QWidget* graphFrame) {
  const std::pair<QWidget*, QWidget*> pages[] = {{info_, infoFrame}, {list_, listFrame}, {graph_, graphFrame}};
  for (auto [page, frame] : pages) {
    page->setParent(frame);
    page->move(0, 0);
    page->show();
  }
}

void RecordPages::applyTexts(const LanguageTable& texts) {
  info_->applyTexts(texts);
  list_->applyTexts(texts);
  graph_->applyTexts(texts);
  recording_.graph().drawGraph();
}

void RecordPages::switchTab(int s, UiHost& host) {
  info_->hide();
  info_->show();
  list_->setVisible(s == 0);
  host.setVisible(kMainDialog, kManualButton, s == 0);
  graph_->setVisible(s == 1);
  host.setVisible(kMainDialog, kCopyGraphButton, s == 1);
}

}  // namespace lmv::gui
