// The conversions between UTF-8 and a named 8-bit character set, here
// CP932 (the Japanese Windows one older files and CSV readers use). One
// character set per process keeps glibc's converters open between inputs.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "base/charset.h"
#include "utf8_check.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  const std::string decoded = lmv::charsetToUtf8(text, "CP932");
  if (!lmv::fuzz::validUtf8(decoded)) std::abort();
  const std::string encoded = lmv::utf8ToCharset(text, "CP932");
  // What was decoded encodes again without loss of length order: at most
  // two bytes per character.
  if (lmv::utf8ToCharset(decoded, "CP932").size() > 2 * decoded.size()) std::abort();
  (void)encoded;
  return 0;
}
