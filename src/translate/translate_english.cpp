// Where there is no gettext (a web build): every text as it is written, in English.
#include "translate/translate.hpp"

namespace kavelin::text {

void StartTranslations(const std::filesystem::path&) {}

std::string Tr(const char* english) {
  return english;
}

std::string TrN(const char* singular, const char* plural, unsigned long long count) {
  return count == 1 ? singular : plural;
}

}  // namespace kavelin::text
