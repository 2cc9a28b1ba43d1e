#include "desktop_app.h"

#include <QCoreApplication>
#include <QDesktopServices>
#include <QFileInfo>
#include <QGuiApplication>
#include <QScreen>
#include <QUrl>

#include "base/paths.h"
#include "link/explicit_ports.h"
#include "link/port_list.h"
#include "record/record_controls.h"
#include "ui/language_table.h"
#include "main_window_widget.h"
#include "meter_dialogs.h"
#include "qt_ui_host.h"
#include "settings_window.h"
#include "simulator.h"
#include "ui/main_window_controls.h"
#include "ui/monitor_controls.h"

namespace lmv::gui {
namespace {

// A first start places the window this far from where the system would.
constexpr int kFirstStartOffset = 80;

std::string executableBaseName() {
  const QString name = QFileInfo(QCoreApplication::applicationFilePath()).completeBaseName();
  return name.isEmpty() ? std::string("lumetrevisor") : name.toStdString();
}

}  // namespace

DesktopApp::DesktopApp(DesktopOptions options) : options_(std::move(options)) {
  PathEnvironment environment = currentPathEnvironment();
  // Pictures, Manuals and Languages: beside the executable, or in the files
  // folder of an installed program.
  if (options_.programDirectory.empty()) {
    options_.programDirectory = programFilesDirectory(environment);
  } else {
    environment.programDirectory = options_.programDirectory;
  }
  if (options_.dataDirectory.empty()) options_.dataDirectory = dataDirectory(environment);
  if (options_.applicationName.empty()) options_.applicationName = executableBaseName();

  host_ = std::make_unique<QtUiHost>(QString::fromStdString(options_.applicationName));
  window_ = std::make_unique<MainWindowWidget>();
  usbCheck_ = new UsbCheckWindow(window_.get());
  zeroAdjust_ = new ZeroAdjustWindow(window_.get());
  about_ = new AboutWindow(window_.get());
  host_->setMenuBar(window_->menuBar());

  logic_ = std::make_unique<MainWindow>(*host_, session_, shared_, mainWindowHooks());
  settings_ = new SettingsWindow(window_.get(), logic_->settingsDialog());
  connect(settings_, &SettingsWindow::okClicked, this, [this] { logic_->onSettingsOk(); });
  connect(settings_, &SettingsWindow::cancelClicked, this, [this] { logic_->onSettingsCancel(); });

  connect(window_.get(), &MainWindowWidget::commandTriggered, this, &DesktopApp::onCommand);
  connect(window_.get(), &MainWindowWidget::buttonClicked, this, &DesktopApp::onButton);
  connect(window_.get(), &MainWindowWidget::modeActivated, this,
          [this](int index) { logic_->monitor().onModeSelected(index); });
  connect(window_.get(), &MainWindowWidget::rangeActivated, this,
          [this](int index) { logic_->monitor().onRangeSelected(index); });
  connect(window_.get(), &MainWindowWidget::tabSelected, this, [this](int index) { logic_->onTabSelected(index); });
  connect(window_.get(), &MainWindowWidget::closeRequested, this, [this] { logic_->onCancelCommand(); });
  connect(zeroAdjust_, &ZeroAdjustWindow::tryAgainClicked, this,
          [this] { logic_->monitor().zeroAdjustDialog().onTryAgain(); });
  connect(zeroAdjust_, &ZeroAdjustWindow::cancelClicked, this,
          [this] { logic_->monitor().zeroAdjustDialog().onCancel(); });
  window_->setKeyHandler(
      [this](Key key, bool ctrl, bool shift, int focused) { return logic_->onKeyDown(key, ctrl, shift, focused); });
}

DesktopApp::~DesktopApp() {
  if (watcherSubscription_) watcher_.unsubscribe(watcherSubscription_);
  watcher_.stop();
  // The settings window works on the logic's dialog: it goes first.
  delete settings_;
  settings_ = nullptr;
  logic_.reset();
  if (demo_) {
    ExplicitPorts::instance().remove(demo_->slavePath());
    demo_->stop();
  }
}

MainWindowHooks DesktopApp::mainWindowHooks() {
  MainWindowHooks hooks;
  hooks.openDocument = [](const std::string& path) {
    const QString file = QString::fromStdString(path);
    return QFileInfo(file).isFile() && QDesktopServices::openUrl(QUrl::fromLocalFile(file));
  };
  hooks.showAbout = [this] {
    about_->setWindowTitle(QString::fromStdString(languageTable()[TextAboutTitle]));
    about_->exec();
  };
  hooks.placeWindow = [this](std::optional<IntRect> rect) {
    if (rect && rect->right > rect->left && rect->bottom > rect->top) {
      window_->move(rect->left, rect->top);
      return;
    }
    QPoint origin(0, 0);
    if (QScreen* screen = QGuiApplication::primaryScreen()) origin = screen->availableGeometry().topLeft();
    window_->move(origin + QPoint(kFirstStartOffset, kFirstStartOffset));
  };
  hooks.windowRect = [this] {
    const QRect r = window_->frameGeometry();
    return IntRect{r.left(), r.top(), r.right() + 1, r.bottom() + 1};
  };
  hooks.endProgram = [this] {
    window_->allowClose();
    window_->close();
    emit finished();
  };
  return hooks;
}

bool DesktopApp::start(std::string* error) {
  if (options_.demo) {
    sim::MeterConfig config;
    std::string sourceError;
    if (auto source = sim::IlluminanceSource::parse("sine:800:400:20", &sourceError)) config.source = *source;
    demo_ = std::make_unique<sim::Simulator>(std::move(config));
    if (!demo_->start(error)) {
      demo_.reset();
      return false;
    }
    ExplicitPorts::instance().add(demo_->slavePath(), demo_->friendlyName());
  }
  window_->show();
  logic_->startUp({options_.programDirectory, options_.dataDirectory});
  if (demo_) {
    // The demo meter is the port to use, whatever the settings named.
    if (auto port = ExplicitPorts::instance().entries(); !port.empty())
      for (const ExplicitPort& p : port)
        if (p.devicePath == demo_->slavePath()) currentPort = p.portNumber;
  }
  watcherSubscription_ = watcher_.subscribe([this] {
    host_->post([this] { logic_->onDeviceChange(); });
  });
  watcher_.start();
  return true;
}

void DesktopApp::onCommand(int command) {
  switch (command) {
    case kMenuExit:
      logic_->onCancelCommand();
      return;
    case kMenuJapanese:
    case kMenuEnglish:
      logic_->onLanguageCommand(command);
      return;
    case kMenuPdfManual:
      logic_->onManualCommand();
      return;
    case kMenuAbout:
      logic_->onAboutCommand();
      return;
    case kMenuSetting:
      logic_->onSettingCommand();
      return;
    case kMenuReadMemory:
      logic_->monitor().onReadMemoryCommand();
      return;
    default:
      // Open, Save, Save As, CSV and the paste dialog come with
      // their windows.
      return;
  }
}

void DesktopApp::onButton(int control) {
  switch (control) {
    case kMonitorButton:
      logic_->monitor().onMonitorButton();
      return;
    case kZeroAdjustButton:
      logic_->monitor().onZeroAdjustButton();
      return;
    default:
      return;
  }
}

}  // namespace lmv::gui
