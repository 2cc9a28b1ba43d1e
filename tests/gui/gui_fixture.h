#pragma once
// The desktop program in the test process: a private program directory
// (with the built pictures, without the manuals) and data directory, the
// simulated meter, and the message boxes answered as they come up.
#include <gtest/gtest.h>

#include <QMessageBox>
#include <QObject>
#include <QPointer>
#include <QTimer>
#include <chrono>
#include <deque>
#include <functional>
#include <memory>
#include <vector>

#include "base/settings.h"
#include "desktop_app.h"
#include "sim_fixture.h"
#include "test_files.h"

class QLabel;

namespace lmv::test {

struct SeenBox {
  QString text;
  QString caption;
  QMessageBox::Icon icon = QMessageBox::NoIcon;
  QMessageBox::StandardButtons buttons;
  QMessageBox::StandardButton defaultButton = QMessageBox::NoButton;
};

// Answers every message box that opens: with the next scripted button, or
// with the box's default button.
class MessageBoxes : public QObject {
  Q_OBJECT
 public:
  MessageBoxes();
  void script(std::vector<QMessageBox::StandardButton> answers);
  // Runs when a box has come up, before it is answered: what the windows
  // show under it.
  void beforeAnswer(std::function<void(const SeenBox&)> look) { look_ = std::move(look); }
  const std::vector<SeenBox>& seen() const { return seen_; }
  void clear() { seen_.clear(); }

 private:
  void poll();
  QTimer timer_;
  std::deque<QMessageBox::StandardButton> answers_;
  std::vector<SeenBox> seen_;
  std::vector<QPointer<QMessageBox>> handled_;
  std::function<void(const SeenBox&)> look_;
};

// Processes events until pred holds; the limit only guards against a hang.
bool waitFor(const std::function<bool()>& pred, std::chrono::milliseconds limit = std::chrono::minutes(2));

class GuiTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  // The settings of the next start: automatic connection and port.
  // adjust changes the rest of them.
  void writeSettings(bool autoConnect, int port = 1000, int language = 1,
                     const std::function<void(AppSettings&)>& adjust = {});
  void startMeter(sim::MeterConfig config = {});
  void startApp();
  // Exit through Esc, answered Yes, and wait for the end.
  bool exitApp();
  void stopApp();

  QWidget* control(int dialog, int id);
  QString text(int id, int dialog = 102);
  QStringList pictures(int id);
  bool monitoring();

  TempDir programDir;
  TempDir dataDir;
  MessageBoxes boxes;
  std::unique_ptr<SimulatedMeter> meter;
  std::unique_ptr<gui::DesktopApp> app;
  bool finished = false;
};

}  // namespace lmv::test
