#include "ui/language_table.h"

#include <span>

namespace lmv {

namespace detail {
std::span<const std::string_view, kLanguageTableSize> japaneseTexts();
std::span<const std::string_view, kLanguageTableSize> englishTexts();
}  // namespace detail

int normalizeLanguageCode(int code) {
  return code < 0 || code >= kLanguageCount ? kLanguageJapanese : code;
}

void LanguageTable::fill(int languageCode) {
  language_.store(normalizeLanguageCode(languageCode), std::memory_order_release);
}

int LanguageTable::language() const { return language_.load(std::memory_order_acquire); }

std::string_view LanguageTable::view(int entry) const {
  if (entry < 0 || entry >= kLanguageTableSize) return {};
  switch (language()) {
    case kLanguageJapanese:
      return detail::japaneseTexts()[entry];
    case kLanguageEnglish:
      return detail::englishTexts()[entry];
    default:
      return {};  // not filled yet
  }
}

std::string LanguageTable::text(int entry) const { return std::string(view(entry)); }

std::string LanguageTable::format(int entry, std::string_view argument) const {
  const std::string_view pattern = view(entry);
  std::string out;
  out.reserve(pattern.size() + argument.size());
  for (std::size_t i = 0; i < pattern.size(); ++i) {
    if (pattern[i] == '%' && i + 1 < pattern.size() && pattern[i + 1] == 's') {
      out += argument;
      ++i;
    } else {
      out += pattern[i];
    }
  }
  return out;
}

LanguageTable& languageTable() {
  static LanguageTable table;
  return table;
}

void FillLanguageTable(int languageCode) { languageTable().fill(languageCode); }

}  // namespace lmv
