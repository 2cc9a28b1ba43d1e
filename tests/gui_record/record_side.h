#pragma once
// The record side of the main window for the tests: the live settings, the
// core's recording and file commands, and the three record pages as real
// widgets, wired as the desktop program wires them.
#include <QString>
#include <atomic>
#include <ostream>
#include <deque>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "base/settings.h"
#include "files/file_chooser.h"
#include "files/record_file.h"
#include "files/record_file_commands.h"
#include "record/dialog_units.h"
#include "record/record_pages.h"
#include "record/recording.h"
#include "record_fakes.h"
#include "scripted_chooser.h"
#include "ui/language_table.h"
#include "widget_ui_host.h"

// QStrings in the tests' failure messages.
inline void PrintTo(const QString& s, std::ostream* os) { *os << '"' << s.toStdString() << '"'; }

namespace lmv::test {

// The main window as the recording sees it, reading the live settings.
class SettingsEnvironment final : public RecordEnvironment {
 public:
  explicit SettingsEnvironment(const AppSettings& settings, const LanguageTable& texts)
      : settings_(settings), texts_(texts) {}
  RecordSettings recordSettings() const override { return recordSettingsOf(settings_); }
  RecordHeader recordHeader() const override { return recordHeaderOf(settings_); }
  bool statusInvalid() const override { return false; }
  bool meterConnected() const override { return connected; }
  MeterIdentity connectedMeter() const override { return meter; }
  bool captureRunning() const override { return false; }
  std::string languageText(int entry) const override { return texts_.text(entry); }
  void memoryMenuState(int) override {}
  void fileMenuState(int, int) override {}

  bool connected = true;
  MeterIdentity meter{0, "012345678", "1.00"};

 private:
  const AppSettings& settings_;
  const LanguageTable& texts_;
};


// Hands the file commands' dialogs to the chooser a test picks.
class ChooserSwitch final : public FileChooser {
 public:
  explicit ChooserSwitch(FileChooser& initial) : target_(&initial) {}
  void use(FileChooser& chooser) { target_ = &chooser; }
  std::optional<std::string> chooseFile(const FileDialogRequest& request) override {
    return target_->chooseFile(request);
  }

 private:
  FileChooser* target_;
};

struct RecordSide {
  explicit RecordSide(int language = kLanguageEnglish)
      : env(settings, texts),
        recording(host, handOver, clock, env, recordingFlag, startPending),
        commands(host, chooserSwitch, recording, env, settings, texts) {
    texts.fill(language);
    window.resize(gui::dluSize(222, 330));
    host.addRoot(&window);
    pages.place({0, 0});
    recording.initialise(pages.plotRect());
    applyTexts();
  }
  ~RecordSide() {
    recording.stop();
    clock.openGate();
  }

  void applyTexts() { pages.applyTexts(texts); }
  // The tab area on screen with tab item s selected.
  void showTab(int s) {
    window.show();
    pages.switchTab(s, host);
  }

  // The value the measurement cycle hands over.
  void putValue(int32_t code, int32_t range = 2, int32_t unit = 0);

  LanguageTable texts;
  AppSettings settings;
  SettingsEnvironment env;
  FakeRecordClock clock;
  HandOverArea handOver;
  std::atomic<int32_t> recordingFlag{0};
  std::atomic<int32_t> startPending{0};
  WidgetUiHost host;
  ScriptedChooser chooser;
  ChooserSwitch chooserSwitch{chooser};
  Recording recording;
  RecordFileCommands commands;
  QWidget window;  // the main window's tab area
  gui::RecordPages pages{recording, &window};
  gui::RecordInfoWidget* info = pages.info();
  gui::RecordListWidget* list = pages.list();
  gui::GraphPageWidget* graph = pages.graph();
};

// A stored sample at 2014-07-07 09:00:00 plus seconds.
_RECORD_DATA storedSample(int32_t value, int32_t range, int seconds);

}  // namespace lmv::test
