#include "record/record_info.h"

#include <cstdio>

#include "link/meter_identity.h"
#include "monitor/range_table.h"
#include "monitor/value_codes.h"
#include "record/record_controls.h"

namespace lmv {

std::string intervalText(int32_t hours, int32_t minutes, int32_t seconds) {
  std::string text;
  char buf[24];
  const auto add = [&](int32_t value, const char* unit) {
    if (value <= 0) return;
    if (!text.empty()) text += ' ';
    std::snprintf(buf, sizeof buf, "%d%s", static_cast<int>(value), unit);
    text += buf;
  };
  add(hours, "h");
  add(minutes, "m");
  add(seconds, "s");
  if (hours == 0 && minutes == 0 && seconds == 0) text = "0s";
  return text;
}

std::string tempHumidText(std::string_view temperature, std::string_view humidity) {
  std::string text(temperature);
  text += "℃/";
  text += humidity;
  text += "%rh";
  return text;
}

std::string modelNameText(int32_t modelIndex) {
  if (modelIndex < 0 || modelIndex > 1) return {};
  return kModelNames[modelIndex];
}

std::string recordRangeText(int32_t rangeIndex, int32_t unitCode) {
  std::string text(rangeLabel(rangeIndex, unitCode));
  text += unitCode == UnitFootCandle ? " FC" : " lx";
  return text;
}

void RecordInfoPage::refreshRecordInfo(const RecordHeader& header, const RecordSettings& settings,
                                       bool meterConnected, bool fileBound) {
  set(kInfoCompany, header.companyText);
  set(kInfoDate, header.dateText);
  set(kInfoOperator, header.operatorText);
  set(kInfoTempHumid, tempHumidText(header.temperatureText, header.humidityText));
  set(kInfoInterval, intervalText(settings.intervalHours, settings.intervalMinutes, settings.intervalSeconds));
  set(kInfoMemo, header.memoText);
  if (!meterConnected && !fileBound) {
    set(kInfoModel, "");
    set(kInfoSerialNumber, "");
    set(kInfoFunction, "");
    set(kInfoRange, "");
  }
}

void RecordInfoPage::showDataCount(int32_t recordCount) {
  char buf[16];
  std::snprintf(buf, sizeof buf, "%d", static_cast<int>(recordCount));
  set(kInfoDataCount, buf);
}

void RecordInfoPage::showMeter(int32_t modelIndex, std::string_view serialNumberText) {
  set(kInfoModel, modelNameText(modelIndex));
  set(kInfoSerialNumber, serialNumberText);
}

void RecordInfoPage::showLastSample(std::string_view rangeText) {
  set(kInfoFunction, kFunctionText);
  set(kInfoRange, rangeText);
}

void RecordInfoPage::showFunctionForModel(int32_t modelIndex) {
  set(kInfoFunction, modelIndex == 0 ? kFunctionText : std::string_view());
}

}  // namespace lmv
