#pragma once
// A monitor panel that writes down what a pass shows, one line per call.
#include <string>
#include <vector>

#include "link/measurement_pass.h"

namespace lmv::test {

class RecordingPanel : public MonitorPanel {
 public:
  void showRangeLabel(std::string_view label) override { log.push_back("label " + std::string(label)); }
  void fillCombos(std::string_view function, const std::vector<std::string>& rangeLabels,
                  int32_t rangeSelection) override {
    std::string line = "fill " + std::string(function) + " [";
    for (size_t i = 0; i < rangeLabels.size(); ++i) line += (i ? "," : "") + rangeLabels[i];
    log.push_back(line + "] " + std::to_string(rangeSelection));
  }
  void selectRange(int32_t selection) override { log.push_back("select " + std::to_string(selection)); }
  void showValue(std::string_view text) override { log.push_back("value " + std::string(text)); }
  void showUnit(std::string_view text) override { log.push_back("unit " + std::string(text)); }

  std::vector<std::string> log;
};

}  // namespace lmv::test
