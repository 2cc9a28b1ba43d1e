#include "ui/language_table.h"

#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

namespace lmv {
namespace {

std::size_t countOf(std::string_view text, std::string_view needle) {
  std::size_t count = 0;
  for (auto pos = text.find(needle); pos != std::string_view::npos; pos = text.find(needle, pos + needle.size())) {
    ++count;
  }
  return count;
}

bool validUtf8(std::string_view s) {
  for (std::size_t i = 0; i < s.size();) {
    const auto c = static_cast<unsigned char>(s[i]);
    const int extra = c < 0x80 ? 0 : (c & 0xE0) == 0xC0 ? 1 : (c & 0xF0) == 0xE0 ? 2 : (c & 0xF8) == 0xF0 ? 3 : -1;
    if (extra < 0 || i + extra >= s.size()) return false;
    for (int k = 1; k <= extra; ++k) {
      if ((static_cast<unsigned char>(s[i + k]) & 0xC0) != 0x80) return false;
    }
    i += 1 + extra;
  }
  return true;
}

std::vector<std::string> textsOf(int language) {
  LanguageTable table;
  table.fill(language);
  std::vector<std::string> texts;
  for (int n = 0; n < table.size(); ++n) texts.push_back(table.text(n));
  return texts;
}

// Both languages side by side, entry n at index n.
class LanguageTableTest : public ::testing::Test {
 protected:
  const std::vector<std::string> ja = textsOf(kLanguageJapanese);
  const std::vector<std::string> en = textsOf(kLanguageEnglish);
};

TEST_F(LanguageTableTest, HasOneTextPerEntryAndOnlyEntry43IsEmpty) {
  ASSERT_EQ(LanguageTable::size(), 165);
  for (const auto* texts : {&ja, &en}) {
    ASSERT_EQ(texts->size(), 165u);
    for (int n = 0; n < 165; ++n) {
      SCOPED_TRACE(n);
      EXPECT_EQ((*texts)[n].empty(), n == TextListColumn2);
      EXPECT_TRUE(validUtf8((*texts)[n]));
    }
  }
}

TEST_F(LanguageTableTest, OnlyEntries141And155CarryAPlaceholder) {
  for (const auto* texts : {&ja, &en}) {
    for (int n = 0; n < 165; ++n) {
      SCOPED_TRACE(n);
      const std::string& t = (*texts)[n];
      // Every "%" is the start of "%s", and only where a caller fills one in.
      EXPECT_EQ(countOf(t, "%"), countOf(t, "%s"));
      if (n != TextCannotOpenFile && n != TextFirmwareTooOld) { EXPECT_EQ(countOf(t, "%"), 0u); }
    }
  }
  EXPECT_EQ(countOf(en[TextCannotOpenFile], "%s"), 1u);
  EXPECT_EQ(countOf(ja[TextCannotOpenFile], "%s"), 1u);
  // The Japanese names the version twice, the English once.
  EXPECT_EQ(countOf(en[TextFirmwareTooOld], "%s"), 1u);
  EXPECT_EQ(countOf(ja[TextFirmwareTooOld], "%s"), 2u);
}

TEST_F(LanguageTableTest, FiltersHaveDescriptionPatternAndClosingBars) {
  const struct {
    int entry;
    std::string_view pattern;
  } filters[] = {{TextExcelFilter, "*.xlsx;*.xls"}, {TextRecordFileFilter, "*.lxrd"}, {TextCsvFileFilter, "*.csv"}};
  for (const auto& f : filters) {
    for (const auto* texts : {&ja, &en}) {
      SCOPED_TRACE(f.entry);
      const std::string& t = (*texts)[f.entry];
      EXPECT_EQ(countOf(t, "|"), 3u);
      EXPECT_TRUE(t.ends_with("|" + std::string(f.pattern) + "||")) << t;
      EXPECT_NE(t.find('|'), 0u);  // a description comes first
      EXPECT_NE(t.find("(" + std::string(f.pattern) + ")|"), std::string::npos) << t;
    }
  }
  for (int n = 0; n < 165; ++n) {
    if (n == TextExcelFilter || n == TextRecordFileFilter || n == TextCsvFileFilter) continue;
    SCOPED_TRACE(n);
    EXPECT_FALSE(en[n].ends_with("||"));
    EXPECT_FALSE(ja[n].ends_with("||"));
  }
}

TEST_F(LanguageTableTest, MenuMarksAndLabelColonsMatchAcrossLanguages) {
  for (int n = 0; n < 165; ++n) {
    SCOPED_TRACE(n);
    // Same accelerator after the tab.
    const auto enTab = en[n].find('\t');
    const auto jaTab = ja[n].find('\t');
    ASSERT_EQ(enTab == std::string::npos, jaTab == std::string::npos);
    if (enTab != std::string::npos) { EXPECT_EQ(en[n].substr(enTab), ja[n].substr(jaTab)); }
    // Same mnemonic letter.
    const auto enAmp = en[n].find('&');
    const auto jaAmp = ja[n].find('&');
    ASSERT_EQ(enAmp == std::string::npos, jaAmp == std::string::npos);
    if (enAmp != std::string::npos) { EXPECT_EQ(en[n][enAmp + 1], ja[n][jaAmp + 1]); }
    // A label ending in the full-width colon ends in it in both languages.
    EXPECT_EQ(en[n].ends_with("："), ja[n].ends_with("："));
  }
}

TEST_F(LanguageTableTest, TextsAreExact) {
  const struct {
    int entry;
    std::string_view english;
    std::string_view japanese;
  } cases[] = {
      {TextMenuFile, "File(&F)", "ファイル(&F)"},
      {TextMenuSaveAs, "Save As...(&A)\tCtrl+Shift+S", "名前を付けて保存(&A)\tCtrl+Shift+S"},
      {TextLuxLabel, "LUX：", "照度："},
      {TextCommunicating, "Communicating...", "通信中..."},
      {TextUutUnconnected, "UUT Unconnected", "本体未接続"},
      {TextRealTimeClock, "Real time clock", " 現在時刻"},
      {TextPeriod, ". （Period）", ". （ピリオド）"},
      {TextManualFileSuffix, "_Eng.pdf", "_Jpn.pdf"},
      {TextMinuteUnit, " min", "分"},
      {TextNewFile, "New File（Launched File）", "新規ファイル（起動したファイル）"},
      {TextCelsius, "Celsius", "℃"},
      {TextCommunicationErrorCheckUsb,
       "Communication Error.\n\nCheck USB cable connection, \nor power supply of LX5810/LX5811.  ",
       "通信エラー。\n\nUSBケーブルの接続  または\n本体の電源を確認してください。  "},
      {TextInvalidFileNameCharacters,
       "The following character(s) cannot be used in filename.  \n\n        \\ / : , ; * ? \" < > |",
       "ファイル名には次の文字は使えません。 \n\n        \\ / : , ; * ? \" < > |"},
      {TextCannotOpenFile, "Can not open %s.", "%s が開けません。"},
      {TextSaveData, "Save data?", "データを保存しますか？"},
      {TextStopRecordBeforeExit, "Please stop record before closing the app!",
       "アプリを終了する前に、レコード停止してください。"},
      {TextConfirmExit, "This will exit the application.  \nDo you want to proceed?",
       "本ソフトウェアを終了します。\nよろしいですか？"},
      {TextSystemError, "System Error", "システムエラー"},
      {TextFirmwareTooOld,
       "Version of the LX5810/LX5811 firmware is not compatible.\n\nThis program is valid for more than or equal "
       "to Ver %s.\nPlease execute application after the upgrade.",
       "本体ソフトのバージョンが対応していません。\n\nこのプログラムは、Ver %s 以上が有効です。\nVer %s "
       "以上にバージョンアップしてから実行してください。    "},
      {TextShellError, "Shell Error ", "シェル処理が出来ません "},
      {TextCannotSendCommand, "Communication Error. Can not send command!\n\nThe monitor is stopped.",
       "通信エラー。コマンド送信できません！\n\n測定を停止します。"},
      {TextNoResponse, "Communication Error. No response!\n\nThe monitor is stopped.",
       "通信エラー。応答がありません！\n\n測定を停止します。"},
      {TextBufferOver, "Communication Error. Buffer over.", "通信エラー。バッファオーバー。"},
      {TextSensorCapNotFitted,
       "Zero-adjustment cannot be performed\nsince the sensor cap in not covered.\n\nAffix the sensor cap and try "
       "again.",
       "センサキャップが装着されていないため、\nゼロアジャストを実行できません。\n\nセンサキャップを装着してから再"
       "実行してください。"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.entry);
    EXPECT_EQ(en[c.entry], c.english);
    EXPECT_EQ(ja[c.entry], c.japanese);
  }
}

TEST(LanguageTable, IsEmptyUntilFilledAndOutOfRangeIsEmpty) {
  LanguageTable table;
  EXPECT_EQ(table.language(), -1);
  EXPECT_EQ(table.text(TextSaveData), "");
  table.fill(kLanguageEnglish);
  EXPECT_EQ(table.language(), kLanguageEnglish);
  EXPECT_EQ(table[TextSaveData], "Save data?");
  for (int n : {-1, 165, 1000, -2147483647 - 1, 2147483647}) {
    SCOPED_TRACE(n);
    EXPECT_EQ(table.text(n), "");
    EXPECT_EQ(table.format(n, "x"), "");
  }
}

TEST(LanguageTable, CodeOutsideTheMenuFillsJapanese) {
  for (int code : {-1, 2, 5, 2147483647}) {
    SCOPED_TRACE(code);
    LanguageTable table;
    table.fill(code);
    EXPECT_EQ(table.language(), kLanguageJapanese);
    EXPECT_EQ(table.text(TextSystemError), "システムエラー");
  }
  EXPECT_EQ(normalizeLanguageCode(0), 0);
  EXPECT_EQ(normalizeLanguageCode(1), 1);
  EXPECT_EQ(normalizeLanguageCode(2), 0);
  EXPECT_EQ(normalizeLanguageCode(-1), 0);
}

TEST(LanguageTable, FormatFillsEveryPlaceholderWithTheArgumentVerbatim) {
  LanguageTable table;
  table.fill(kLanguageJapanese);
  EXPECT_EQ(table.format(TextFirmwareTooOld, "1.02"),
            "本体ソフトのバージョンが対応していません。\n\nこのプログラムは、Ver 1.02 以上が有効です。\nVer 1.02 "
            "以上にバージョンアップしてから実行してください。    ");
  table.fill(kLanguageEnglish);
  // A path with its own "%s" or "%n" is text, not a directive.
  EXPECT_EQ(table.format(TextCannotOpenFile, "/tmp/100%s %n.csv"), "Can not open /tmp/100%s %n.csv.");
  EXPECT_EQ(table.format(TextSaveData, "x"), "Save data?");
}

TEST(LanguageTable, SwitchesLanguageOnEveryFill) {
  LanguageTable table;
  table.fill(kLanguageJapanese);
  EXPECT_EQ(table.text(TextMenuFile), "ファイル(&F)");
  table.fill(kLanguageEnglish);
  EXPECT_EQ(table.text(TextMenuFile), "File(&F)");
  table.fill(kLanguageJapanese);
  EXPECT_EQ(table.text(TextMenuFile), "ファイル(&F)");
}

TEST(LanguageTable, ReadersOnOtherThreadsSeeWholeTextsDuringFills) {
  LanguageTable table;
  table.fill(kLanguageEnglish);
  const std::string english = table.text(TextCommunicating);
  const std::string japanese = "通信中...";
  std::atomic<bool> stop{false};
  std::atomic<int> torn{0};
  std::thread reader([&] {
    while (!stop.load()) {
      const std::string t = table.text(TextCommunicating);
      if (t != english && t != japanese) ++torn;
    }
  });
  for (int i = 0; i < 20000; ++i) table.fill(i % 2);
  stop = true;
  reader.join();
  EXPECT_EQ(torn.load(), 0);
}

TEST(LanguageTable, ProgramTableIsFilledByFillLanguageTable) {
  FillLanguageTable(kLanguageEnglish);
  EXPECT_EQ(languageTable().text(TextSystemError), "System Error");
  FillLanguageTable(kLanguageJapanese);
  EXPECT_EQ(languageTable().text(TextSystemError), "システムエラー");
  EXPECT_EQ(&languageTable(), &languageTable());
}

}  // namespace
}  // namespace lmv
