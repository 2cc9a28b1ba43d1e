#pragma once
// CDlgMemData, the memory-download dialog (template 132): folder and file
// name, OK to download, Cancel, the status, count and time texts and two
// progress bars. It runs while the main window has handed it the port.
#include <functional>
#include <memory>
#include <string>

#include "memory/memory_download.h"

namespace lmv {

// Controls of the dialog (OK is 1, Cancel 2).
inline constexpr int kMemoryFolderEdit = 1098;
inline constexpr int kMemoryBrowseButton = 1099;
inline constexpr int kMemoryFileNameEdit = 1100;
inline constexpr int kMemoryProgressBar = 1101;
inline constexpr int kMemoryStatusText = 1102;
inline constexpr int kMemoryCountText = 1103;
inline constexpr int kMemoryFileNameLabel = 1104;
inline constexpr int kMemoryFolderLabel = 1105;
inline constexpr int kMemoryGroupBox = 1106;
inline constexpr int kMemoryRemainLabel = 1107;
inline constexpr int kMemoryRemainText = 1108;
inline constexpr int kMemoryElapsedLabel = 1109;
inline constexpr int kMemoryElapsedText = 1110;
inline constexpr int kMemoryBufferGauge = 1111;
inline constexpr int kDialogOk = 1;
inline constexpr int kDialogCancel = 2;

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
};

}  // namespace lmv
