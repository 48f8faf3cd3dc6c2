// Translations through GNU gettext, as glibc provides it.
#include <libintl.h>

#include <clocale>
#include <limits>

#include "translate/translate.hpp"

namespace kavelin::text {

void StartTranslations(const std::filesystem::path& localeFolder) {
  // The language is LC_MESSAGES'; the character set of the C library's own messages
  // (strerror) is LC_CTYPE's. Numbers and times keep the C locale, so that output scripts
  // read stays as it was.
  std::setlocale(LC_MESSAGES, "");
  std::setlocale(LC_CTYPE, "");
  if (!localeFolder.empty()) ::bindtextdomain(kTextDomain, localeFolder.c_str());
  ::bind_textdomain_codeset(kTextDomain, "UTF-8");
}

std::string Tr(const char* english) {
  return ::dgettext(kTextDomain, english);
}

std::string TrN(const char* singular, const char* plural, unsigned long long count) {
  // ngettext takes an unsigned long; a count past it picks the form of its largest value.
  constexpr unsigned long long kMost = std::numeric_limits<unsigned long>::max();
  return ::dngettext(kTextDomain, singular, plural,
                     static_cast<unsigned long>(count > kMost ? kMost : count));
}

}  // namespace kavelin::text
