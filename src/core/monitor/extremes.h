#pragma once
#include "monitor/measured_value.h"

namespace lmv {

// Keeps the largest (smallest) sample, comparing readings taken in different
// ranges decade by decade. firstSample is cleared by the first stored sample.
// With skipOver set, over-range codes never become an extreme. Returns
// whether the record was replaced.
bool updateMax(bool& firstSample, ExtremeRecord& record, const ExtremeRecord& sample, bool skipOver);
bool updateMin(bool& firstSample, ExtremeRecord& record, const ExtremeRecord& sample, bool skipOver);

}  // namespace lmv
