// The status pictures, caption and clock that clockThread shows, tick by tick.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/status_pictures.h"
#include "fake_ui_host.h"
#include "ui/language_table.h"
#include "ui/main_window_controls.h"

namespace lmv::test {
namespace {

const std::string kDir = "/prog/Pictures";

std::string pic(const std::string& name) { return kDir + "/" + name + ".bmp"; }

TEST(BlinkPhase, IsZeroForSixTicksAndOneForFour) {
  BlinkPhase blink;
  std::string phases;
  for (int i = 0; i < 30; ++i) {
    blink.advance();
    phases += static_cast<char>('0' + blink.phase());
  }
  EXPECT_EQ(phases, "000000111100000011110000001111");
}

struct PictureCase {
  const char* name;
  StatusInputs in;
  // Strip pictures expected at the first tick (over blink phase 0).
  const char* over;
  const char* output;
  const char* buzzer;
  // Diagram at the first tick and at the seventh (diagram phase 1).
  const char* diagramPhase0;
  const char* diagramPhase1;
  int caption;
};

class StatusPictures : public ::testing::TestWithParam<PictureCase> {
 protected:
  void SetUp() override { FillLanguageTable(kLanguageEnglish); }
};

TEST_P(StatusPictures, FollowConnectionAndStatus) {
  const PictureCase& c = GetParam();
  StatusTicker ticker(kDir, 1000);
  StatusFrame first = ticker.tick(c.in, 1000);
  ASSERT_EQ(first.strip.size(), 5u);
  const std::vector<PictureLayer> strip{{0, pic(c.over), true},
                                        {114, pic(c.output), true},
                                        {240, pic(c.buzzer), true},
                                        {280, pic("st_aps_off"), true},
                                        {324, pic("st_batt3_off"), true}};
  EXPECT_EQ(first.strip, strip);
  EXPECT_EQ(first.diagram, pic(c.diagramPhase0));
  ASSERT_TRUE(first.caption);
  EXPECT_EQ(*first.caption, languageTable()[c.caption]);
  StatusFrame seventh;
  for (int i = 0; i < 6; ++i) seventh = ticker.tick(c.in, 1000);
  EXPECT_EQ(seventh.diagram, pic(c.diagramPhase1));
  EXPECT_FALSE(seventh.caption) << "the caption is written only when it changes";
  // The over indicator is dark in the blink's second phase.
  EXPECT_EQ(seventh.strip[0].path, pic("st_over_off"));
}

StatusInputs inputs(bool connected, bool invalid, bool over, bool output, bool buzzer, bool noPorts) {
  StatusInputs in;
  in.meterConnected = connected;
  in.statusInvalid = invalid;
  in.overFlag = over;
  in.output = output;
  in.buzzer = buzzer;
  in.portListEmpty = noPorts;
  return in;
}

INSTANTIATE_TEST_SUITE_P(
    Ticks, StatusPictures,
    ::testing::Values(
        PictureCase{"NoPort", inputs(false, true, false, false, false, true), "st_over_off", "st_output_off",
                    "st_buzz_off", "cf_b", "cf_a", TextUutUnconnected},
        PictureCase{"PortNotConnected", inputs(false, true, true, true, true, false), "st_over_off",
                    "st_output_off", "st_buzz_off", "uu_b_LX5810", "uu_a_LX5810", TextUutUnconnected},
        PictureCase{"ConnectedNoStatusYet", inputs(true, true, false, false, false, false), "st_over_off",
                    "st_output_off", "st_buzz_off", "white", "white", TextCommunicating},
        PictureCase{"ConnectedOverBuzzerOutput", inputs(true, false, true, true, true, false), "st_over_on",
                    "st_output_on", "st_buzz_on", "LX5810", "LX5810", TextCommunicating}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(StatusTicker, DiagramPhaseHoldsWhileConnected) {
  FillLanguageTable(kLanguageEnglish);
  StatusTicker ticker(kDir, 0);
  const StatusInputs off = inputs(false, true, false, false, false, true);
  for (int i = 0; i < 7; ++i) ticker.tick(off, 0);
  EXPECT_EQ(ticker.diagramPhase(), 1);
  const StatusInputs on = inputs(true, false, false, false, false, false);
  for (int i = 0; i < 20; ++i) ticker.tick(on, 0);
  EXPECT_EQ(ticker.diagramPhase(), 1) << "the diagram counter advances only while not connected";
}

TEST(StatusTicker, CaptionChangesWithTheConnectionOnly) {
  FillLanguageTable(kLanguageEnglish);
  StatusTicker ticker(kDir, 0);
  std::vector<std::string> captions;
  const bool states[] = {false, false, true, true, true, false, false};
  for (bool connected : states) {
    StatusFrame f = ticker.tick(inputs(connected, false, false, false, false, false), 0);
    if (f.caption) captions.push_back(*f.caption);
  }
  EXPECT_EQ(captions, (std::vector<std::string>{"UUT Unconnected", "Communicating...", "UUT Unconnected"}));
}

TEST(StatusTicker, ClockChangesOncePerSecond) {
  FillLanguageTable(kLanguageEnglish);
  StatusTicker ticker(kDir, 100);
  const StatusInputs in = inputs(false, true, false, false, false, true);
  int shown = 0;
  // Ten ticks a second for three seconds.
  for (int t = 0; t < 30; ++t) {
    if (ticker.tick(in, 100 + (t + 1) / 10).clock) ++shown;
  }
  EXPECT_EQ(shown, 3);
}

TEST(ClockText, IsLocalTimeInHoursMinutesSeconds) {
  ::setenv("TZ", "UTC", 1);
  ::tzset();
  EXPECT_EQ(clockText(3600 * 13 + 60 * 4 + 5), "13:04:05");
}

TEST(ClockThread, ShowsFramesUntilStoppedAndJoined) {
  FillLanguageTable(kLanguageEnglish);
  FakeUiHost ui;
  MeterSession session;
  std::atomic<std::time_t> now{5000};
  ClockThread thread(ui, session, "/prog", [&] { return now.load(); }, std::chrono::milliseconds(10));
  thread.start();
  ASSERT_TRUE(ui.pumpUntil([&] { return ui.pictureUpdates(kConnectionPicture) >= 3; }, std::chrono::minutes(2)));
  EXPECT_EQ(ui.text(kConnectionGroup), "UUT Unconnected");
  EXPECT_EQ(ui.pictures(kIndicatorStrip).size(), 5u);
  now = 5001;
  ASSERT_TRUE(ui.pumpUntil([&] { return !ui.text(kClockText).empty(); }, std::chrono::minutes(2)));
  thread.stopAndJoin();
  EXPECT_FALSE(thread.running());
  const int updates = ui.pictureUpdates(kConnectionPicture);
  ui.pumpFor(std::chrono::milliseconds(50));
  EXPECT_EQ(ui.pictureUpdates(kConnectionPicture), updates) << "no frame after the stop";
}

}  // namespace
}  // namespace lmv::test
