#include "gui_fixture.h"

#include <QAbstractButton>
#include <QApplication>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <filesystem>

#include "base/settings.h"
#include "base/paths.h"
#include "link/port_list.h"
#include "main_window_widget.h"
#include "picture_view.h"
#include "qt_ui_host.h"
#include "ui/language_table.h"
#include "ui/monitor_controls.h"

namespace lmv::test {

MessageBoxes::MessageBoxes() {
  connect(&timer_, &QTimer::timeout, this, &MessageBoxes::poll);
  timer_.start(20);
}

void MessageBoxes::script(std::vector<QMessageBox::StandardButton> answers) {
  answers_.assign(answers.begin(), answers.end());
}

void MessageBoxes::poll() {
  for (QWidget* w : QApplication::topLevelWidgets()) {
    auto* box = qobject_cast<QMessageBox*>(w);
    if (!box || !box->isVisible()) continue;
    bool known = false;
    for (const auto& h : handled_) known = known || h == box;
    if (known) continue;
    handled_.emplace_back(box);
    SeenBox seen;
    seen.text = box->text();
    seen.caption = box->windowTitle();
    seen.icon = box->icon();
    seen.buttons = box->standardButtons();
    seen.defaultButton = box->defaultButton() ? box->standardButton(box->defaultButton()) : QMessageBox::NoButton;
    seen_.push_back(seen);
    if (look_) look_(seen);
    QMessageBox::StandardButton answer = seen.defaultButton;
    if (!answers_.empty()) {
      answer = answers_.front();
      answers_.pop_front();
    }
    if (QAbstractButton* b = box->button(answer)) b->click();
  }
}

bool waitFor(const std::function<bool()>& pred, std::chrono::milliseconds limit) {
  return QTest::qWaitFor(pred, static_cast<int>(limit.count()));
}

void GuiTest::SetUp() {
  std::filesystem::create_directory_symlink(std::string(LMV_GUI_DIR) + "/Pictures", programDir.file("Pictures"));
  FillLanguageTable(kLanguageEnglish);
}

void GuiTest::TearDown() {
  stopApp();
  meter.reset();
  portList().replace({});
}

void GuiTest::writeSettings(bool autoConnect, int port, int language,
                            const std::function<void(AppSettings&)>& adjust) {
  AppSettings s;
  s.autoConnect = autoConnect ? 1 : 0;
  s.currentPort = port;
  s.language = language;
  s.memoryFolder = dataDir.path();
  if (adjust) adjust(s);
  ASSERT_EQ(lmv::writeSettings(settingsFilePath(dataDir.path()), s).outcome, SettingsWriteOutcome::Written);
}

void GuiTest::startMeter(sim::MeterConfig config) { meter = std::make_unique<SimulatedMeter>(std::move(config)); }

void GuiTest::startApp() {
  gui::DesktopOptions options;
  options.programDirectory = programDir.path();
  options.dataDirectory = dataDir.path();
  options.applicationName = "LX5810appli";
  finished = false;
  app = std::make_unique<gui::DesktopApp>(options);
  QObject::connect(app.get(), &gui::DesktopApp::finished, [this] { finished = true; });
  std::string error;
  ASSERT_TRUE(app->start(&error)) << error;
}

bool GuiTest::exitApp() {
  boxes.script({QMessageBox::Yes});
  QTest::keyClick(&app->window(), Qt::Key_Escape);
  return waitFor([&] { return finished; });
}

void GuiTest::stopApp() {
  if (!app) return;
  app->window().allowClose();
  app.reset();
}

QWidget* GuiTest::control(int dialog, int id) { return app->host().widget(dialog, id); }

QString GuiTest::text(int id, int dialog) {
  QWidget* w = control(dialog, id);
  if (auto* l = qobject_cast<QLabel*>(w)) return l->text();
  if (auto* b = qobject_cast<QAbstractButton*>(w)) return b->text();
  if (auto* g = qobject_cast<QGroupBox*>(w)) return g->title();
  return {};
}

QStringList GuiTest::pictures(int id) {
  auto* view = qobject_cast<gui::PictureView*>(control(kMainDialog, id));
  return view ? view->names() : QStringList{};
}

bool GuiTest::monitoring() { return app->session().meterConnected == 1 && !text(kValueText).isEmpty(); }

}  // namespace lmv::test
