#pragma once
// --screenshots DIR: the window monitoring the demo meter after a short
// recording, grabbed once in English and once in Japanese
// (main-window-en.png, main-window-ja.png), for machines without a display
// (QT_QPA_PLATFORM=offscreen).
#include <QString>
#include <functional>

namespace lmv::gui {

class DesktopApp;

// Waits for a shown value, records a few samples, grabs, switches the language, grabs again, then
// calls done(true), or done(false) when no value came within the limit.
void takeScreenshots(DesktopApp& app, const QString& directory, std::function<void(bool)> done);

}  // namespace lmv::gui
