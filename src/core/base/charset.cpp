#include "base/charset.h"

#include <iconv.h>
#include <langinfo.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>

namespace lmv {
namespace {

constexpr char32_t kReplacement = 0xFFFD;

// Decodes one UTF-8 sequence at text[pos]; advances pos. Malformed input
// (bad lead byte, missing continuation, overlong form, surrogate, beyond
// U+10FFFF) yields U+FFFD and consumes one byte.
char32_t decodeUtf8(std::string_view text, size_t& pos) {
  const auto byteAt = [&](size_t i) { return static_cast<uint8_t>(text[i]); };
  const uint8_t lead = byteAt(pos);
  if (lead < 0x80) {
    ++pos;
    return lead;
  }
  size_t length = 0;
  char32_t cp = 0;
  char32_t minimum = 0;
  if ((lead & 0xE0) == 0xC0) {
    length = 2, cp = lead & 0x1F, minimum = 0x80;
  } else if ((lead & 0xF0) == 0xE0) {
    length = 3, cp = lead & 0x0F, minimum = 0x800;
  } else if ((lead & 0xF8) == 0xF0) {
    length = 4, cp = lead & 0x07, minimum = 0x10000;
  } else {
    ++pos;
    return kReplacement;
  }
  if (text.size() - pos < length) {
    ++pos;
    return kReplacement;
  }
  for (size_t i = 1; i < length; ++i) {
    const uint8_t b = byteAt(pos + i);
    if ((b & 0xC0) != 0x80) {
      ++pos;
      return kReplacement;
    }
    cp = (cp << 6) | (b & 0x3F);
  }
  if (cp < minimum || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) {
    ++pos;
    return kReplacement;
  }
  pos += length;
  return cp;
}

void appendUtf8(std::string& out, char32_t cp) {
  if (cp < 0x80) {
    out += static_cast<char>(cp);
  } else if (cp < 0x800) {
    out += static_cast<char>(0xC0 | (cp >> 6));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else if (cp < 0x10000) {
    out += static_cast<char>(0xE0 | (cp >> 12));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (cp >> 18));
    out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  }
}

// Well-formed copy of possibly malformed UTF-8.
std::string sanitiseUtf8(std::string_view utf8) {
  std::string out;
  out.reserve(utf8.size());
  for (size_t pos = 0; pos < utf8.size();) appendUtf8(out, decodeUtf8(utf8, pos));
  return out;
}

size_t utf8SequenceLength(uint8_t lead) {
  if (lead < 0x80) return 1;
  if ((lead & 0xE0) == 0xC0) return 2;
  if ((lead & 0xF0) == 0xE0) return 3;
  return 4;
}

// One iconv descriptor per direction and thread, reopened when the
// character set changes (e.g. after setlocale).
class Converter {
 public:
  Converter() = default;
  Converter(const Converter&) = delete;
  Converter& operator=(const Converter&) = delete;
  ~Converter() { close(); }

  // Returns nullptr when iconv does not know the pair.
  iconv_t* get(const std::string& to, const std::string& from) {
    if (!valid_ || to != to_ || from != from_) {
      close();
      to_ = to;
      from_ = from;
      cd_ = iconv_open(to.c_str(), from.c_str());
      valid_ = cd_ != reinterpret_cast<iconv_t>(-1);
      opened_ = true;
    }
    if (!valid_) return nullptr;
    iconv(cd_, nullptr, nullptr, nullptr, nullptr);  // back to the initial shift state
    return &cd_;
  }

 private:
  void close() {
    if (opened_ && valid_) iconv_close(cd_);
    opened_ = false;
    valid_ = false;
  }

