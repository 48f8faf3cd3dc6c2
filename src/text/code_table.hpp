// The target game's character set: five fixed rows and the extended row read from the
// family settings file, and the encoder that turns sheet text into game codes.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "io/result.hpp"

namespace kavelin::text {

inline constexpr char16_t kFullWidthSpace = u'\u3000';

// Row 0: one-byte codes 0x50 + position. The long-vowel bar here is the ideograph U+4E00.
inline constexpr std::u16string_view kStandardRow =
    u"　あいうえおかきくけこさしすせそ"   // 50
    u"たちつてとなにぬねのはひふほまみ"   // 60
    u"むめもやゆよらりるれろわをんゃゅ"   // 70
    u"ょっアイウエオカキクケコサシスセ"   // 80
    u"ソタチツテトナニヌネノハヒフヘホ"   // 90
    u"マミムメモヤユヨラリルレロワンァ"   // A0
    u"ィゥェォャュョッがぎぐげござじず"   // B0
    u"ぜぞだぢづでどばびぶぼガギグゲゴ"   // C0
    u"ザジズゼゾダヂヅデドバビブベボパ"   // D0
    u"ピプペポヴ一　。、‥！？・様行私"    // E0
    u"人出何王～来間大前戦力見中者聖言";  // F0

// Rows 1 to 4: two-byte codes (0x1F + row, position). Row 1 repeats row 0 in its first
// 176 positions except for っ at 0x12 and … at 0x99; both copies stay so every code keeps
// its place, even where the first occurrence shadows it.
inline constexpr std::u16string_view kKanjiPage1 =
    u"　あいうえおかきくけこさしすせそ"   // 20 00
    u"たちってとなにぬねのはひふほまみ"   // 20 10
    u"むめもやゆよらりるれろわをんゃゅ"   // 20 20
    u"ょっアイウエオカキクケコサシスセ"   // 20 30
    u"ソタチツテトナニヌネノハヒフヘホ"   // 20 40
    u"マミムメモヤユヨラリルレロワンァ"   // 20 50
    u"ィゥェォャュョッがぎぐげござじず"   // 20 60
    u"ぜぞだぢづでどばびぶぼガギグゲゴ"   // 20 70
    u"ザジズゼゾダヂヅデドバビブベボパ"   // 20 80
    u"ピプペポヴ一　。、…！？・様行私"    // 20 90
    u"人出何王～来間大前戦力見中者聖言"   // 20 A0
    u"魔無方手話事今達気開町世会入物子"   // 20 B0
    u"死知乗術君教族所発上殿家軍別待商"   // 20 C0
    u"仲海金城助分動持後地取神本思変緒"   // 20 D0
    u"連敵団報当残合情命心下部聞勝界頼"   // 20 E0
    u"作体休戻西生船場良最備度帰立近丈";  // 20 F0

inline constexpr std::u16string_view kKanjiPage2 =
    u"万兵逃夫侯元名破売食怪少々年公配"   // 21 00
    u"奴明姫屋成自男士時武止貴宿新住長"   // 21 10
    u"着礼必通捕仕以夢北兄日宝使始好父"   // 21 20
    u"引外二準呼願要倒先突宮強天説山険"   // 21 30
    u"小衛決欲足定係高玄協将構美村隠集"   // 21 40
    u"妹有姉安遊関閉国市闘竜女娘不東探"   // 21 50
    u"指目殺工房黄爵我判護結親現悪得理"   // 21 60
    u"赤賊客壊寝特陣京内老守旅彼念用進"   // 21 70
    u"難街代味参意危受幸許活多品槍盗消"   // 21 80
    u"徒加島実置身付伝回支覚空原撃申財"   // 21 90
    u"攻全防列隊技剣産復石御社形退水件"   // 21 A0
    u"器龍運投道果打薬業低法状資弓早星"   // 21 B0
    u"織切光況効同揮弱精三鎧重流乱矢妖"   // 21 C0
    u"翼農直失書買毒化毛月陽速影落告木"   // 21 D0
    u"却奪終具腕白草盾太馬段斬血相主花"   // 21 E0
    u"性抜酒造門官絶減令次数続位収信砂";  // 21 F0

inline constexpr std::u16string_view kKanjiPage3 =
    u"封野波盟素向巣正風料与面文滅土在"   // 22 00
    u"操氷壁射放火眠鳥敗皮起遠恐存口断"   // 22 10
    u"装窟番葉調混返交喜込漠飛完製底夜"   // 22 20
    u"炎鉄威騎斧十惑平率的員店職陸増予"   // 22 30
    u"能邪負選送才熱雪紙初感苦供触玉座"   // 22 40
    u"楽吸鬼洞息輪挑追襲練祈侵傷粉杯考"   // 22 50
    u"冷違南昔急態臣ぱ嫁望働記頭移井戸"   // 22 60
    u"争森針払蒼義普押傭都沼易機反魚超"   // 22 70
    u"視鉱牧材差勇祖霧色誘嫌期演真四詩"   // 22 80
    u"共舞確散館学越統然棒民％走虎獣異"   // 22 90
    u"叩政央策想塔巻刀害幻衝了総頂岩骨"   // 22 A0
    u"派泊預役寄降習読暗声顔奥旧深営談"   // 22 B0
    u"秘飲制狩試魅群震師税雷拓銀鱗棍割"   // 22 C0
    u"脳転功塩穴冒頃肉港格恋霊労噂皆婚"   // 22 D0
    u"掛音救印久朱優像古値妻研究晶猛嵐"   // 22 E0
    u"河静激利稲砕温革環蛇雨電爆両羊陶";  // 22 F0

inline constexpr std::u16string_view kKanjiPage4 =
    u"０１２３４５６７８９ＨＬＰ／←："    // 23 00
    u"芸対永遅若迷張援伯離表母展背独握"   // 23 10
    u"闇髪禁遺傑由帯渡授瞳限浮湖観廃倉"   // 23 20
    u"庫巨側曲満腐旗勢常瞬杖眼字牙奇尾"   // 23 30
    u"振凝催線境綿貿注治跡答建逆閣恩飾"   // 23 40
    u"沈忘罪継解麻笑弟過扉画洋墟姿溶七"   // 23 50
    u"黒栄億点蹴鏡角香削千避妨絹茶額求"   // 23 60
    u"廟牢討任賞亡興問没右識末鎖腹五縦"   // 23 70
    u"再築友和志坊乾兆警戒陰福偽歩朝鳴"   // 23 80
    u"算級爪狼浪疾拳液裂貫極熟損号林敢"   // 23 90
    u"犠牲短勉験墓疲悟屈式責暮留左冗病"   // 23 A0
    u"未驚幅測窓青塞寺院語泣謀創満軽煙"   // 23 B0
    u"滝到峠抗征誉届謝片計領局鳳辰宵甲"   // 23 C0
    u"羅刹屍閃双車勁烈臨螢縛順歳殊設各"   // 23 D0
    u"糸丘誓案敬慮縁伏密兼孫景呪倍阻占"   // 23 E0
    u"伐幕清仁覆嬢諸亜居酸津智鎮略根汗";  // 23 F0
inline constexpr std::array<std::u16string_view, 5> kFixedRows = {
    kStandardRow, kKanjiPage1, kKanjiPage2, kKanjiPage3, kKanjiPage4};
inline constexpr std::size_t kStandardRowLength = 176;
inline constexpr std::size_t kKanjiPageLength = 256;
inline constexpr std::size_t kExtendedRowLength = 16;
inline constexpr std::size_t kExtendedRowCount = 15;
inline constexpr std::size_t kExtendedTableLength = kExtendedRowLength * kExtendedRowCount;

static_assert(kStandardRow.size() == kStandardRowLength);
static_assert(kKanjiPage1.size() == kKanjiPageLength && kKanjiPage2.size() == kKanjiPageLength &&
              kKanjiPage3.size() == kKanjiPageLength && kKanjiPage4.size() == kKanjiPageLength);

// The whole character set. Rows 0 to 4 are fixed; row 5, the extended table, starts empty
// and is filled once from the settings file.
class CodeTable {
 public:
  // Appends up to 16 characters, padding a short row with full-width spaces, so that later
  // rows keep their codes. Rows beyond the 15th are ignored.
  void AppendExtendedRow(std::u16string_view characters);
  void ClearExtendedTable() { extended_.clear(); }

