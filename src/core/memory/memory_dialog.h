#pragma once
// CDlgMemData, the memory-download dialog (template 132): folder and file
// name, OK to download, Cancel, the status, count and time texts and two
// progress bars. It runs while the main window has handed it the port.
#include <functional>
#include <memory>
#include <string>

#include "memory/memory_controls.h"
#include "memory/memory_download.h"

namespace lmv {

// The two progress bars, which the user-interface toolkit draws.
class ProgressBars {
 public:
  virtual ~ProgressBars() = default;
  virtual void setProgressRange(int control, int maximum) = 0;  // 0..maximum
  virtual void setProgressPosition(int control, int position) = 0;
};

// What a download needs besides the file: the meter and the CSV symbols.
struct MemoryDownloadSource {
  MeterIdentity meter;
  bool footCandle = false;
  CsvSymbols symbols;
};

class MemoryDialog final : private MemoryDownloadListener {
 public:
  MemoryDialog(UiHost& ui, SerialPort& port, const LanguageTable& texts, ProgressBars& bars);
  ~MemoryDialog() override;

  // Shows the dialog with the last confirmed folder and file name (the
  // settings' memoryFolder and memoryFileName); onClosed runs once it has
  // closed.
  void open(const std::string& folder, const std::string& fileName, const MemoryDownloadSource& source,
            std::function<void()> onClosed);
  bool isOpen() const { return open_; }

  // OK with the texts of the two edits; Cancel; a folder chosen by Browse.
  void onOk(const std::string& folderText, const std::string& fileNameText);
  void onCancel();
  void onFolderChosen(const std::string& folder);

  // The values OK last accepted, kept for the next opening and the settings file.
  const std::string& confirmedFolder() const { return folder_; }
  const std::string& confirmedFileName() const { return fileName_; }

 private:
  void downloadStarted(int total, const std::string& statusText) override;
  void readingProgress(int readCount, int total, const MemoryTimeUpdate& times) override;
  void ringLevel(int waiting) override;
  void downloadFinishing(MemoryDownloadOutcome outcome, const std::string& statusText) override;
  void downloadEnded(MemoryDownloadOutcome outcome, const std::string& statusText) override;

  void setText(int control, std::string_view text);
  void enableInputs(bool enabled);
  void close();

  UiHost& ui_;
  const LanguageTable& texts_;
  ProgressBars& bars_;
  MemoryDownload download_;
  MemoryDownloadSource source_;
  std::function<void()> onClosed_;
  std::string folder_;
  std::string fileName_;
  bool open_ = false;
  // From the end of a download until its message has been answered.
  bool ending_ = false;
};

}  // namespace lmv
