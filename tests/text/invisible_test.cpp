#include "text/invisible.hpp"

#include <gtest/gtest.h>

namespace kavelin::text {
namespace {

TEST(Invisible, CharactersThatDoNotShowAsThemselves) {
  // The ends of each run, so that a range cut one short shows.
  const char32_t invisible[] = {
      // Controls.
      0x0000, 0x001F, 0x007F, 0x0080, 0x009F,
      // The soft hyphen, Arabic and Mongolian marks, number signs.
      0x00AD, 0x061C, 0x180E, 0x0600, 0x0605, 0x06DD,
      // Zero widths, joiners, bidirectional marks, overrides and isolates.
      0x200B, 0x200F, 0x202A, 0x202E, 0x2060, 0x2064, 0x2066, 0x2069, 0x206A, 0x206F,
      // The byte order mark, interlinear annotation, the line and paragraph separators.
      0xFEFF, 0xFFF9, 0xFFFB, 0x2028, 0x2029,
      // Beyond the first plane: Kaithi, Egyptian, shorthand and musical format controls, tags.
      0x110BD, 0x13430, 0x1BCA0, 0x1D173, 0xE0001, 0xE0020, 0xE007F};
  for (const char32_t c : invisible)
    EXPECT_TRUE(IsInvisibleCharacter(c)) << std::hex << static_cast<unsigned>(c);

  // Neighbours of the runs above, ordinary text, a combining accent, past the last code point.
  const char32_t shown[] = {U' ',   U'A',    U'~',     0x00A0,   0x00AC,    0x00AE, 0x200A,
                            0x2010, 0x2027,  0x202F,   0x205F,   0x2065,    0x2070, 0xFEFE,
                            0xFFF8, 0xFFFC,  0xE0000,  0xE0080,  U'あ',     U'ｶ',   0x3000,
                            0x0301, 0x1F409, 0x10FFFF, 0x110000, 0xFFFFFFFF};
  for (const char32_t c : shown)
    EXPECT_FALSE(IsInvisibleCharacter(c)) << std::hex << static_cast<unsigned>(c);
}

TEST(Invisible, SpaceSeparators) {
  for (const char32_t c :
       {U' ', U'\u00A0', U'\u1680', U'\u2000', U'\u200A', U'\u202F', U'\u205F', U'\u3000'})
    EXPECT_TRUE(IsSpaceCharacter(c)) << std::hex << static_cast<unsigned>(c);
  for (const char32_t c : {U'\t', U'\u200B', U'\u2028', U'\uFEFF', U'_', U'あ', U'\u3164'})
    EXPECT_FALSE(IsSpaceCharacter(c)) << std::hex << static_cast<unsigned>(c);
}

}  // namespace
}  // namespace kavelin::text
