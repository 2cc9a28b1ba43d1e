#pragma once
// The recording: Start, Stop and Manual, the samples the timing thread has
// taken, the Clear command, and the state of the buttons, labels, menus and
// title that go with them. Owns the record store and its three views (list,
// graph, information). Everything here runs on the user-interface thread
// except requestStop().
#include <atomic>
#include <cstdint>
#include <memory>
#include <string>

#include "base/ole_date.h"
#include "ui/ui_host.h"
#include "link/hand_over.h"
#include "link/meter_identity.h"
#include "monitor/measured_value.h"
#include "record/graph.h"
#include "record/record_clock.h"
#include "record/record_info.h"
#include "record/record_list.h"
#include "record/record_settings.h"
#include "record/record_store.h"
#include "record/record_timer.h"
#include "record/sample_journal.h"

namespace lmv {

// What the recording needs from the rest of the main window.
class RecordEnvironment {
 public:
  virtual ~RecordEnvironment() = default;
  virtual RecordSettings recordSettings() const = 0;
  virtual RecordHeader recordHeader() const = 0;
  // No valid status read since the monitor panel was last reset.
  virtual bool statusInvalid() const = 0;
  virtual bool meterConnected() const = 0;
  virtual MeterIdentity connectedMeter() const = 0;
  // The paste dialog's interval capture runs.
  virtual bool captureRunning() const = 0;
  virtual std::string languageText(int entry) const = 0;
  // The handlers of WM_MEMORY_MENU_STATE (grey: 1 grey, 0 enable) and
  // WM_FILE_MENU_STATE (leaveOpen: 1 leaves File > Open alone); the
  // recording posts them.
  virtual void memoryMenuState(int grey) = 0;
  virtual void fileMenuState(int grey, int leaveOpen) = 0;
};

// Entry of the serial-number question asked before new samples are added to
// records of another meter.
inline constexpr int kSerialNumberMismatchEntry = 158;

class Recording {
 public:
  // recording and recordStartPending are the process-wide flags the rest of
  // the program reads.
  Recording(UiHost& host, HandOverArea& handOver, RecordClock& clock, RecordEnvironment& environment,
            std::atomic<int32_t>& recording, std::atomic<int32_t>& recordStartPending);
  ~Recording();
  Recording(const Recording&) = delete;
  Recording& operator=(const Recording&) = delete;

  RecordStore& store() { return store_; }
  const RecordStore& store() const { return store_; }
  RecordListPage& list() { return list_; }
  const RecordListPage& list() const { return list_; }
  GraphPage& graph() { return graph_; }
  const GraphPage& graph() const { return graph_; }
  RecordInfoPage& info() { return info_; }
  bool isRecording() const { return recording_ != 0; }
  // The time of the latest sample, automatic or manual.
  OleDate sampleTime() const { return sampleTime_; }
  const ExtremeRecord& lastAutomaticSample() const { return lastAutomaticSample_; }

  // Start-up: list page texts, the empty graph on a plot frame of the
  // given size, the information panel from the settings, empty MAX/MIN
  // lines and start/stop labels.
  void initialise(const PixelRect& plotRect);

  // Buttons Start (1025), Stop (1026) and Manual (1027).
  void onStart();
  void onStop() { stop(); }
  void onManual();

  // WM_RECORD_TICK and WM_MANUAL_SAMPLE.
  void onRecordTick(const RecordTick& tick);
  void onManualSample();

  // Ends the run: the button, the stop condition, a range change, the
  // measurement cycle. Nothing happens when no run is going.
  void stop();
  // A stop asked for by another thread (the measurement cycle); carried
  // out on the user-interface thread if a run is still going then.
  void requestStop();
  // The disconnect path ends a run; it sets buttons and menus itself.
  void stopByDisconnection();
  // WM_COMM_ERROR: the timing thread stops; the disconnect path follows.
  void stopTimer() { timer_.stop(); }

  // The connect step succeeded: records not bound to a file take the
  // meter's model, and the information panel shows it.
  void onMeterConnected(const MeterIdentity& meter);
  // The disconnect path: a running recording ends; Copy Graph, Save, Clear,
  // the paging controls and the File menu follow what the store holds.
  void onMeterDisconnected();

  // Clear command: all = true removes every record, false the last one.
  void clearRecords(bool all);
  // Empties the store and unbinds it from its file.
  void startNewRecordList();
  void clearExtremeTexts();
  void refreshRecordInfo();
  // Settings accepted: the information panel and the graph's interval
  // follow them, and with records the list page and the MAX/MIN lines are
  // shown again when the time display mode changed.
  void onSettingsApplied(bool timeDisplayModeChanged);

  // Every sample, run end and removal from now on is told to the journal
  // (nullptr: none). The journal outlives the recording's use of it.
  void setJournal(SampleJournal* journal) { journal_ = journal; }

 private:
  struct Sample {
    MeasuredValue value;
    _RECORD_DATA record;
    ExtremeRecord numbers;
  };
  Sample takeSample(const OleDate& time);
  // Asks entry 158 when the records belong to another meter; false when
  // the user keeps them (nothing is to happen).
  bool confirmSameMeter();
  void showRecordedSample(const Sample& sample);
  // Any new sample leaves the store unsaved; the first one after an open
  // or save also marks the title.
  void markChanged(bool firstOfChange);
  void postMenuState(bool memory, int grey, int leaveOpen);

  UiHost& host_;
  HandOverArea& handOver_;
  RecordClock& clock_;
  RecordEnvironment& env_;
  std::atomic<int32_t>& recording_;
  std::atomic<int32_t>& recordStartPending_;

  RecordStore store_;
  RecordListPage list_;
  GraphPage graph_;
  RecordInfoPage info_;
  RecordSettings runSettings_;  // as they were at Start

  OleDate sampleTime_;
  ExtremeRecord lastAutomaticSample_;
  ExtremeRecord listMax_, listMin_;    // MAX and MIN lines of the list page
  ExtremeRecord graphMax_, graphMin_;  // scale the graph
  bool listMaxFirst_ = true;
  bool listMinFirst_ = true;

  SampleJournal* journal_ = nullptr;
  std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);  // for queued handlers
  RecordTimer timer_;  // last: its thread calls into the members above
};

}  // namespace lmv
