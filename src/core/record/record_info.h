#pragma once
// The record information panel: the header texts, the meter the records
// belong to, the last sample's function and range, the interval and the
// number of records. A passive display written by the rest of the program.
#include <cstdint>
#include <string>
#include <string_view>

#include "ui/ui_host.h"
#include "record/record_controls.h"
#include "record/record_settings.h"
#include "record/record_store.h"

namespace lmv {

// "1s", "1h 30s", "10m"; "0s" when all three are 0.
std::string intervalText(int32_t hours, int32_t minutes, int32_t seconds);
// temperature + "℃/" + humidity + "%rh".
std::string tempHumidText(std::string_view temperature, std::string_view humidity);
// "LX5810", "LX5811", or empty for any other model index.
std::string modelNameText(int32_t modelIndex);
// Range label and unit of a sample, as the panel and the record file keep
// them: "2000 lx", "20 FC", "Auto lx".
std::string recordRangeText(int32_t rangeIndex, int32_t unitCode);

class RecordInfoPage {
 public:
  explicit RecordInfoPage(UiHost& host) : host_(host) {}

  // Header texts and interval; model, serial number, function and range
  // are emptied when no meter is connected and no file is bound.
  void refreshRecordInfo(const RecordHeader& header, const RecordSettings& settings, bool meterConnected,
                         bool fileBound);
  void showDataCount(int32_t recordCount);
  void showMeter(int32_t modelIndex, std::string_view serialNumberText);
  // The recorded-sample display: function "LUX" and the range text.
  void showLastSample(std::string_view rangeText);
  // After a language switch with records: "LUX" for an LX5810's records,
  // empty for any other model.
  void showFunctionForModel(int32_t modelIndex);

 private:
  void set(int control, std::string_view text) { host_.setText(kRecordInfoPage, control, text); }

  UiHost& host_;
};

}  // namespace lmv
