// The part of the translation door that is the same with and without gettext.
#include "translate/translate.hpp"

#include <cstddef>

namespace kavelin::text {

std::string FormatList(std::string_view pattern, std::initializer_list<FormatArgument> values) {
  std::string out;
  out.reserve(pattern.size() + 32);
  std::size_t next = 0;  // the value a plain %s takes
  for (std::size_t i = 0; i < pattern.size(); ++i) {
    if (pattern[i] != '%' || i + 1 == pattern.size()) {
      out += pattern[i];
      continue;
    }
    if (pattern[i + 1] == '%') {
      out += '%';
      ++i;
      continue;
    }
    // "%s", or "%N$s" with N from 1.
    std::size_t at = i + 1, number = 0;
    while (at < pattern.size() && pattern[at] >= '0' && pattern[at] <= '9' && number < 1000)
      number = number * 10 + static_cast<std::size_t>(pattern[at++] - '0');
    std::size_t index = 0;
    if (number > 0 && at + 1 < pattern.size() && pattern[at] == '$' && pattern[at + 1] == 's') {
      index = number - 1;
      at += 2;
    } else if (number == 0 && at == i + 1 && pattern[at] == 's') {
      index = next++;
      at += 1;
    } else {
      out += '%';  // no directive of ours: the text as it is
      continue;
    }
    if (index < values.size()) out += (values.begin() + index)->Text();
    i = at - 1;
  }
  return out;
}

}  // namespace kavelin::text
