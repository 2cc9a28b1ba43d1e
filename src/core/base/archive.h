#pragma once
// The archive encoding shared by the settings file and the record file:
// little-endian numbers without alignment and counted texts.
//
// A text is written as FF, FE FF (UTF-16 marker), then its length in UTF-16
// code units (1 byte up to 254; FF + 16 bits up to 0xFFFD; FF FF FF + 32
// bits above), then the UTF-16LE code units. Texts written by older programs
// without the marker are 8-bit texts in the locale's character set.
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace lmv {

struct IntRect {
  int32_t left = 0;
  int32_t top = 0;
  int32_t right = 0;
  int32_t bottom = 0;
  bool operator==(const IntRect&) const = default;
};

class ArchiveWriter {
 public:
  void writeInt32(int32_t value);
  void writeDouble(double value);
  void writeRect(const IntRect& rect);
  // utf8 is converted to UTF-16; malformed UTF-8 is stored as U+FFFD.
  void writeText(std::string_view utf8);
  // Bytes as they are (data already in the file's byte order).
  void writeBytes(const void* data, size_t size);
  // Room for size more bytes, so that a large file is built in one buffer.
  void reserve(size_t size) { bytes_.reserve(bytes_.size() + size); }

  const std::vector<uint8_t>& bytes() const { return bytes_; }
  std::vector<uint8_t> takeBytes() { return std::move(bytes_); }

 private:
  void writeU8(uint8_t value);
  void writeU16(uint16_t value);
  void writeU32(uint32_t value);

  std::vector<uint8_t> bytes_;
};

// Reads from a byte span. The first failed read (data ends early, hostile
// length) makes the reader fail for good: that read and every later one
// return a default value, and failed() reports it.
class ArchiveReader {
 public:
  explicit ArchiveReader(std::span<const uint8_t> bytes) : bytes_(bytes) {}

  int32_t readInt32();
  double readDouble();
  IntRect readRect();
  // Returns the text as UTF-8.
  std::string readText();
  // size bytes as they are; fails (and leaves out alone) when fewer remain.
  bool readBytes(void* out, size_t size);

  bool failed() const { return failed_; }
  // Byte offset of the value whose read failed first (valid when failed()).
  size_t failedAt() const { return failedAt_; }
  size_t position() const { return pos_; }
  size_t remaining() const { return failed_ ? 0 : bytes_.size() - pos_; }

 private:
  bool take(size_t count, const uint8_t*& data);
  uint8_t readU8();
  uint16_t readU16();
  uint32_t readU32();
  uint64_t readU64();
  void fail();

  std::span<const uint8_t> bytes_;
  size_t pos_ = 0;
  bool failed_ = false;
  size_t failedAt_ = 0;
};

}  // namespace lmv
