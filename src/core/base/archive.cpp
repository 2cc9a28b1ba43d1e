#include "base/archive.h"

#include <bit>
#include <cstring>

#include "base/charset.h"

namespace lmv {

void ArchiveWriter::writeU8(uint8_t value) { bytes_.push_back(value); }

void ArchiveWriter::writeU16(uint16_t value) {
  const uint8_t b[2] = {static_cast<uint8_t>(value), static_cast<uint8_t>(value >> 8)};
  writeBytes(b, sizeof b);
}

void ArchiveWriter::writeU32(uint32_t value) {
  const uint8_t b[4] = {static_cast<uint8_t>(value), static_cast<uint8_t>(value >> 8),
                        static_cast<uint8_t>(value >> 16), static_cast<uint8_t>(value >> 24)};
  writeBytes(b, sizeof b);
}

void ArchiveWriter::writeInt32(int32_t value) { writeU32(static_cast<uint32_t>(value)); }

void ArchiveWriter::writeDouble(double value) {
  const auto bits = std::bit_cast<uint64_t>(value);
  writeU32(static_cast<uint32_t>(bits));
  writeU32(static_cast<uint32_t>(bits >> 32));
}

void ArchiveWriter::writeBytes(const void* data, size_t size) {
  if (size == 0) return;
  const size_t at = bytes_.size();
  bytes_.resize(at + size);
  std::memcpy(bytes_.data() + at, data, size);
}

void ArchiveWriter::writeRect(const IntRect& rect) {
  writeInt32(rect.left);
  writeInt32(rect.top);
  writeInt32(rect.right);
  writeInt32(rect.bottom);
}

void ArchiveWriter::writeText(std::string_view utf8) {
  const std::u16string text = utf8ToUtf16(utf8);
  const size_t length = text.size();
  writeU8(0xFF);
  writeU16(0xFFFE);
  if (length <= 254) {
    writeU8(static_cast<uint8_t>(length));
  } else if (length <= 0xFFFD) {
    writeU8(0xFF);
    writeU16(static_cast<uint16_t>(length));
  } else {
    // A std::string cannot reach 2^32 - 1 UTF-16 units in practice; the
    // 64-bit form is never needed.
    writeU8(0xFF);
    writeU16(0xFFFF);
    writeU32(static_cast<uint32_t>(length));
  }
  bytes_.reserve(bytes_.size() + 2 * length);
  for (const char16_t unit : text) writeU16(static_cast<uint16_t>(unit));
}

void ArchiveReader::fail() {
  if (!failed_) {
    failed_ = true;
    failedAt_ = pos_;
  }
}

bool ArchiveReader::take(size_t count, const uint8_t*& data) {
  if (failed_ || bytes_.size() - pos_ < count) {
    fail();
    return false;
  }
  data = bytes_.data() + pos_;
  pos_ += count;
  return true;
}

bool ArchiveReader::readBytes(void* out, size_t size) {
  const uint8_t* p = nullptr;
  if (!take(size, p)) return false;
  if (size > 0) std::memcpy(out, p, size);
  return true;
}

uint8_t ArchiveReader::readU8() {
  const uint8_t* p = nullptr;
  return take(1, p) ? p[0] : 0;
}

uint16_t ArchiveReader::readU16() {
  const uint8_t* p = nullptr;
  return take(2, p) ? static_cast<uint16_t>(p[0] | (p[1] << 8)) : 0;
}

uint32_t ArchiveReader::readU32() {
  const uint8_t* p = nullptr;
  if (!take(4, p)) return 0;
  return static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) |
         (static_cast<uint32_t>(p[2]) << 16) | (static_cast<uint32_t>(p[3]) << 24);
}

uint64_t ArchiveReader::readU64() {
  const uint8_t* p = nullptr;
  if (!take(8, p)) return 0;
  uint64_t value = 0;
  for (int i = 7; i >= 0; --i) value = (value << 8) | p[i];
  return value;
}

int32_t ArchiveReader::readInt32() { return static_cast<int32_t>(readU32()); }

double ArchiveReader::readDouble() {
  const uint64_t bits = readU64();
  return std::bit_cast<double>(bits);
}

IntRect ArchiveReader::readRect() {
  IntRect rect;
  rect.left = readInt32();
  rect.top = readInt32();
  rect.right = readInt32();
  rect.bottom = readInt32();
  return failed_ ? IntRect{} : rect;
}

std::string ArchiveReader::readText() {
  if (failed_) return {};
  const size_t start = pos_;
  // A bad text is reported at its start, whichever part of it was bad.
  const auto failText = [&] {
    pos_ = start;
    failedAt_ = start;
    failed_ = true;
    return std::string();
  };
  bool wide = false;
  uint64_t length = readU8();
  if (length == 0xFF) {
    uint16_t word = readU16();
    if (word == 0xFFFE) {
      wide = true;
      length = readU8();
      if (length == 0xFF) word = readU16();
    }
    if (length == 0xFF) {
      if (word != 0xFFFF) {
        length = word;
      } else {
        const uint32_t dword = readU32();
        if (dword != 0xFFFFFFFFu) {
          length = dword;
        } else {
          length = readU64();
          if (length > 0x7FFFFFFFu) fail();
        }
      }
    }
  }
  if (failed_) return failText();

  // Check the length against the bytes that exist before allocating.
  const uint64_t unitSize = wide ? 2 : 1;
  if (length > (bytes_.size() - pos_) / unitSize) return failText();
  const uint8_t* p = nullptr;
  take(static_cast<size_t>(length * unitSize), p);
  if (!wide) {
    return localeToUtf8(std::string_view(reinterpret_cast<const char*>(p), static_cast<size_t>(length)));
  }
  std::u16string text(static_cast<size_t>(length), u'\0');
  for (size_t i = 0; i < text.size(); ++i) {
    text[i] = static_cast<char16_t>(p[2 * i] | (p[2 * i + 1] << 8));
  }
  return utf16ToUtf8(text);
}

}  // namespace lmv
