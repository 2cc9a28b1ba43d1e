#include "app/status_pictures.h"

#include <cstdio>

#include "link/port_list.h"
#include "ui/language_table.h"
#include "ui/main_window_controls.h"

namespace lmv {
namespace {

// Horizontal offsets of the strip's five pictures.
constexpr int kOverOffset = 0;
constexpr int kOutputOffset = 114;
constexpr int kBuzzerOffset = 240;
constexpr int kApsOffset = 280;
constexpr int kBatteryOffset = 324;

constexpr int kPhaseZeroTicks = 6;
constexpr int kCycleTicks = 10;

}  // namespace

void BlinkPhase::advance() {
  ++counter_;
  if (counter_ <= kPhaseZeroTicks) {
    phase_ = 0;
  } else {
    phase_ = 1;
    if (counter_ >= kCycleTicks) counter_ = 0;
  }
}

StatusTicker::StatusTicker(std::string pictureDirectory, std::time_t start)
    : directory_(std::move(pictureDirectory)), lastSecond_(start) {}

std::string StatusTicker::picture(const char* name) const { return directory_ + "/" + name + ".bmp"; }

StatusFrame StatusTicker::tick(const StatusInputs& in, std::time_t now) {
  if (!in.meterConnected) diagram_.advance();
  over_.advance();

  StatusFrame frame;
  const bool overLit = in.meterConnected && in.overFlag && over_.phase() == 0;
  const bool outputLit = in.meterConnected && in.output;
  const bool buzzerLit = in.meterConnected && in.buzzer;
  frame.strip = {
      {kOverOffset, picture(overLit ? "st_over_on" : "st_over_off"), true},
      {kOutputOffset, picture(outputLit ? "st_output_on" : "st_output_off"), true},
      {kBuzzerOffset, picture(buzzerLit ? "st_buzz_on" : "st_buzz_off"), true},
      {kApsOffset, picture("st_aps_off"), true},
      {kBatteryOffset, picture("st_batt3_off"), true},
  };
  if (in.meterConnected) {
    frame.diagram = picture(in.statusInvalid ? "white" : "LX5810");
  } else if (!in.portListEmpty) {
    frame.diagram = picture(diagram_.phase() == 1 ? "uu_a_LX5810" : "uu_b_LX5810");
  } else {
    frame.diagram = picture(diagram_.phase() == 1 ? "cf_a" : "cf_b");
  }

  std::string caption = languageTable()[in.meterConnected ? TextCommunicating : TextUutUnconnected];
  if (caption != lastCaption_) {
    lastCaption_ = caption;
    frame.caption = std::move(caption);
  }
  if (now - lastSecond_ >= 1) {
    lastSecond_ = now;
    frame.clock = clockText(now);
  }
  return frame;
}

std::string clockText(std::time_t when) {
  std::tm local{};
  localtime_r(&when, &local);
  char text[16];
  std::snprintf(text, sizeof text, "%02d:%02d:%02d", local.tm_hour, local.tm_min, local.tm_sec);
  return text;
}

StatusInputs readStatusInputs(const MeterSession& session) {
  StatusInputs in;
  in.meterConnected = session.meterConnected.load() == 1;
  in.statusInvalid = session.block.statusInvalid() != 0;
  in.overFlag = session.block.overFlag() != 0;
  in.output = session.block.status(StatusOutput) == 1;
  in.buzzer = session.block.status(StatusBuzzer) == 1;
  in.portListEmpty = portList().empty();
  return in;
}

ClockThread::ClockThread(UiHost& ui, const MeterSession& session, std::string programDirectory, Clock clock,
                         std::chrono::milliseconds period)
    : bridge_(ui),
      session_(session),
      pictureDirectory_(std::move(programDirectory) + "/Pictures"),
      clock_(clock ? std::move(clock) : Clock([] { return std::time(nullptr); })),
      period_(period) {}

ClockThread::~ClockThread() { stopAndJoin(); }

void ClockThread::start() {
  if (thread_.joinable()) return;
  {
    std::lock_guard lock(mutex_);
    stop_ = false;
  }
  bridge_.reopen();
  thread_ = std::thread([this] { run(); });
}

void ClockThread::stopAndJoin() {
  {
    std::lock_guard lock(mutex_);
    stop_ = true;
  }
  wake_.notify_all();
  bridge_.close();
  if (thread_.joinable()) thread_.join();
}

void ClockThread::run() {
  StatusTicker ticker(pictureDirectory_, clock_());
  std::unique_lock lock(mutex_);
  for (;;) {
    if (wake_.wait_for(lock, period_, [this] { return stop_; })) return;
    lock.unlock();
    show(ticker.tick(readStatusInputs(session_), clock_()));
    lock.lock();
  }
}

void ClockThread::show(const StatusFrame& frame) {
  bridge_.post([&ui = bridge_.ui(), frame] {
    ui.setPictures(kMainDialog, kIndicatorStrip, frame.strip);
    ui.setPictures(kMainDialog, kConnectionPicture, {{0, frame.diagram, false}});
    if (frame.caption) ui.setText(kMainDialog, kConnectionGroup, *frame.caption);
    if (frame.clock) ui.setText(kMainDialog, kClockText, *frame.clock);
  });
}

}  // namespace lmv
