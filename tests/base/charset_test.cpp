#include "base/charset.h"

#include <gtest/gtest.h>

#include <string>

#include "test_files.h"

namespace lmv {
namespace {

TEST(Utf16, RoundTripsEveryPlane) {
  const struct {
    std::string utf8;
    std::u16string utf16;
  } cases[] = {
      {"", u""},
      {"1.10", u"1.10"},
      {"Caf\xC3\xA9", u"Caf\u00E9"},
      {"\xE6\x97\xA5\xE6\x9C\xAC\xE8\xAA\x9E", u"\u65E5\u672C\u8A9E"},
      {"\xF0\x9D\x84\x9E", u"\xD834\xDD1E"},  // U+1D11E as a surrogate pair
  };
  for (const auto& c : cases) {
    EXPECT_EQ(utf8ToUtf16(c.utf8), c.utf16) << c.utf8;
    EXPECT_EQ(utf16ToUtf8(c.utf16), c.utf8) << c.utf8;
  }
}

TEST(Utf16, MalformedUtf8BecomesReplacementPerByte) {
  const struct {
    std::string utf8;
    std::u16string utf16;
  } cases[] = {
      {"\xFF", u"\uFFFD"},
      {"a\xC3", u"a\uFFFD"},                            // cut off at the end
      {"\xC3(", u"\uFFFD("},                            // missing continuation
      {"\xC0\xAF", u"\uFFFD\uFFFD"},                    // overlong
      {"\xED\xA0\x80", u"\uFFFD\uFFFD\uFFFD"},          // encoded surrogate
      {"\xF4\x90\x80\x80", u"\uFFFD\uFFFD\uFFFD\uFFFD"}, // above U+10FFFF
  };
  for (const auto& c : cases) EXPECT_EQ(utf8ToUtf16(c.utf8), c.utf16);
}

TEST(Utf16, LoneSurrogatesBecomeReplacement) {
  EXPECT_EQ(utf16ToUtf8(u"a\xD800"), "a\xEF\xBF\xBD");
  EXPECT_EQ(utf16ToUtf8(u"\xDC00z"), "\xEF\xBF\xBDz");
  EXPECT_EQ(utf16ToUtf8(std::u16string{u'\xD800', u'\xD800', u'\xDC00'}), "\xEF\xBF\xBD\xF0\x90\x80\x80");
}

TEST(NamedCharset, Cp932BothWays) {
  EXPECT_EQ(utf8ToCharset("\xE6\x97\xA5\xE6\x9C\xAC", "CP932"), "\x93\xFA\x96\x7B");
  EXPECT_EQ(charsetToUtf8("\x93\xFA\x96\x7B", "CP932"), "\xE6\x97\xA5\xE6\x9C\xAC");
}

TEST(NamedCharset, UnrepresentableBecomesQuestionMark) {
  EXPECT_EQ(utf8ToCharset("a\xC3\xA9" "b", "CP932"), "a?b");
  EXPECT_EQ(utf8ToCharset("\xC3\xA9\xE6\x97\xA5", "ISO-8859-1"), "\xE9?");
  EXPECT_EQ(utf8ToCharset("x\xFFy", "CP932"), "x?y");  // malformed input as well
}

TEST(NamedCharset, InvalidInputBecomesReplacement) {
  EXPECT_EQ(charsetToUtf8("a\x80" "b", "CP932"), "a\xEF\xBF\xBD" "b");
  EXPECT_EQ(charsetToUtf8("a\x93", "CP932"), "a\xEF\xBF\xBD");  // lead byte without trail
}

TEST(NamedCharset, DecodingGivesWellFormedUtf8) {
  // Sequences beyond U+10FFFF that iconv's UTF-8 decoder passes through.
  EXPECT_EQ(charsetToUtf8("W\xF7\x85\xBA\xA7U", "UTF-8"),
            "W\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBDU");
  EXPECT_EQ(charsetToUtf8("\xF4\x90\x80\x80", "UTF-8"), "\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD");
  EXPECT_EQ(charsetToUtf8("\xF4\x8F\xBF\xBF", "UTF-8"), "\xF4\x8F\xBF\xBF");  // U+10FFFF stays
  test::LocaleScope locale("C.UTF-8");
  ASSERT_TRUE(locale.ok());
  EXPECT_EQ(localeToUtf8("\xF7\x85\xBA\xA7"), "\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD");
}

TEST(NamedCharset, UnknownCharsetKeepsAsciiOnly) {
  EXPECT_EQ(utf8ToCharset("a\xC3\xA9", "NO-SUCH-CHARSET"), "a?");
  EXPECT_EQ(charsetToUtf8("a\xE9", "NO-SUCH-CHARSET"), "a\xEF\xBF\xBD");
}

TEST(NamedCharset, LongTextsAndShiftStates) {
  std::string longText;
  for (int i = 0; i < 5000; ++i) longText += "\xE6\x97\xA5z";
  EXPECT_EQ(charsetToUtf8(utf8ToCharset(longText, "CP932"), "CP932"), longText);

  // A stateful encoding must end back in its initial state.
  const std::string jis = utf8ToCharset("\xE6\x97\xA5" "a", "ISO-2022-JP");
  EXPECT_EQ(jis, "\x1B$BF|\x1B(Ba");
  EXPECT_EQ(charsetToUtf8(jis, "ISO-2022-JP"), "\xE6\x97\xA5" "a");
  EXPECT_EQ(utf8ToCharset("\xE6\x97\xA5", "ISO-2022-JP"), "\x1B$BF|\x1B(B");
}

TEST(LocaleCharset, FollowsTheCurrentLocale) {
  {
    test::LocaleScope locale("C.UTF-8");
    ASSERT_TRUE(locale.ok());
    EXPECT_EQ(localeCharset(), "UTF-8");
    EXPECT_EQ(utf8ToLocale("Caf\xC3\xA9"), "Caf\xC3\xA9");
    EXPECT_EQ(localeToUtf8("Caf\xC3\xA9"), "Caf\xC3\xA9");
    EXPECT_EQ(localeToUtf8("bad\xFF"), "bad\xEF\xBF\xBD");
  }
  {
    test::LocaleScope locale("C");
    ASSERT_TRUE(locale.ok());
    EXPECT_EQ(localeCharset(), "ANSI_X3.4-1968");
    EXPECT_EQ(utf8ToLocale("a\xC3\xA9\xE6\x97\xA5"), "a??");
    EXPECT_EQ(localeToUtf8("a\xE9"), "a\xEF\xBF\xBD");
  }
}

}  // namespace
}  // namespace lmv
