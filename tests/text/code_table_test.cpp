#include "text/code_table.hpp"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <set>
#include <vector>

namespace kavelin::text {
namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes Encoded(const CodeTable& table, std::u16string_view text) {
  const auto result = EncodeGameText(table, text);
  EXPECT_NE(result.status, EncodeStatus::kUnencodable) << "rejected a character of the text";
  return result.bytes;
}

// The code a position of the fixed rows stands for, as the patch stores it.
Bytes CodeOfPosition(std::size_t row, std::size_t p) {
  if (row == 0) return {static_cast<std::uint8_t>(0x50 + p)};
  return {static_cast<std::uint8_t>(0x1F + row), static_cast<std::uint8_t>(p)};
}

TEST(CodeTable, EveryFixedPositionEncodesToItsOwnCodeUnlessShadowed) {
  // Positions an earlier occurrence of the same character hides: row 1's copy of row 0
  // (all but …), the second full-width space of row 0, and the second 満 of row 4.
  std::set<std::pair<std::size_t, std::size_t>> shadowed;
  for (std::size_t p = 0; p < 0xB0; ++p) {
    if (p != 0x99) shadowed.insert({1, p});
  }
  shadowed.insert({0, 0xE6 - 0x50});
  shadowed.insert({4, 0xBD});

  const CodeTable table;
  std::set<std::pair<std::size_t, std::size_t>> notOwnCode;
  for (std::size_t row = 0; row < kFixedRows.size(); ++row) {
    for (std::size_t p = 0; p < table.Row(row).size(); ++p) {
      const auto result = EncodeGameText(table, table.Row(row).substr(p, 1));
      ASSERT_EQ(result.status, EncodeStatus::kEncoded) << "row " << row << " position " << p;
      if (result.bytes != CodeOfPosition(row, p)) notOwnCode.insert({row, p});
    }
  }
  EXPECT_EQ(notOwnCode, shadowed);
}

TEST(CodeTable, DefaultNameAndJobName) {
  const CodeTable table;
  EXPECT_EQ(Encoded(table, u"名無しさん"), (Bytes{0x21, 0x06, 0x20, 0xB1, 0x5C, 0x5B, 0x7D}));
  EXPECT_EQ(Encoded(table, u"お腹いっぱい。"),
            (Bytes{0x55, 0x23, 0x7D, 0x52, 0x81, 0x22, 0x67, 0x52, 0xE7}));
}

struct Case {
  std::u16string_view text;
  Bytes bytes;
};

TEST(CodeTable, DocumentedCodes) {
  const std::vector<Case> cases = {
      {u"つ", {0x62}},
      {u"っ", {0x81}},
      {u"‥", {0xE9}},
      {u"…", {0x20, 0x99}},
      {u"一", {0xE5}},
      {u"ー", {0xE5}},
      {u"\u3000", {0x50}},
      {u"へ", {0x9E}},
      {u"ヘ", {0x9E}},
      {u"べ", {0xDD}},
      {u"ベ", {0xDD}},
      {u"ぱ", {0x22, 0x67}},
      {u"満", {0x23, 0x34}},
      {u"１", {0x23, 0x01}},
      {u"Ｈ", {0x23, 0x0A}},
      {u"Ｌ", {0x23, 0x0B}},
      {u"Ｐ", {0x23, 0x0C}},
      {u"", {}},
      {u"ーへべ", {0xE5, 0x9E, 0xDD}},
  };
  const CodeTable table;
  for (const auto& c : cases) {
    const auto result = EncodeGameText(table, c.text);
    EXPECT_EQ(result.status, EncodeStatus::kEncoded);
    EXPECT_EQ(result.bytes, c.bytes) << "for U+" << std::hex << (c.text.empty() ? 0 : +c.text[0]);
  }
}

TEST(CodeTable, RejectsTheFirstCharacterTheGameLacks) {
  const CodeTable table;
  for (const std::u16string_view c :
       {u"ぺ", u"ぴ", u"ぷ", u"ぽ", u"1", u"A", u"Ａ", u"□", u"■", u"ヷ", u"\uFF76"}) {
    const auto result = EncodeGameText(table, c);
    EXPECT_EQ(result.status, EncodeStatus::kUnencodable);
    EXPECT_EQ(result.rejected, c);
    EXPECT_TRUE(result.bytes.empty());
  }
  // The third character is reported, and the bytes of the first two are dropped.
  const auto third = EncodeGameText(table, u"あいぺうぽ");
  EXPECT_EQ(third.status, EncodeStatus::kUnencodable);
  EXPECT_EQ(third.rejected, u"ぺ");
  EXPECT_TRUE(third.bytes.empty());
  // A character outside the basic plane is reported whole, not as half a surrogate pair.
  const auto emoji = EncodeGameText(table, u"あ\U0001F600");
  EXPECT_EQ(emoji.rejected, u"\U0001F600");
  // A lone surrogate is one unit.
  const std::u16string lone = {u'あ', char16_t{0xD83D}};
  EXPECT_EQ(EncodeGameText(table, lone).rejected, std::u16string(1, char16_t{0xD83D}));
}

TEST(CodeTable, ExtendedRowsGiveTwoByteCodesAndStatusTwo) {
  CodeTable table;
  table.AppendExtendedRow(std::u16string(16, kFullWidthSpace));
  table.AppendExtendedRow(std::u16string(16, kFullWidthSpace));
  // Row 3: field 0 凛, field 10 煌, and characters the fixed rows or special cases own.
  table.AppendExtendedRow(u"凛あ■□ーへ一満\u3000\u3000煌");
  ASSERT_EQ(table.ExtendedTable().size(), 48u);

  auto result = EncodeGameText(table, u"凛");
  EXPECT_EQ(result.status, EncodeStatus::kExtended);
  EXPECT_EQ(result.bytes, (Bytes{0x18, 0x30}));
  EXPECT_EQ(EncodeGameText(table, u"煌").bytes, (Bytes{0x18, 0x3A}));
  EXPECT_EQ(EncodeGameText(table, u"あ凛").bytes, (Bytes{0x51, 0x18, 0x30}));

  // Fixed rows and special cases come first: no extended status for these.
  for (const std::u16string_view c : {u"あ", u"ー", u"へ", u"一", u"満", u"\u3000"}) {
    EXPECT_EQ(EncodeGameText(table, c).status, EncodeStatus::kEncoded);
  }
  // The empty-cell marks fail whatever the settings file lists.
  EXPECT_EQ(EncodeGameText(table, u"■").status, EncodeStatus::kUnencodable);
  EXPECT_EQ(EncodeGameText(table, u"□").status, EncodeStatus::kUnencodable);
}

TEST(CodeTable, ExtendedTableIsPaddedPerRowAndCappedAtFifteenRows) {
  CodeTable table;
  table.AppendExtendedRow(u"凛");
  EXPECT_EQ(table.ExtendedTable(), u"凛" + std::u16string(15, kFullWidthSpace));
  for (int r = 0; r < 20; ++r)
    table.AppendExtendedRow(u"煌煌煌煌煌煌煌煌煌煌煌煌煌煌煌煌煌煌");
  EXPECT_EQ(table.ExtendedTable().size(), kExtendedTableLength);
  // The last usable second byte is FF.
  CodeTable last;
  for (int r = 0; r < 14; ++r)
    last.AppendExtendedRow(u"");
  last.AppendExtendedRow(u"               煌");
  EXPECT_EQ(EncodeGameText(last, u"煌").bytes, (Bytes{0x18, 0xFF}));
}

TEST(CodeTable, DecodingIsTheInverseOfEncoding) {
  CodeTable table;
  table.AppendExtendedRow(u"凛煌");
  const std::u16string text = u"名無しさん…ー凛満１\u3000";
  const auto encoded = EncodeGameText(table, text);
  const auto decoded = DecodeGameText(table, encoded.bytes);
  ASSERT_TRUE(decoded.ok);
  // ー is stored as the code of 一, which reads back as 一.
  EXPECT_EQ(decoded.text, u"名無しさん…一凛満１\u3000");
  // Every byte sequence the decoder accepts encodes back to the same text.
  for (int first = 0; first < 256; ++first) {
    for (int second = 0; second < 256; ++second) {
      const Bytes bytes = {static_cast<std::uint8_t>(first), static_cast<std::uint8_t>(second)};
      const auto d = DecodeGameText(table, bytes);
      if (!d.ok) continue;
      const auto again = EncodeGameText(table, d.text);
      ASSERT_NE(again.status, EncodeStatus::kUnencodable) << first << " " << second;
      EXPECT_EQ(DecodeGameText(table, again.bytes).text, d.text);
    }
  }
}

TEST(CodeTable, DecodingReportsTheFirstByteThatIsNoCode) {
  CodeTable table;
  table.AppendExtendedRow(u"凛");
  struct Bad {
    Bytes bytes;
    std::size_t offset;
  };
  for (const auto& [bytes, offset] : std::vector<Bad>{{{0x51, 0x00}, 1},
                                                      {{0x51, 0x4F}, 1},
                                                      {{0x51, 0x21}, 1},  // cut two-byte code
                                                      {{0x18, 0x0F}, 0},
                                                      {{0x18, 0x20}, 0},  // beyond the one row read
                                                      {{0x19, 0x51}, 0}}) {
    const auto d = DecodeGameText(table, bytes);
    EXPECT_FALSE(d.ok);
    EXPECT_EQ(d.errorOffset, offset);
  }
  EXPECT_EQ(DecodeGameText(table, Bytes{0x18, 0x10}).text, u"凛");
}

}  // namespace
}  // namespace kavelin::text
