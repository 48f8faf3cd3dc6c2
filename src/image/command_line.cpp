#include "image/command_line.hpp"

namespace kavelin::image {

std::string GetCommandLineArg(std::string_view tail, int n) {
  std::string_view rest = tail;
  std::string_view current;
  for (; n > 0; --n) {
    if (rest.empty()) return {};
    if (rest.front() == '"') {
      rest.remove_prefix(1);
      const std::size_t quote = rest.find('"');
      if (quote == std::string_view::npos) {
        current = rest;
        rest = {};
      } else {
        current = rest.substr(0, quote);
        // The closing quote and one separator.
        rest = quote + 2 <= rest.size() ? rest.substr(quote + 2) : std::string_view{};
      }
    } else if (const std::size_t space = rest.find(' '); space != std::string_view::npos) {
      current = rest.substr(0, space);
      rest = rest.substr(space + 1);
    } else {
      current = rest;
      rest = {};
    }
  }
  return n == 0 ? std::string(current) : std::string{};
}

}  // namespace kavelin::image
