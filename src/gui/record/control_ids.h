#pragma once
// Every widget that stands for a control of a dialog template carries the
// template's dialog id and control id as the dynamic properties "lmvDialog"
// and "lmvControl"; the main window's user-interface host finds controls by
// them.
#include <QWidget>

namespace lmv::gui {

inline constexpr const char* kDialogProperty = "lmvDialog";
inline constexpr const char* kControlProperty = "lmvControl";

// A value display: the user-interface host gives it its text as the
// accessible description; its accessible name is its caption's. The same
// name as the host's own (kLiveProperty in qt_ui_host.h).
inline constexpr const char* kLiveTextProperty = "lmvLive";

// Marks a window itself (a page or dialog): lmvDialog only.
void markDialog(QWidget* window, int dialog);
// Marks a control; returns the widget for chaining.
template <typename W>
W* markControl(W* widget, int dialog, int control) {
  widget->setProperty(kDialogProperty, dialog);
  widget->setProperty(kControlProperty, control);
  return widget;
}

// The control below root (root included) with these ids, or nullptr.
QWidget* findControl(QWidget* root, int dialog, int control);

}  // namespace lmv::gui
