#include "text/code_table.hpp"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "support/failure_access.hpp"

namespace kavelin::text {
namespace {

using namespace ::kavelin::testing;

using Bytes = std::vector<std::uint8_t>;

Bytes Encoded(const CodeTable& table, std::u16string_view text) {
  const auto result = EncodeGameText(table, text);
  EXPECT_NE(StatusOf(result), EncodeStatus::kUnencodable) << "rejected a character of the text";
  return ValueOf(result).bytes;
}

// The code a position of the fixed rows stands for, as the patch stores it.
Bytes CodeOfPosition(std::size_t row, std::size_t p) {
  if (row == 0) return {static_cast<std::uint8_t>(0x50 + p)};
  return {static_cast<std::uint8_t>(0x1F + row), static_cast<std::uint8_t>(p)};
}

// The game's fixed code table as the game's own documentation lists it: the code of each
// line's first position and the line's 16 characters. Written out here apart from the
// source's rows, so that a slip in either (two characters swapped, one lost or doubled)
// fails the two tests below.
struct DocumentedLine {
  std::uint8_t page;   // 0 for the one-byte row, else the first byte, 0x20 to 0x23
  std::uint8_t start;  // the (last) byte of the line's first code
  std::u16string_view characters;
};

const std::vector<DocumentedLine> kDocumentedLines = {
    {0x00, 0x50, u"\u3000あいうえおかきくけこさしすせそ"},
    {0x00, 0x60, u"たちつてとなにぬねのはひふほまみ"},
    {0x00, 0x70, u"むめもやゆよらりるれろわをんゃゅ"},
    {0x00, 0x80, u"ょっアイウエオカキクケコサシスセ"},
    {0x00, 0x90, u"ソタチツテトナニヌネノハヒフヘホ"},
    {0x00, 0xA0, u"マミムメモヤユヨラリルレロワンァ"},
    {0x00, 0xB0, u"ィゥェォャュョッがぎぐげござじず"},
    {0x00, 0xC0, u"ぜぞだぢづでどばびぶぼガギグゲゴ"},
    {0x00, 0xD0, u"ザジズゼゾダヂヅデドバビブベボパ"},
    {0x00, 0xE0, u"ピプペポヴ\u4E00\u3000。、\u2025！？・様行私"},
    {0x00, 0xF0, u"人出何王～来間大前戦力見中者聖言"},
    {0x20, 0xB0, u"魔無方手話事今達気開町世会入物子"},
    {0x20, 0xC0, u"死知乗術君教族所発上殿家軍別待商"},
    {0x20, 0xD0, u"仲海金城助分動持後地取神本思変緒"},
    {0x20, 0xE0, u"連敵団報当残合情命心下部聞勝界頼"},
    {0x20, 0xF0, u"作体休戻西生船場良最備度帰立近丈"},
    {0x21, 0x00, u"万兵逃夫侯元名破売食怪少々年公配"},
    {0x21, 0x10, u"奴明姫屋成自男士時武止貴宿新住長"},
    {0x21, 0x20, u"着礼必通捕仕以夢北兄日宝使始好父"},
    {0x21, 0x30, u"引外二準呼願要倒先突宮強天説山険"},
    {0x21, 0x40, u"小衛決欲足定係高玄協将構美村隠集"},
    {0x21, 0x50, u"妹有姉安遊関閉国市闘竜女娘不東探"},
    {0x21, 0x60, u"指目殺工房黄爵我判護結親現悪得理"},
    {0x21, 0x70, u"赤賊客壊寝特陣京内老守旅彼念用進"},
    {0x21, 0x80, u"難街代味参意危受幸許活多品槍盗消"},
    {0x21, 0x90, u"徒加島実置身付伝回支覚空原撃申財"},
    {0x21, 0xA0, u"攻全防列隊技剣産復石御社形退水件"},
    {0x21, 0xB0, u"器龍運投道果打薬業低法状資弓早星"},
    {0x21, 0xC0, u"織切光況効同揮弱精三鎧重流乱矢妖"},
    {0x21, 0xD0, u"翼農直失書買毒化毛月陽速影落告木"},
    {0x21, 0xE0, u"却奪終具腕白草盾太馬段斬血相主花"},
    {0x21, 0xF0, u"性抜酒造門官絶減令次数続位収信砂"},
    {0x22, 0x00, u"封野波盟素向巣正風料与面文滅土在"},
    {0x22, 0x10, u"操氷壁射放火眠鳥敗皮起遠恐存口断"},
    {0x22, 0x20, u"装窟番葉調混返交喜込漠飛完製底夜"},
    {0x22, 0x30, u"炎鉄威騎斧十惑平率的員店職陸増予"},
    {0x22, 0x40, u"能邪負選送才熱雪紙初感苦供触玉座"},
    {0x22, 0x50, u"楽吸鬼洞息輪挑追襲練祈侵傷粉杯考"},
    {0x22, 0x60, u"冷違南昔急態臣ぱ嫁望働記頭移井戸"},
    {0x22, 0x70, u"争森針払蒼義普押傭都沼易機反魚超"},
    {0x22, 0x80, u"視鉱牧材差勇祖霧色誘嫌期演真四詩"},
    {0x22, 0x90, u"共舞確散館学越統然棒民％走虎獣異"},
    {0x22, 0xA0, u"叩政央策想塔巻刀害幻衝了総頂岩骨"},
    {0x22, 0xB0, u"派泊預役寄降習読暗声顔奥旧深営談"},
    {0x22, 0xC0, u"秘飲制狩試魅群震師税雷拓銀鱗棍割"},
    {0x22, 0xD0, u"脳転功塩穴冒頃肉港格恋霊労噂皆婚"},
    {0x22, 0xE0, u"掛音救印久朱優像古値妻研究晶猛嵐"},
    {0x22, 0xF0, u"河静激利稲砕温革環蛇雨電爆両羊陶"},
    {0x23, 0x00, u"０１２３４５６７８９ＨＬＰ／←："},
    {0x23, 0x10, u"芸対永遅若迷張援伯離表母展背独握"},
    {0x23, 0x20, u"闇髪禁遺傑由帯渡授瞳限浮湖観廃倉"},
    {0x23, 0x30, u"庫巨側曲満腐旗勢常瞬杖眼字牙奇尾"},
    {0x23, 0x40, u"振凝催線境綿貿注治跡答建逆閣恩飾"},
    {0x23, 0x50, u"沈忘罪継解麻笑弟過扉画洋墟姿溶七"},
    {0x23, 0x60, u"黒栄億点蹴鏡角香削千避妨絹茶額求"},
    {0x23, 0x70, u"廟牢討任賞亡興問没右識末鎖腹五縦"},
    {0x23, 0x80, u"再築友和志坊乾兆警戒陰福偽歩朝鳴"},
    {0x23, 0x90, u"算級爪狼浪疾拳液裂貫極熟損号林敢"},
    {0x23, 0xA0, u"犠牲短勉験墓疲悟屈式責暮留左冗病"},
    {0x23, 0xB0, u"未驚幅測窓青塞寺院語泣謀創満軽煙"},
    {0x23, 0xC0, u"滝到峠抗征誉届謝片計領局鳳辰宵甲"},
    {0x23, 0xD0, u"羅刹屍閃双車勁烈臨螢縛順歳殊設各"},
    {0x23, 0xE0, u"糸丘誓案敬慮縁伏密兼孫景呪倍阻占"},
    {0x23, 0xF0, u"伐幕清仁覆嬢諸亜居酸津智鎮略根汗"},
};

struct DocumentedPosition {
  Bytes code;
  char16_t character;
};

// Every position of the fixed rows, in the order the encoder searches them.
std::vector<DocumentedPosition> DocumentedPositions() {
  std::vector<DocumentedPosition> positions;
  const auto add = [&](std::uint8_t page, std::size_t line, std::u16string_view characters) {
    for (std::size_t i = 0; i < characters.size(); ++i) {
      const auto last = static_cast<std::uint8_t>(line + i);
      positions.push_back({page == 0 ? Bytes{last} : Bytes{page, last}, characters[i]});
    }
  };
  for (const auto& line : kDocumentedLines) {
    if (line.page == 0) add(0, line.start, line.characters);
  }
  // Page 0x20 opens with the one-byte row again, except for っ at 20 12 and … at 20 99.
  std::u16string repeated;
  for (const auto& p : positions)
    repeated += p.character;
  repeated[0x12] = u'っ';
  repeated[0x99] = u'\u2026';
  add(0x20, 0, repeated);
  for (const auto& line : kDocumentedLines) {
    if (line.page != 0) add(line.page, line.start, line.characters);
  }
  return positions;
}

std::string HexOf(const Bytes& bytes) {
  std::string text;
  for (const auto b : bytes) {
    static constexpr char kDigits[] = "0123456789ABCDEF";
    if (!text.empty()) text += ' ';
    text += kDigits[b >> 4];
    text += kDigits[b & 0xF];
  }
  return text;
}

TEST(CodeTable, EveryDocumentedCodeReadsAsItsDocumentedCharacter) {
  const auto positions = DocumentedPositions();
  ASSERT_EQ(positions.size(), 176u + 4 * 256u);
  const CodeTable table;
  for (const auto& [code, character] : positions) {
    const auto decoded = DecodeGameText(table, code);
    ASSERT_TRUE(decoded.Ok()) << HexOf(code);
    EXPECT_EQ(ValueOf(decoded), std::u16string(1, character)) << "code " << HexOf(code);
  }
}

TEST(CodeTable, EveryDocumentedCharacterEncodesAsItsFirstPosition) {
  // The first occurrence wins; later ones are shadowed and never produced.
  std::vector<std::pair<char16_t, Bytes>> firstCodes;
  std::set<char16_t> seen;
  for (const auto& [code, character] : DocumentedPositions()) {
    if (seen.insert(character).second) firstCodes.emplace_back(character, code);
  }
  const CodeTable table;
  for (const auto& [character, code] : firstCodes) {
    const auto result = EncodeGameText(table, std::u16string(1, character));
    EXPECT_EQ(StatusOf(result), EncodeStatus::kEncoded) << "U+" << std::hex << +character;
    EXPECT_EQ(HexOf(ValueOf(result).bytes), HexOf(code)) << "U+" << std::hex << +character;
  }
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
      ASSERT_EQ(StatusOf(result), EncodeStatus::kEncoded) << "row " << row << " position " << p;
      if (ValueOf(result).bytes != CodeOfPosition(row, p)) notOwnCode.insert({row, p});
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
    EXPECT_EQ(StatusOf(result), EncodeStatus::kEncoded);
    EXPECT_EQ(ValueOf(result).bytes, c.bytes)
        << "for U+" << std::hex << (c.text.empty() ? 0 : +c.text[0]);
  }
}

TEST(CodeTable, RejectsTheFirstCharacterTheGameLacks) {
  const CodeTable table;
  for (const std::u16string_view c :
       {u"ぺ", u"ぴ", u"ぷ", u"ぽ", u"1", u"A", u"Ａ", u"□", u"■", u"ヷ", u"\uFF76"}) {
    const auto result = EncodeGameText(table, c);
    EXPECT_EQ(StatusOf(result), EncodeStatus::kUnencodable);
    EXPECT_EQ(RejectedText(result), c);
    EXPECT_TRUE(ValueOf(result).bytes.empty());
  }
  // The third character is reported, and the bytes of the first two are dropped.
  const auto third = EncodeGameText(table, u"あいぺうぽ");
  EXPECT_EQ(StatusOf(third), EncodeStatus::kUnencodable);
  EXPECT_EQ(RejectedText(third), u"ぺ");
  EXPECT_TRUE(ValueOf(third).bytes.empty());
  // A character outside the basic plane is reported whole, not as half a surrogate pair.
  const auto emoji = EncodeGameText(table, u"あ\U0001F600");
  EXPECT_EQ(RejectedText(emoji), u"\U0001F600");
  // A lone surrogate is one unit.
  const std::u16string lone = {u'あ', char16_t{0xD83D}};
  EXPECT_EQ(RejectedText(EncodeGameText(table, lone)), std::u16string(1, char16_t{0xD83D}));
}

TEST(CodeTable, ExtendedRowsGiveTwoByteCodesAndStatusTwo) {
  CodeTable table;
  table.AppendExtendedRow(std::u16string(16, kFullWidthSpace));
  table.AppendExtendedRow(std::u16string(16, kFullWidthSpace));
  // Row 3: field 0 凛, field 10 煌, and characters the fixed rows or special cases own.
  table.AppendExtendedRow(u"凛あ■□ーへ一満\u3000\u3000煌");
  ASSERT_EQ(table.ExtendedTable().size(), 48u);

  auto result = EncodeGameText(table, u"凛");
  EXPECT_EQ(StatusOf(result), EncodeStatus::kExtended);
  EXPECT_EQ(ValueOf(result).bytes, (Bytes{0x18, 0x30}));
  EXPECT_EQ(ValueOf(EncodeGameText(table, u"煌")).bytes, (Bytes{0x18, 0x3A}));
  EXPECT_EQ(ValueOf(EncodeGameText(table, u"あ凛")).bytes, (Bytes{0x51, 0x18, 0x30}));

  // Fixed rows and special cases come first: no extended status for these.
  for (const std::u16string_view c : {u"あ", u"ー", u"へ", u"一", u"満", u"\u3000"}) {
    EXPECT_EQ(StatusOf(EncodeGameText(table, c)), EncodeStatus::kEncoded);
  }
  // The empty-cell marks fail whatever the settings file lists.
  EXPECT_EQ(StatusOf(EncodeGameText(table, u"■")), EncodeStatus::kUnencodable);
  EXPECT_EQ(StatusOf(EncodeGameText(table, u"□")), EncodeStatus::kUnencodable);
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
  EXPECT_EQ(ValueOf(EncodeGameText(last, u"煌")).bytes, (Bytes{0x18, 0xFF}));
}

TEST(CodeTable, DecodingIsTheInverseOfEncoding) {
  CodeTable table;
  table.AppendExtendedRow(u"凛煌");
  const std::u16string text = u"名無しさん…ー凛満１\u3000";
  const auto encoded = EncodeGameText(table, text);
  const auto decoded = DecodeGameText(table, ValueOf(encoded).bytes);
  ASSERT_TRUE(decoded.Ok());
  // ー is stored as the code of 一, which reads back as 一.
  EXPECT_EQ(ValueOf(decoded), u"名無しさん…一凛満１\u3000");
  // Every byte sequence the decoder accepts encodes back to the same text.
  for (int first = 0; first < 256; ++first) {
    for (int second = 0; second < 256; ++second) {
      const Bytes bytes = {static_cast<std::uint8_t>(first), static_cast<std::uint8_t>(second)};
      const auto d = DecodeGameText(table, bytes);
      if (!d.Ok()) continue;
      const auto again = EncodeGameText(table, ValueOf(d));
      ASSERT_NE(StatusOf(again), EncodeStatus::kUnencodable) << first << " " << second;
      EXPECT_EQ(ValueOf(DecodeGameText(table, ValueOf(again).bytes)), ValueOf(d));
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
    EXPECT_FALSE(d.Ok());
    EXPECT_EQ(PartsOf<std::size_t>(d), offset);
  }
  EXPECT_EQ(ValueOf(DecodeGameText(table, Bytes{0x18, 0x10})), u"凛");
}

}  // namespace
}  // namespace kavelin::text
