#include "text/encoding.hpp"

#include <gtest/gtest.h>

#include "text/code_table.hpp"

namespace kavelin::text {
namespace {

using Bytes = std::vector<std::uint8_t>;

TEST(Cp932, EncodesOneCharacterPerCodeUnit) {
  EXPECT_EQ(EncodeCp932(u"ABC"), (Bytes{0x41, 0x42, 0x43}));
  EXPECT_EQ(EncodeCp932(u"あ～\r\n"), (Bytes{0x82, 0xA0, 0x81, 0x60, 0x0D, 0x0A}));
  EXPECT_EQ(EncodeCp932(u"ｶ"), (Bytes{0xB6}));
  EXPECT_TRUE(EncodeCp932(u"").empty());
}

TEST(Cp932, UnmappableCharactersBecomeOneQuestionMarkEach) {
  // Hangul, a zero-width space and a byte-order mark (which a whole-string conversion would
  // drop), and both halves of a surrogate pair.
  const std::u16string text = u"a한\u200B\uFEFF\U0001F600b";
  const Bytes bytes = EncodeCp932(text);
  EXPECT_EQ(bytes, (Bytes{'a', '?', '?', '?', '?', '?', 'b'}));
  EXPECT_EQ(DecodeCp932(bytes).size(), text.size());
  // A lone surrogate too.
  EXPECT_EQ(EncodeCp932(std::u16string(1, char16_t{0xDC00})), (Bytes{'?'}));
}

TEST(Cp932, EveryCharacterOfTheFixedRowsRoundTrips) {
  // The settings file and the comment travel in code page 932; every game character must
  // survive the trip unchanged.
  for (const auto row : kFixedRows) {
    const std::u16string text(row);
    const Bytes bytes = EncodeCp932(text);
    EXPECT_EQ(bytes.size(), 2 * text.size()) << "all are double-byte characters";
    EXPECT_EQ(DecodeCp932(bytes), text);
  }
}

TEST(Utf8, RoundTripsAndRejectsMalformedInput) {
  const std::u16string text = u"名無しさん ABC \U0001F600";
  const auto back = FromUtf8(ToUtf8(text));
  ASSERT_TRUE(back);
  EXPECT_EQ(*back, text);
  EXPECT_FALSE(FromUtf8("\xE3\x81"));  // truncated sequence
  EXPECT_FALSE(FromUtf8("\xC0\xAF"));  // overlong encoding
  EXPECT_EQ(FromUtf8(""), std::u16string());
  EXPECT_EQ(ToUtf8(std::u16string(1, char16_t{0xD800})), "\xEF\xBF\xBD");
}

}  // namespace
TEST(Cp932, CharactersItLacksAreNamedOnceEach) {
  EXPECT_EQ(Cp932Lacks(u"あ～?ｶ\r\n漢"), u"");
  // Emoji come as surrogate pairs: each half is one "?" in the patch.
  EXPECT_EQ(Cp932Lacks(u"a\u00e9b\u00e9?\u4e02"), u"\u00e9\u4e02");
  EXPECT_EQ(Cp932Lacks(u"\U0001F600x"), u"\xD83D\xDE00");
  EXPECT_EQ(Cp932Lacks(u"\u200b\ufeff"), u"\u200b\ufeff");
}

}  // namespace kavelin::text
