#pragma once

#include <cstddef>
#include <string_view>

namespace folyant::language {

// The suite's languages: the columns of the message tables and the names of
// the dialogs' translations, in this order.
inline constexpr std::string_view kLanguages[] = {"ko", "en", "ja", "zh_Hans", "zh_Hant"};

// The language for a locale name such as "ja_JP.UTF-8" or "zh-TW"; -1 for
// one the suite does not have.
int languageOf(std::string_view locale);

// The user's language as the desktop ranks them: the LANGUAGE list first,
// then LC_ALL, LC_MESSAGES or LANG. A language the suite does not have passes
// to the next; none at all leaves the texts as they were written, in Korean.
std::size_t userLanguage();

} // namespace folyant::language