  std::u16string_view ExtendedTable() const { return extended_; }
  // Rows 0 to 5; row 5 is the extended table.
  std::u16string_view Row(std::size_t row) const {
    return row < kFixedRows.size() ? kFixedRows[row] : std::u16string_view(extended_);
  }

 private:
  std::u16string extended_;
};

// A text as game codes; `extended` when at least one character came from the extended
// table rather than rows 0 to 4 or a special case.
struct Encoded {
  std::vector<std::uint8_t> bytes;
  bool extended = false;
};

// Why a text or a sequence of codes could not be converted.
enum class CodeProblem { kNone, kUnencodable, kNoGameCode };
std::string_view ReasonText(CodeProblem problem);
inline std::error_code make_error_code(CodeProblem problem) {
  return MakeReason(problem, "game text");
}

// Or kUnencodable, whose parts are the first character that could not be encoded (a
// std::u16string). A surrogate pair is kept whole so that the message shows the character
// the user typed.
using EncodeResult = Result<Encoded>;

EncodeResult EncodeGameText(const CodeTable& table, std::u16string_view text);
// The character an encoding stopped at.
std::u16string_view RejectedOf(const Failure& failure);

// Or kNoGameCode, whose parts are the index of the first byte that is no game code (a
// std::size_t).
using DecodeResult = Result<std::u16string>;

// The characters of a sequence of game codes. A code whose position holds a character
// the encoder never produces (a shadowed position) still reads as that character, which
// encodes back to an equal text. An extended code needs the extended table to hold it.
DecodeResult DecodeGameText(const CodeTable& table, std::span<const std::uint8_t> bytes);

}  // namespace kavelin::text

template <>
struct std::is_error_code_enum<kavelin::text::CodeProblem> : std::true_type {};
