#include "record/control_ids.h"

#include <QVariant>

namespace lmv::gui {
namespace {

bool hasIds(const QWidget* w, int dialog, int control) {
  const QVariant d = w->property(kDialogProperty);
  const QVariant c = w->property(kControlProperty);
  return d.isValid() && c.isValid() && d.toInt() == dialog && c.toInt() == control;
}

}  // namespace

void markDialog(QWidget* window, int dialog) { window->setProperty(kDialogProperty, dialog); }

QWidget* findControl(QWidget* root, int dialog, int control) {
  if (!root) return nullptr;
  if (hasIds(root, dialog, control)) return root;
  const auto children = root->findChildren<QWidget*>();
  for (QWidget* w : children) {
    if (hasIds(w, dialog, control)) return w;
  }
  return nullptr;
}

}  // namespace lmv::gui
