#pragma once
// Text conversions at the program's boundaries. Inside the program every
// text is UTF-8; files and the meter's wire use UTF-16 or the 8-bit
// character set of the user's locale.
//
// Rules: invalid input never fails; a malformed sequence becomes U+FFFD when
// converting to Unicode, and a character the locale's character set cannot
// represent becomes "?".
#include <string>
#include <string_view>

namespace lmv {

std::u16string utf8ToUtf16(std::string_view utf8);
std::string utf16ToUtf8(std::u16string_view utf16);

// Character set of the current C locale (nl_langinfo(CODESET)); the program
// calls setlocale(LC_ALL, "") first, so this is the user's one.
std::string localeCharset();

// Between UTF-8 and a named character set (any name glibc's iconv knows,
// e.g. "CP932"). An unknown character set name maps every non-ASCII
// character to "?" (or U+FFFD when decoding).
std::string utf8ToCharset(std::string_view utf8, const std::string& charset);
std::string charsetToUtf8(std::string_view bytes, const std::string& charset);

// Between UTF-8 and the locale's character set: narrow archive texts, CSV
// files, command lines.
std::string utf8ToLocale(std::string_view utf8);
std::string localeToUtf8(std::string_view bytes);

}  // namespace lmv
