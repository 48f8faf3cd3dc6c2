// Characters that do not show as themselves. A name holding one can look like another name,
// look empty, or reorder the text printed after it.
#pragma once

namespace kavelin::text {

// Controls (Cc), format characters (Cf: zero-width spaces and joiners, bidirectional
// marks and overrides, the byte order mark, the soft hyphen, tags) and the line and
// paragraph separators (Zl, Zp).
bool IsInvisibleCharacter(char32_t c);

// Space separators (Zs): the space, the no-break space, U+3000 and the spaces of fixed
// widths, which show as nothing but room.
bool IsSpaceCharacter(char32_t c);

}  // namespace kavelin::text
