#pragma once
// File > Open, Save, Save As, Save as CSV and the main window's Save button:
// the dialogs, the "Save data?" question and the views refreshed after an
// open. Runs on the user-interface thread.
#include <string>

namespace lmv {

struct AppSettings;
class UiHost;
class LanguageTable;
class FileChooser;
class Recording;
class RecordEnvironment;
class RecordJournal;

class RecordFileCommands {
 public:
  // settings: the live values the settings dialog shows and the settings
  // file keeps; the recording reads them through its environment.
  RecordFileCommands(UiHost& ui, FileChooser& chooser, Recording& recording, RecordEnvironment& environment,
                     AppSettings& settings, const LanguageTable& texts);

  void onOpen();       // menu 32771
  void onSave();       // menu 32772
  void onSaveAs();     // menu 32773 and button 1031: always asks for a name
  void onSaveAsCsv();  // menu 32774

  // Reads the file and shows what it holds: record information, MAX and
  // MIN lines, start and stop labels, the last page of the list, the
  // graph, and the file commands and buttons that now apply.
  bool openFile(const std::string& path);
  bool saveFile(const std::string& path);
  bool exportCsv(const std::string& path);

  // A save or an open leaves nothing unsaved behind: the journal goes.
  void setJournal(RecordJournal* journal) { journal_ = journal; }
  // Start-up: a journal left by a run of the program that ended abnormally
  // is offered for recovery (Yes preselected). Yes puts its records into
  // the store as unsaved records of no file, shows them as an open does,
  // tells how many were recovered and keeps journaling them; No gives them
  // up and removes the journal. Returns whether records were recovered.
  // When another running program keeps the journal, it is left alone and
  // the user is told that this program's records are not journaled.
  bool offerRecovery();

 private:
  UiHost& ui_;
  FileChooser& chooser_;
  Recording& recording_;
  RecordEnvironment& env_;
  AppSettings& settings_;
  const LanguageTable& texts_;
  // The views after the store was replaced (open, recovery).
  void showReplacedStore();

  RecordJournal* journal_ = nullptr;
};

}  // namespace lmv
