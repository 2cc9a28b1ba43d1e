#pragma once
// The three record pages of the main window's tab control, built over the
// recording: the information panel at the top, the record list page (tab
// item 0) and the graph page (tab item 1) below it. The main window creates
// this once, passes plotRect() to Recording::initialise, calls applyTexts
// with its other texts and switchTab when the tab selection changes.
#include <QPoint>

#include "record/graph_page_widget.h"
#include "record/record_info_widget.h"
#include "record/record_list_widget.h"

namespace lmv {
class LanguageTable;
class Recording;
class UiHost;
}  // namespace lmv

namespace lmv::gui {

class RecordPages {
 public:
  // The widgets become children of parent; the recording must outlive them.
  RecordPages(Recording& recording, QWidget* parent);

  RecordInfoWidget* info() const { return info_; }
  RecordListWidget* list() const { return list_; }
  GraphPageWidget* graph() const { return graph_; }
  PixelRect plotRect() const { return graph_->plotRect(); }

  // Places the pages for a tab control whose top-left corner is at
  // tabTopLeft (parent coordinates): the panel 2 dialog units right and 16
  // down, as in the main window's template, both pages right below it.
  void place(QPoint tabTopLeft);
  // Puts each page into the main window's frame for it (controls 139, 140
  // and 141 of template 102, of the pages' own sizes); the frames' own
  // visibility then follows the tab selection.
  void placeIn(QWidget* infoFrame, QWidget* listFrame, QWidget* graphFrame);

  // Captions of all three pages, then the graph drawn again.
  void applyTexts(const LanguageTable& texts);

  // Tab item s selected: the list page and the Manual button only for 0,
  // the graph page and the Copy Graph button only for 1.
  void switchTab(int s, UiHost& host);

 private:
  Recording& recording_;
  RecordInfoWidget* info_;
  RecordListWidget* list_;
  GraphPageWidget* graph_;
};

}  // namespace lmv::gui
