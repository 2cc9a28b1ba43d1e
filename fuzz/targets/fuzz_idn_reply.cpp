// The meter's identity replies ("*IDN?" and the model reply): any line
// gives fields within their limits.
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "link/idn_reply.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view reply(reinterpret_cast<const char*>(data), size);
  const lmv::IdnFields fields = lmv::parseIdnReply(reply);
  if (fields.serialNumberText.size() > 31 || fields.firmwareVersionText.size() > 14) std::abort();
  if (reply.find(fields.serialNumberText) == std::string_view::npos) std::abort();
  if (reply.find(fields.firmwareVersionText) == std::string_view::npos) std::abort();
  (void)lmv::firmwareTooOld(fields.firmwareVersionText);
  const auto model = lmv::modelIndexOfReply(reply);
  if (model && *model != 0 && *model != 1) std::abort();
  return 0;
}
