#pragma once
// A dialog template as widgets: the window with its id, font and fixed
// size, and each control made at its place carrying its ids.
#include <QDialog>
#include <QRect>
#include <QWidget>

#include "dialog_units.h"
#include "qt_ui_host.h"

namespace lmv::gui {

// The window of template `dialog`, in dialog units turned pixels.
inline void prepareDialog(QDialog* d, int dialog, QSize size) {
  d->setProperty(kDialogProperty, dialog);
  d->setFont(dialogFont());
  d->setFixedSize(size);
  d->setWindowFlag(Qt::WindowContextHelpButtonHint, false);
}

template <typename W>
W* control(QWidget* parent, int dialog, int id, QRect where) {
  auto* w = new W(parent);
  w->setProperty(kDialogProperty, dialog);
  w->setProperty(kControlProperty, id);
  w->setGeometry(where);
  return w;
}

}  // namespace lmv::gui
