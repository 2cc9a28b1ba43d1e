#pragma once
// Whether a text fits the control that shows it, in the control's font.
#include <QString>
#include <QStringList>

class QWidget;

namespace lmv::test {

// Empty when it fits, else what is missing, e.g. "width 84 > 72".
QString textCut(QWidget* control, const QString& text);

// Every text each control of the window, the meter dialogs, the memory
// dialog and the paste dialogs can receive in the current language, checked;
// one line per text that does not fit.
QStringList findCutTexts();

}  // namespace lmv::test
