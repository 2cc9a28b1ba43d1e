#include "base/archive.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <limits>
#include <string>
#include <vector>

#include "allocation_probe.h"
#include "test_files.h"

namespace lmv {
namespace {

using Bytes = std::vector<uint8_t>;

Bytes operator+(Bytes a, const Bytes& b) {
  a.insert(a.end(), b.begin(), b.end());
  return a;
}

Bytes ascii(const std::string& text) { return Bytes(text.begin(), text.end()); }

Bytes utf16le(const std::string& asciiText) {
  Bytes out;
  for (const char c : asciiText) {
    out.push_back(static_cast<uint8_t>(c));
    out.push_back(0);
  }
  return out;
}

const Bytes kSentinel{0x78, 0x56, 0x34, 0x12};  // int32 0x12345678 after the text

TEST(ArchiveWriter, NumbersAreLittleEndian) {
  ArchiveWriter w;
  w.writeInt32(11000);
  w.writeInt32(-2);
  w.writeRect({1, -1, 0x01020304, INT32_MIN});
  w.writeDouble(1.5);
  EXPECT_EQ(w.bytes(), (Bytes{0xF8, 0x2A, 0, 0, 0xFE, 0xFF, 0xFF, 0xFF, 1, 0, 0, 0, 0xFF, 0xFF, 0xFF, 0xFF,
                              4,    3,    2, 1, 0,    0,    0,    0x80, 0, 0, 0, 0, 0,    0,    0xF8, 0x3F}));

  ArchiveReader r(w.bytes());
  EXPECT_EQ(r.readInt32(), 11000);
  EXPECT_EQ(r.readInt32(), -2);
  EXPECT_EQ(r.readRect(), (IntRect{1, -1, 0x01020304, INT32_MIN}));
  EXPECT_EQ(r.readDouble(), 1.5);
  EXPECT_FALSE(r.failed());
  EXPECT_EQ(r.remaining(), 0u);
}

TEST(ArchiveWriter, DoublesKeepEveryBit) {
  for (const double d : {0.0, -0.0, 45292.999988425923, std::numeric_limits<double>::infinity(),
                         std::numeric_limits<double>::denorm_min()}) {
    ArchiveWriter w;
    w.writeDouble(d);
    ArchiveReader r(w.bytes());
    const double back = r.readDouble();
    EXPECT_EQ(std::signbit(back), std::signbit(d));
    EXPECT_EQ(back, d);
  }
  ArchiveWriter w;
  w.writeDouble(std::numeric_limits<double>::quiet_NaN());
  ArchiveReader r(w.bytes());
  EXPECT_TRUE(std::isnan(r.readDouble()));
}

TEST(ArchiveWriter, VersionTextExactBytes) {
  ArchiveWriter w;
  w.writeText("1.10");
  EXPECT_EQ(w.bytes(), (Bytes{0xFF, 0xFE, 0xFF, 0x04, 0x31, 0x00, 0x2E, 0x00, 0x31, 0x00, 0x30, 0x00}));
}

struct LengthCase {
  size_t length;
  Bytes prefix;
};

class TextLength : public testing::TestWithParam<LengthCase> {};

TEST_P(TextLength, WrittenPrefixAndRoundTrip) {
  const LengthCase& c = GetParam();
  std::string text;
  for (size_t i = 0; i < c.length; ++i) text += static_cast<char>('a' + i % 26);
  ArchiveWriter w;
  w.writeText(text);
  w.writeInt32(0x12345678);
  const Bytes& bytes = w.bytes();
  ASSERT_EQ(bytes.size(), c.prefix.size() + 2 * c.length + 4);
  EXPECT_EQ(Bytes(bytes.begin(), bytes.begin() + static_cast<ptrdiff_t>(c.prefix.size())), c.prefix);
  if (c.length > 0) {
    EXPECT_EQ(bytes[c.prefix.size()], 'a');
    EXPECT_EQ(bytes[c.prefix.size() + 1], 0);
  }

  ArchiveReader r(bytes);
  EXPECT_EQ(r.readText(), text);
  EXPECT_EQ(r.readInt32(), 0x12345678);
  EXPECT_FALSE(r.failed());
}

INSTANTIATE_TEST_SUITE_P(
    Archive, TextLength,
    testing::Values(LengthCase{0, {0xFF, 0xFE, 0xFF, 0x00}}, LengthCase{4, {0xFF, 0xFE, 0xFF, 0x04}},
                    LengthCase{254, {0xFF, 0xFE, 0xFF, 0xFE}}, LengthCase{255, {0xFF, 0xFE, 0xFF, 0xFF, 0xFF, 0x00}},
                    LengthCase{0xFFFD, {0xFF, 0xFE, 0xFF, 0xFF, 0xFD, 0xFF}},
                    LengthCase{0xFFFE, {0xFF, 0xFE, 0xFF, 0xFF, 0xFF, 0xFF, 0xFE, 0xFF, 0x00, 0x00}},
                    LengthCase{70000, {0xFF, 0xFE, 0xFF, 0xFF, 0xFF, 0xFF, 0x70, 0x11, 0x01, 0x00}}));

TEST(ArchiveWriter, LengthCountsUtf16Units) {
  ArchiveWriter w;
  w.writeText("\xE6\x97\xA5\xF0\x9D\x84\x9E");  // one BMP character, one surrogate pair
  EXPECT_EQ(w.bytes(), (Bytes{0xFF, 0xFE, 0xFF, 0x03, 0xE5, 0x65, 0x34, 0xD8, 0x1E, 0xDD}));
  ArchiveReader r(w.bytes());
  EXPECT_EQ(r.readText(), "\xE6\x97\xA5\xF0\x9D\x84\x9E");
}

struct ReadFormCase {
  const char* name;
  Bytes bytes;
};

// Every prefix form, narrow and UTF-16, each followed by a sentinel that
// must be read right after the text.
TEST(ArchiveReader, AcceptsEveryReadForm) {
  const Bytes narrow = ascii("abc");
  const Bytes wide = utf16le("abc");
  const ReadFormCase cases[] = {
      {"narrow, 8-bit length", Bytes{0x03} + narrow},
      {"narrow, 16-bit length", Bytes{0xFF, 0x03, 0x00} + narrow},
      {"narrow, 32-bit length", Bytes{0xFF, 0xFF, 0xFF, 0x03, 0x00, 0x00, 0x00} + narrow},
      {"narrow, 64-bit length",
       Bytes{0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0x03, 0, 0, 0, 0, 0, 0, 0} + narrow},
      {"UTF-16, 8-bit length", Bytes{0xFF, 0xFE, 0xFF, 0x03} + wide},
      {"UTF-16, 16-bit length", Bytes{0xFF, 0xFE, 0xFF, 0xFF, 0x03, 0x00} + wide},
      {"UTF-16, 32-bit length", Bytes{0xFF, 0xFE, 0xFF, 0xFF, 0xFF, 0xFF, 0x03, 0x00, 0x00, 0x00} + wide},
      {"UTF-16, 64-bit length",
       Bytes{0xFF, 0xFE, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0x03, 0, 0, 0, 0, 0, 0, 0} + wide},
  };
  for (const auto& c : cases) {
    const Bytes bytes = c.bytes + kSentinel;
    ArchiveReader r(bytes);
    EXPECT_EQ(r.readText(), "abc") << c.name;
    EXPECT_EQ(r.readInt32(), 0x12345678) << c.name;
    EXPECT_FALSE(r.failed()) << c.name;
  }
}

TEST(ArchiveReader, NarrowTextsUseTheLocaleCharacterSet) {
  const Bytes bytes = Bytes{0x05} + ascii("Caf\xC3\xA9") + Bytes{0x04} + ascii("a\xE9z!");
  {
    test::LocaleScope locale("C.UTF-8");
    ASSERT_TRUE(locale.ok());
    ArchiveReader r(bytes);
    EXPECT_EQ(r.readText(), "Caf\xC3\xA9");
    EXPECT_EQ(r.readText(), "a\xEF\xBF\xBDz!");  // not UTF-8: replaced, no failure
    EXPECT_FALSE(r.failed());
  }
  {
    test::LocaleScope locale("C");
    ASSERT_TRUE(locale.ok());
    ArchiveReader r(bytes);
    EXPECT_EQ(r.readText(), "Caf\xEF\xBF\xBD\xEF\xBF\xBD");
  }
}

TEST(ArchiveReader, HostileLengthsFailWithoutAllocating) {
  const ReadFormCase cases[] = {
      {"64-bit length 2^31 - 1", Bytes{0xFF, 0xFE, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF,
                                       0xFF, 0x7F, 0, 0, 0, 0}},
      {"64-bit length 2^31", Bytes{0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0, 0, 0, 0x80, 0, 0, 0, 0}},
      {"64-bit length 2^64 - 1", Bytes{0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF,
                                       0xFF, 0xFF, 0xFF}},
      {"32-bit length 0xFFFFFFFE", Bytes{0xFF, 0xFE, 0xFF, 0xFF, 0xFF, 0xFF, 0xFE, 0xFF, 0xFF, 0xFF}},
      {"16-bit length 0xFFFD", Bytes{0xFF, 0xFE, 0xFF, 0xFF, 0xFD, 0xFF}},
      {"8-bit length 200", Bytes{0xFF, 0xFE, 0xFF, 200}},
      {"narrow 8-bit length 200", Bytes{200}},
  };
  {
    test::AllocationProbe probe;  // the probe itself sees allocations
    const std::string large(5000, 'x');
    EXPECT_GE(probe.largest(), 5000u);
  }
  for (const auto& c : cases) {
    Bytes bytes = c.bytes;
    bytes.resize(100, 'x');  // a 100-byte file
    test::AllocationProbe probe;
    ArchiveReader r(bytes);
    EXPECT_EQ(r.readText(), "") << c.name;
    EXPECT_TRUE(r.failed()) << c.name;
    EXPECT_EQ(r.failedAt(), 0u) << c.name;
    EXPECT_LT(probe.largest(), 1000u) << c.name;
  }
}

TEST(ArchiveReader, FailureIsStickyAndReturnsDefaults) {
  const Bytes bytes = Bytes{0xFF, 0xFE, 0xFF, 0x10, 'a', 0} + kSentinel;  // 16 units announced, 5 bytes there
  ArchiveReader r(bytes);
  EXPECT_EQ(r.readText(), "");
  EXPECT_TRUE(r.failed());
  EXPECT_EQ(r.readInt32(), 0);  // bytes remain, but the reader stays failed
  EXPECT_EQ(r.readDouble(), 0.0);
  EXPECT_EQ(r.readRect(), IntRect{});
  EXPECT_EQ(r.readText(), "");
  EXPECT_EQ(r.remaining(), 0u);
  EXPECT_EQ(r.failedAt(), 0u);
}

TEST(ArchiveReader, TruncatedValuesFail) {
  ArchiveWriter w;
  w.writeInt32(7);
  w.writeRect({1, 2, 3, 4});
  w.writeDouble(2.5);
  w.writeText("abc");
  const Bytes full = w.bytes();
  for (size_t cut = 0; cut < full.size(); ++cut) {
    ArchiveReader r(std::span<const uint8_t>(full.data(), cut));
    r.readInt32();
    const IntRect rect = r.readRect();
    const double d = r.readDouble();
    const std::string text = r.readText();
    EXPECT_TRUE(r.failed()) << "cut at " << cut;
    if (cut < 20) {
      EXPECT_EQ(rect, IntRect{}) << "a partly read rectangle must not leak out";
    }
    if (cut < 28) {
      EXPECT_EQ(d, 0.0);
    }
    EXPECT_EQ(text, "");
  }
  ArchiveReader r(full);
  EXPECT_EQ(r.readInt32(), 7);
  EXPECT_EQ(r.readRect(), (IntRect{1, 2, 3, 4}));
  EXPECT_EQ(r.readDouble(), 2.5);
  EXPECT_EQ(r.readText(), "abc");
  EXPECT_FALSE(r.failed());
}

}  // namespace
}  // namespace lmv