  std::string to_;
  std::string from_;
  iconv_t cd_ = reinterpret_cast<iconv_t>(-1);
  bool opened_ = false;
  bool valid_ = false;
};

// Runs iconv over the whole input. onInvalid is called with the input
// position of a sequence iconv refused and returns how many bytes to skip
// after appending its substitute to out.
template <typename OnInvalid>
void convertAll(iconv_t cd, std::string_view input, std::string& out, OnInvalid onInvalid) {
  char buffer[1024];
  size_t pos = 0;
  for (;;) {
    const bool flushing = pos >= input.size();
    char* inPtr = const_cast<char*>(input.data()) + pos;
    size_t inLeft = input.size() - pos;
    char* outPtr = buffer;
    size_t outLeft = sizeof buffer;
    const size_t rc = flushing ? iconv(cd, nullptr, nullptr, &outPtr, &outLeft)
                               : iconv(cd, &inPtr, &inLeft, &outPtr, &outLeft);
    const int err = errno;
    out.append(buffer, static_cast<size_t>(outPtr - buffer));
    pos = input.size() - inLeft;
    if (rc != static_cast<size_t>(-1)) {
      if (flushing) return;
      continue;
    }
    if (err == E2BIG) continue;
    if (flushing) return;
    // EILSEQ, or EINVAL for a sequence cut off at the end: substitute, go on.
    pos = std::min(input.size(), pos + onInvalid(pos, out));
  }
}

}  // namespace

std::u16string utf8ToUtf16(std::string_view utf8) {
  std::u16string out;
  out.reserve(utf8.size());
  for (size_t pos = 0; pos < utf8.size();) {
    const char32_t cp = decodeUtf8(utf8, pos);
    if (cp < 0x10000) {
      out += static_cast<char16_t>(cp);
    } else {
      out += static_cast<char16_t>(0xD800 + ((cp - 0x10000) >> 10));
      out += static_cast<char16_t>(0xDC00 + ((cp - 0x10000) & 0x3FF));
    }
  }
  return out;
}

std::string utf16ToUtf8(std::u16string_view utf16) {
  std::string out;
  out.reserve(utf16.size());
  for (size_t i = 0; i < utf16.size(); ++i) {
    const char16_t unit = utf16[i];
    if (unit >= 0xD800 && unit <= 0xDBFF && i + 1 < utf16.size() && utf16[i + 1] >= 0xDC00 &&
        utf16[i + 1] <= 0xDFFF) {
      appendUtf8(out, 0x10000 + ((static_cast<char32_t>(unit) - 0xD800) << 10) +
                          (static_cast<char32_t>(utf16[i + 1]) - 0xDC00));
      ++i;
    } else if (unit >= 0xD800 && unit <= 0xDFFF) {
      appendUtf8(out, kReplacement);
    } else {
      appendUtf8(out, unit);
    }
  }
  return out;
}

std::string localeCharset() {
  const char* name = nl_langinfo(CODESET);
  return (name != nullptr && *name != '\0') ? name : "ANSI_X3.4-1968";
}

std::string utf8ToCharset(std::string_view utf8, const std::string& charset) {
  const std::string clean = sanitiseUtf8(utf8);
  thread_local Converter converter;
  iconv_t* cd = converter.get(charset, "UTF-8");
  std::string out;
  if (cd == nullptr) {
    for (size_t pos = 0; pos < clean.size();) {
      const char32_t cp = decodeUtf8(clean, pos);
      out += cp < 0x80 ? static_cast<char>(cp) : '?';
    }
    return out;
  }
  out.reserve(clean.size());
  convertAll(*cd, clean, out, [&](size_t pos, std::string& o) -> size_t {
    o += '?';
    return pos < clean.size() ? utf8SequenceLength(static_cast<uint8_t>(clean[pos])) : 1;
  });
  return out;
}

std::string charsetToUtf8(std::string_view bytes, const std::string& charset) {
  thread_local Converter converter;
  iconv_t* cd = converter.get("UTF-8", charset);
  std::string out;
  if (cd == nullptr) {
    for (const char c : bytes) {
      if (static_cast<uint8_t>(c) < 0x80) {
        out += c;
      } else {
        appendUtf8(out, kReplacement);
      }
    }
    return out;
  }
  out.reserve(bytes.size());
  convertAll(*cd, bytes, out, [](size_t, std::string& o) -> size_t {
    appendUtf8(o, kReplacement);
    return 1;
  });
  // glibc's UTF-8 decoder lets through the 4-byte forms above U+10FFFF
  // (lead bytes F4 90.. to F7), so a UTF-8 locale would hand them on as
  // they came: only well-formed UTF-8 leaves here.
  return sanitiseUtf8(out);
}

std::string utf8ToLocale(std::string_view utf8) { return utf8ToCharset(utf8, localeCharset()); }

std::string localeToUtf8(std::string_view bytes) { return charsetToUtf8(bytes, localeCharset()); }

}  // namespace lmv
