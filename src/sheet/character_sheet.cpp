#include "sheet/character_sheet.hpp"

namespace kavelin::sheet {

std::u16string NormaliseLineBreaks(std::u16string_view text) {
  std::u16string out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == u'\r' || text[i] == u'\n') {
      out += u"\r\n";
      if (text[i] == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n') ++i;
    } else {
      out += text[i];
    }
  }
  return out;
}

}  // namespace kavelin::sheet
