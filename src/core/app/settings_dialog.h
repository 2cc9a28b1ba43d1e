#pragma once
// CDlgInit, the settings dialog, with its communication, record and save
// pages. The pages edit the settings themselves: what the controls show on
// opening is the current setting, OK keeps what was edited once every check
// passes, Cancel puts every value back as it was on opening.
//
// The window reports the user's actions to the handlers below; edit texts are
// reported as they change (onTextEdited), so the dialog always knows what each
// edit holds.
#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "app/shared_state.h"
#include "base/settings.h"
#include "link/port_list.h"
#include "record/time_text.h"
#include "ui/ui_host.h"

namespace lmv {

// A text read as the dialog reads numbers: blanks, an optional sign, then
// digits up to the first other character ("12abc" is 12). Empty when the text
// does not start with an integer; values beyond int32 are clamped.
std::optional<int64_t> readLeadingInteger(std::string_view text);

class SettingsDialog {
 public:
  using DateSource = std::function<std::string()>;

  SettingsDialog(UiHost& ui, AppSettings& settings, SharedState& shared, DateSource today = todayDateText);
  SettingsDialog(const SettingsDialog&) = delete;
  SettingsDialog& operator=(const SettingsDialog&) = delete;

  // Sets the dialog up from the settings and opens it. ports is the current
  // port list; currentPort the meter's port; recording whether a recording
  // runs (the port and every record setting are then locked).
  void open(const std::vector<_COM_LIST>& ports, int32_t currentPort, bool recording);
  bool isOpen() const { return open_; }

  // Rebuilds the port list after a device change while the dialog is open.
  void refreshPortList(const std::vector<_COM_LIST>& ports, int32_t currentPort);

  // User actions. onClicked: a check box (checked is its new state) or a
  // radio button chosen (checked is true).
  void onClicked(int control, bool checked);
  void onTextEdited(int control, std::string_view text);
  void onComboSelected(int control, int index);
  void onTabChanged(int index);

  // OK: true when every check passed and the dialog closed; false leaves it
  // open with the message shown and the focus in the failing field.
  bool onOk();
  // Cancel or the close box.
  void onCancel();

  // The chosen port's position in the port list; not persisted.
  int selectedPortIndex() const { return selectedPortIndex_; }
  // The chosen port's number, or nullopt when the list was empty.
  std::optional<int32_t> selectedPortNumber() const;
  int tabIndex() const { return tabIndex_; }

  // What an edit holds now (for tests and the window).
  std::string editText(int control) const;

 private:
  void showCommPage(const std::vector<_COM_LIST>& ports, int32_t currentPort);
  void showRecordPage();
  void showSavePage();
  void setCaptions();
  void setEdit(int page, int control, const std::string& text);
  void selectTab(int index);
  void enableIntervalFields(bool enabled);
  void enableDataCount(bool enabled);
  void enableRecordTime(bool enabled);
  void updateDateControls();
  void resetRecordTimeOutOfRange();
  void resetDataCountOutOfRange();
  bool readNumber(int control, int low, int high, int32_t& field);
  bool readText(int control, int limit, std::string& field);
  void refuse(int page, int tab, int control, const std::string& message);
  void close();

  UiHost& ui_;
  AppSettings& settings_;
  SharedState& shared_;
  DateSource today_;
  bool open_ = false;
  bool recording_ = false;
  int tabIndex_ = 0;
  int selectedPortIndex_ = 0;
  std::vector<_COM_LIST> ports_;
  std::map<int, std::string> edits_;
  int timeDisplaySelection_ = 0;
  AppSettings openingValues_;
  int openingPortIndex_ = 0;
};

}  // namespace lmv
