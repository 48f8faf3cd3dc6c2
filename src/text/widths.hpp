// Half-width and full-width forms as the Japanese locale defines them: names are widened
// before they are encoded, number boxes are narrowed before they are read.
#pragma once

#include <string>
#include <string_view>

namespace kavelin::text {

// ASCII becomes full width (the space becomes U+3000), half-width katakana and punctuation
// become full width, and a half-width kana followed by ﾞ or ﾟ becomes the one voiced or
// semi-voiced kana where such a kana exists. A sound mark that cannot combine becomes the
// spacing mark ゛ or ゜. Everything else is kept.
std::u16string WidenText(std::u16string_view text);

// The reverse: full-width ASCII forms and U+3000 become ASCII, full-width katakana become
// half width (a voiced kana becomes two characters). Everything else is kept.
std::u16string NarrowText(std::u16string_view text);

}  // namespace kavelin::text
