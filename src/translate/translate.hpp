// The one door to translations. Every English message of the program's own is marked with
// Tr, or TrN where it counts something, where it is written; xgettext takes the catalogue
// template from those marks (po/update-pot). Where the C library has gettext (glibc) the
// user's language picks a catalogue; elsewhere (a web build) every text stays English.
// Numbers, names and paths go into a message through Format, never through a catalogue.
#pragma once

#include <concepts>
#include <filesystem>
#include <initializer_list>
#include <string>
#include <string_view>

namespace kavelin::text {

// The catalogues' name: LOCALE/ja/LC_MESSAGES/kavelin.mo.
inline constexpr char kTextDomain[] = "kavelin";

// Takes the user's language from the environment as gettext reads it (LANGUAGE, LC_ALL,
// LC_MESSAGES, LANG) and the catalogues from `localeFolder`. Translations come out as
// UTF-8 whatever the locale's character set, as every other text the programs print.
// Without it, or without gettext, every text stays English.
void StartTranslations(const std::filesystem::path& localeFolder);

// `english` in the user's language; `english` itself when the catalogue has no
// translation.
std::string Tr(const char* english);
// The form of a message for `count`, as the language's plural rule picks it; in English
// `singular` for 1 and `plural` otherwise.
std::string TrN(const char* singular, const char* plural, unsigned long long count);

// One value of a message: a text as it is, a whole number in decimal digits.
class FormatArgument {
 public:
  FormatArgument(std::string_view text) : text_(text) {}
  FormatArgument(const std::string& text) : text_(text) {}
  FormatArgument(const char* text) : text_(text) {}
  template <std::integral Number>
  FormatArgument(Number number) : text_(std::to_string(number)) {}
  const std::string& Text() const { return text_; }

 private:
  std::string text_;
};

// `pattern` with its printf-style directives replaced: "%s" takes the next value, "%2$s"
// the second, "%%" is a percent sign. Translations reorder values with the numbered form,
// which msgfmt --check holds to the English one. A directive without its value (a broken
// translation) comes out empty, never reads past the values.
std::string FormatList(std::string_view pattern, std::initializer_list<FormatArgument> values);
template <typename... Values>
std::string Format(std::string_view pattern, const Values&... values) {
  return FormatList(pattern, {FormatArgument(values)...});
}

}  // namespace kavelin::text
