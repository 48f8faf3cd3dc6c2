#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <string>
#include <vector>

#include "sheet/catalogue.hpp"
#include "text/encoding.hpp"
#include "validate/consistency_warnings.hpp"
#include "validate/game_rules.hpp"
#include "validate/input_errors.hpp"
#include "validate/messages.hpp"

namespace kavelin::validate {
namespace {

using namespace messages;
using sheet::CharacterSheet;
using sheet::ListId;
using sheet::Section;
using Slots = std::array<int, 4>;

// The report of these lines; `last` is the warning pass's closing question.
template <typename Lines = std::initializer_list<std::u16string_view>>
std::u16string Report(const Lines& lines, std::u16string_view last = {}) {
  std::u16string report;
  for (const auto& line : lines)
    report.append(report.empty() ? u"" : u"\r\n").append(line);
  if (!report.empty() && !last.empty()) report.append(u"\r\n").append(last);
  return report;
}
std::u16string Warned(std::initializer_list<std::u16string_view> lines) {
  return Report(lines, kConfirmQuestion);
}

void Expect(const CheckResult& result, const std::u16string& expected, const std::string& what) {
  EXPECT_EQ(result.report, expected) << what << "\n  got:      " << text::ToUtf8(result.report)
                                     << "\n  expected: " << text::ToUtf8(expected);
  EXPECT_EQ(result.Found(), !expected.empty()) << what;
}

CheckResult Errors(CharacterSheet& sheet, bool templateLoaded = true) {
  return CheckInputErrors(sheet, text::CodeTable{}, templateLoaded);
}

int At(ListId list, int code) {
  const auto p = sheet::PositionOfCode(list, static_cast<std::uint8_t>(code));
  EXPECT_TRUE(p) << "code " << code << " is not in the list";
  return p.value_or(0);
}
Slots At(ListId list, const Slots& codes) {
  return {At(list, codes[0]), At(list, codes[1]), At(list, codes[2]), At(list, codes[3])};
}

// The exact texts, once, in the order the checks run; the tables below use the constants.
TEST(InputErrors, EveryCheckReportsInOrder) {
  CharacterSheet sheet;
  for (auto& f : sheet.flags)
    f.enabled = true;
  sheet.name = u" ";
  sheet.jobName = u"魔魔魔魔魔魔";
  sheet.basicStatus.stats = {u"0", u"15", u"100", u"15", u"", u"15", u"x"};  // one message
  sheet.basicStatus.lp = u"0";
  sheet.initialLevels.levels = {u"0", u"32", u"-1", u"0", u"0", u"0", u"0", u"0", u"99"};
  sheet.growthRates.growthRates.fill(u"254");
  sheet.comment.assign(65536, u'a');
  const auto result = Errors(sheet, false);
  const std::vector<std::u16string> expected = {u"正しい画像が指定されていません。",
                                                u"名前を入力してください。",
                                                u"職業名が長すぎます。",
                                                u"基本ステータスが5～90の範囲外です。",
                                                u"LPが3～99の範囲外です。",
                                                u"初期HPが30～900の範囲外です。",
                                                u"初期レベルが0～31の範囲外です。",
                                                u"成長率が0～8の範囲外です。",
                                                u"コメントが65535文字を超えています。"};
  EXPECT_EQ(result.messages, expected);
  Expect(result,
         Report({expected[0], expected[1], expected[2], expected[3], expected[4], expected[5],
                 expected[6], expected[7], expected[8]}),
         "all");
  sheet.name = u"AB";
  sheet.jobName = u"魔x";
  EXPECT_EQ(Errors(sheet).messages[0], u"名前に存在しない文字が使われています。「Ａ」");
  EXPECT_EQ(Errors(sheet).messages[1], u"職業名に存在しない文字が使われています。「ｘ」");
  sheet.name = u"魔魔魔魔魔";
  EXPECT_EQ(Errors(sheet).messages[0], u"名前が長すぎます。");
}

TEST(InputErrors, NamesAndJobNames) {
  struct Case {
    std::u16string_view name, jobName;
    std::u16string report;
  };
  auto unencodable = [](std::u16string_view message, std::u16string_view shown) {
    return std::u16string(message) + std::u16string(shown) + u"」";
  };
  // あ takes one byte; 魔, and a widened digit, two.
  const std::vector<Case> cases = {
      {u"", u"お腹", Report({kNameEmpty})},
      {u"   ", u" ", Report({kNameEmpty})},
      {u"", u"あいうえおかきくけこさ", Report({kNameEmpty, kJobNameTooLong})},
      {u"あいうえおかきく", u"あいうえおかきくけこ", u""},
      {u"あいうえおかきくけ", u"", Report({kNameTooLong})},
      {u"魔魔魔魔", u"", u""},
      {u"魔魔魔魔魔", u"", Report({kNameTooLong})},
      {u"あいうえおか魔", u"", u""},
      {u"12345", u"", Report({kNameTooLong})},
      {u"ABC", u"", Report({unencodable(kNameUnencodable, u"Ａ")})},
      {u"□あいうえおかきくけ■", u"", Report({unencodable(kNameUnencodable, u"□")})},
      {u"あ\U0001F600", u"", Report({unencodable(kNameUnencodable, u"\U0001F600")})},
      // What nobody could see between the brackets is named by its code point.
      {u"ア\tル", u"\uFEFF",
       Report({unencodable(kNameUnencodable, u"U+0009"),
               unencodable(kJobNameUnencodable, u"U+FEFF")})},
      {u"ア\xD800", u"", Report({unencodable(kNameUnencodable, u"U+D800")})},
  };
  for (const auto& c : cases) {
    CharacterSheet sheet;
    sheet.name = c.name;
    sheet.jobName = c.jobName;
    Expect(Errors(sheet), c.report, text::ToUtf8(c.name) + " / " + text::ToUtf8(c.jobName));
  }
  text::CodeTable extended;
  extended.AppendExtendedRow(u"ＡＢＣＤＥ");
  CharacterSheet sheet;
  sheet.name = u"ABCD";
  Expect(CheckInputErrors(sheet, extended, true), u"", "four extended: 8 bytes");
  sheet.name = u"ABCDE";
  Expect(CheckInputErrors(sheet, extended, true), Report({kNameTooLong}), "five extended");
}

// Trimmed of U+0020 only and widened, whether or not anything fails.
TEST(InputErrors, NamesAreStoredTrimmedAndWidened) {
  const std::vector<std::array<std::u16string_view, 3>> cases = {
      {u"ABC", u"ＡＢＣ", u"ＡＢＣ"},
      {u"  ｶﾞﾙ ﾀﾞ  ", u"ガル\u3000ダ", u"ガル\u3000ダ"},
      {u"\u3000ガル\u3000 ", u"\u3000ガル\u3000", u"\u3000ガル\u3000"},
  };
  for (const auto& [typed, name, jobName] : cases) {
    for (const bool loaded : {true, false}) {
      CharacterSheet sheet;
      sheet.name = typed;
      sheet.jobName = typed;
      const CharacterSheet given = sheet;
      Errors(sheet, loaded);
      EXPECT_EQ(sheet, given) << "the checks leave their input as it was";
      const CharacterSheet tidied = Tidy(sheet);
      EXPECT_EQ(tidied.name, name)
          << text::ToUtf8(typed) << " became " << text::ToUtf8(tidied.name);
      EXPECT_EQ(tidied.jobName, jobName) << text::ToUtf8(tidied.jobName);
      EXPECT_EQ(Tidy(tidied), tidied) << "tidying twice changes nothing";
    }
  }
}

enum class Field { kStat0, kStat6, kLp, kHp, kLevel1, kLevel8, kGrowth0, kGrowth14 };

TEST(InputErrors, NumericBoundsAreInclusiveAndUnrounded) {
  struct Case {
    Field field;
    std::vector<std::u16string_view> pass, fail;
  };
  const std::vector<Case> cases = {
      {Field::kStat0, {u"5", u"90", u" 5 ", u"&H5A"}, {u"4", u"91", u"", u"abc", u"4.99", u"-5"}},
      {Field::kStat6, {u"5", u"90"}, {u"4", u"91", u"90.01"}},
      {Field::kLp, {u"3", u"99", u"128"}, {u"2", u"100", u"127", u"129", u"128.5", u"99.5", u""}},
      {Field::kHp, {u"30", u"900"}, {u"29", u"901", u"29.9", u""}},
      {Field::kLevel1, {u"0", u"31", u"", u"abc"}, {u"32", u"-1", u"31.5", u"-0.1"}},
      {Field::kLevel8, {u"0", u"31"}, {u"32", u"-1"}},
      {Field::kGrowth0,
       {u"0", u"8", u"7.5", u"255", u"", u"&HFF"},
       {u"9", u"8.5", u"254", u"-1", u"255.5", u"256"}},
      // Full-width digits, signs and spaces count as what the input method typed.
      {Field::kGrowth14,
       {u"8", u"8\u3000", u"0ａ", u"０", u"２５５", u"７．５"},
       {u"９", u"1\u30000", u"８．５", u"－１"}},
  };
  for (const auto& c : cases) {
    for (const bool passes : {true, false}) {
      for (const auto text : passes ? c.pass : c.fail) {
        CharacterSheet sheet;
        auto& basic = sheet.basicStatus;
        auto& levels = sheet.initialLevels.levels;
        auto& rates = sheet.growthRates.growthRates;
        const std::array<std::pair<std::u16string*, std::u16string_view>, 8> fields = {{
            {&basic.stats[0], kStatsOutOfRange},
            {&basic.stats[6], kStatsOutOfRange},
            {&basic.lp, kLpOutOfRange},
            {&levels[0], kInitialHpOutOfRange},
            {&levels[1], kLevelsOutOfRange},
            {&levels[8], kLevelsOutOfRange},
            {&rates[0], kGrowthRatesOutOfRange},
            {&rates[14], kGrowthRatesOutOfRange},
        }};
        const auto& [target, message] = fields[static_cast<std::size_t>(c.field)];
        *target = text;
        for (auto& f : sheet.flags)
          f.enabled = true;
        Expect(Errors(sheet), passes ? u"" : Report({message}),
               "field " + std::to_string(static_cast<int>(c.field)) + " = " + text::ToUtf8(text));
        // Nothing a disabled section holds is examined.
        for (auto& f : sheet.flags)
          f.enabled = false;
        Expect(Errors(sheet), u"", "disabled");
      }
    }
  }
}

TEST(InputErrors, CommentCountsUtf16UnitsAsStored) {
  const std::vector<std::pair<std::u16string, bool>> cases = {
      {std::u16string(65535, u'a'), true},           {std::u16string(65536, u'a'), false},
      {std::u16string(65535, u'あ'), true},          {std::u16string(65536, u'あ'), false},
      {std::u16string(65534, u'\r') + u"\n", true},  // CR LF counts two
      {std::u16string(65535, u'\n') + u"\r", false}, {std::u16string(1'000'000, u'a'), false},
  };
  for (const auto& [comment, passes] : cases) {
    CharacterSheet sheet;
    sheet.comment = comment;
    Expect(Errors(sheet), passes ? u"" : Report({kCommentTooLong}), std::to_string(comment.size()));
    EXPECT_EQ(sheet.comment, comment);
  }
}

// The first occurrence of each chosen entry, in order, packed into the lowest slots.
Slots FirstOccurrencesPacked(const Slots& slots) {
  Slots packed{};
  std::size_t n = 0;
  for (const int s : slots) {
    if (s != 0 && std::find(packed.begin(), packed.begin() + n, s) == packed.begin() + n)
      packed[n++] = s;
  }
  return packed;
}

TEST(InputErrors, ArtSlotsAreNormalisedOnlyWhenTheirSectionIsOn) {
  EXPECT_EQ(FirstOccurrencesPacked({1, 0, 1, 2}), (Slots{1, 2, 0, 0}));
  EXPECT_EQ(FirstOccurrencesPacked({7, 7, 7, 0}), (Slots{7, 0, 0, 0}));
  for (int n = 0; n < 5 * 5 * 5 * 5; ++n) {
    const Slots slots{n % 5, n / 5 % 5, n / 25 % 5, n / 125};
    const Slots reversed{slots[3], slots[2], slots[1], slots[0]};
    for (const bool enabled : {true, false}) {
      CharacterSheet sheet;
      sheet.Flags(Section::kInitialArts).enabled = enabled;
      sheet.initialArts = {slots, reversed};
      CharacterSheet expected = sheet;
      if (enabled)
        expected.initialArts = {FirstOccurrencesPacked(slots), FirstOccurrencesPacked(reversed)};
      Expect(Errors(sheet), u"", "slots");
      const CharacterSheet tidied = Tidy(sheet);
      EXPECT_EQ(tidied, expected) << "slot combination " << n << (enabled ? "" : ", disabled");
      EXPECT_EQ(Tidy(tidied), tidied);
    }
  }
}

// ---- Warnings --------------------------------------------------------------------------

TEST(ConsistencyWarnings, AtMostSixInRuleOrderThenTheQuestion) {
  text::CodeTable table;
  table.AppendExtendedRow(u"丼");
  CharacterSheet sheet;
  EXPECT_FALSE(CheckConsistencyWarnings(sheet, table).Found());
  EXPECT_TRUE(CheckConsistencyWarnings(sheet, table).report.empty());
  for (auto& f : sheet.flags)
    f.enabled = true;
  sheet.name = u"丼";
  sheet.jobName = u"王丼";
  sheet.initialArts.spells = {1, 7, 25, 31};
  sheet.initialEquipment.weapons = At(ListId::kWeapon, {0x14, 0x50, 0x51, 0x52});
  sheet.initialEquipment.armour = At(ListId::kArmour, {0xA0, 0x60, 0x9F, 0xB0});
  sheet.otherTraits.exclusiveWeapon = 1;
  const std::vector<std::u16string> expected = {
      u"名前に拡張文字が使われているため、拡張ROM専用になります。",
      u"職業名に拡張文字が使われているため、拡張ROM専用になります。",
      u"同時に習得できない術が初期習得術に設定されています。",
      u"盾が複数装備されています。",
      u"装備できない組み合わせの防具が設定されています。",
      u"専用武器以外の武器が第1武器に設定されています。"};
  const auto result = CheckConsistencyWarnings(sheet, table);
  EXPECT_EQ(result.messages, expected);
  Expect(result, Report(expected, u"この設定でパッチを作成してもよろしいですか？"), "all rules");
  sheet.jobName = u"王";
  sheet.initialArts.spells = {1, 0, 0, 0};
  sheet.initialLevels.levels[6] = u"0";
  sheet.Flags(Section::kInitialEquipment).enabled = false;
  Expect(CheckConsistencyWarnings(sheet, table),
         Report({expected[0], u"術レベルが設定されていない術が初期習得術に設定されています。",
                 u"専用武器が設定されていますが初期装備が設定されていません。",
                 u"この設定でパッチを作成してもよろしいですか？"}),
         "the other texts");
}

TEST(ConsistencyWarnings, InitialSpells) {
  // Positions: 1-6 蒼龍, 7-12 朱鳥, 13-18 白虎, 19-24 玄武, 25-30 太陽, 31-36 月, 37-40 none.
  struct Case {
    Slots spells;
    bool levelsOn;
    int earth, heaven;
    std::u16string_view earthLevel, heavenLevel;
    std::u16string report;
  };
  const std::vector<Case> cases = {
      {{1, 7, 0, 0}, false, 0, 0, u"0", u"0", Warned({kSpellConflict})},  // hides the levels
      {{6, 7, 0, 0}, true, 0, 0, u"1", u"1", Warned({kSpellConflict})},
      {{13, 0, 0, 19}, true, 2, 0, u"5", u"0", Warned({kSpellConflict})},
      {{1, 25, 31, 0}, true, 0, 0, u"1", u"1", Warned({kSpellConflict})},
      {{1, 25, 0, 0}, true, 0, 0, u"1", u"1", u""},
      {{1, 25, 0, 0}, true, 0, 0, u"31", u"0.5", Warned({kSpellLevelMissing})},
      {{1, 0, 0, 0}, true, 1, 0, u"5", u"0", Warned({kSpellLevelMissing})},
      {{1, 0, 0, 0}, true, 0, 0, u"0", u"9", Warned({kSpellLevelMissing})},
      {{1, 0, 0, 0}, true, 0, 0, u"", u"9", Warned({kSpellLevelMissing})},
      {{1, 0, 0, 0}, false, 0, 0, u"5", u"5", Warned({kSpellLevelMissing})},
      {{19, 0, 0, 24}, true, 3, 1, u"1", u"0", u""},
      {{1, 0, 0, 6}, true, 0, 0, u"1", u"0", u""},
      {{36, 0, 0, 0}, true, 0, 1, u"0", u"1", u""},
      {{36, 0, 0, 0}, true, 0, 0, u"0", u"1", Warned({kSpellLevelMissing})},
      {{37, 38, 39, 40}, false, 0, 0, u"0", u"0", u""},
      {{-1, 41, 1000, 0}, false, 0, 0, u"0", u"0", u""},  // no school outside the list
  };
  for (const auto& c : cases) {
    CharacterSheet sheet;
    sheet.Flags(Section::kInitialArts).enabled = true;
    sheet.Flags(Section::kInitialLevels).enabled = c.levelsOn;
    sheet.initialArts.spells = c.spells;
    sheet.initialLevels.earthSchool = c.earth;
    sheet.initialLevels.heavenSchool = c.heaven;
    sheet.initialLevels.levels[6] = c.earthLevel;
    sheet.initialLevels.levels[7] = c.heavenLevel;
    const auto what = "row " + std::to_string(&c - cases.data());
    Expect(CheckConsistencyWarnings(sheet, {}), c.report, what);
    sheet.Flags(Section::kInitialArts).enabled = false;
    Expect(CheckConsistencyWarnings(sheet, {}), u"", what + ", arts off");
  }
}

TEST(ConsistencyWarnings, ShieldsAndArmour) {
  struct Case {
    Slots weapons, armour;  // codes
    std::u16string report;
  };
  const Slots none = {0xFF, 0xFF, 0xFF, 0xFF};
  const std::vector<Case> cases = {
      {{0x50, 0xFF, 0xFF, 0xFF}, none, u""},
      {{0xFF, 0x50, 0xFF, 0x5F}, none, Warned({kSeveralShields})},
      {{0x4B, 0x50, 0x06, 0x00}, none, u""},
      {none, {0xA0, 0xA8, 0xFF, 0xFF}, u""},  // a suit over clothing
      {none, {0x72, 0x9F, 0xFF, 0xFF}, Warned({kArmourConflict})},
      {none, {0x9F, 0xFF, 0xFF, 0x72}, Warned({kArmourConflict})},
      {none, {0xB0, 0xB7, 0xFF, 0xFF}, Warned({kArmourConflict})},
      {none, {0x60, 0xB0, 0xB8, 0xC0}, u""},
      {none, {0xA6, 0xFF, 0xC3, 0xFF}, Warned({kArmourConflict})},
      {none, {0x60, 0x9F, 0x72, 0xFF}, Warned({kArmourConflict})},
      {none, {0xC8, 0xD0, 0xDF, 0xC9}, u""},
      {none, {0x70, 0x71, 0x70, 0xA0}, u""},
      {{0x5A, 0x51, 0xFF, 0xFF},
       {0x86, 0xAF, 0xFF, 0xFF},
       Warned({kSeveralShields, kArmourConflict})},
  };
  for (const auto& c : cases) {
    CharacterSheet sheet;
    sheet.Flags(Section::kInitialEquipment).enabled = true;
    sheet.initialEquipment = {At(ListId::kWeapon, c.weapons), At(ListId::kArmour, c.armour)};
    const auto what = "row " + std::to_string(&c - cases.data());
    Expect(CheckConsistencyWarnings(sheet, {}), c.report, what);
    sheet.Flags(Section::kInitialEquipment).enabled = false;
    Expect(CheckConsistencyWarnings(sheet, {}), u"", what + ", equipment off");
  }
}

TEST(ConsistencyWarnings, ArmourConflictsAreSymmetricAndOrderFree) {
  for (std::size_t a = 0; a < kArmourCategoryCount; ++a) {
    for (std::size_t b = 0; b < kArmourCategoryCount; ++b) {
      const auto ca = static_cast<ArmourCategory>(a), cb = static_cast<ArmourCategory>(b);
      EXPECT_EQ(ArmourConflicts(ca, cb), ArmourConflicts(cb, ca)) << a << " with " << b;
    }
  }
  // Every pair of armour entries, in both slot orders, against the category table.
  const int count = static_cast<int>(sheet::ListEntries(ListId::kArmour).size());
  for (int a = 0; a < count; ++a) {
    for (int b = 0; b < count; ++b) {
      const auto ca = ArmourCategoryOf(*sheet::CodeAt(ListId::kArmour, a));
      const auto cb = ArmourCategoryOf(*sheet::CodeAt(ListId::kArmour, b));
      CharacterSheet sheet;
      sheet.Flags(Section::kInitialEquipment).enabled = true;
      sheet.initialEquipment.armour = {a, 0, 0, b};
      const bool forward = CheckConsistencyWarnings(sheet, {}).Found();
      sheet.initialEquipment.armour = {0, b, a, 0};
      const bool backward = CheckConsistencyWarnings(sheet, {}).Found();
      ASSERT_EQ(forward, ca && cb && ArmourConflicts(*ca, *cb)) << a << ", " << b;
      ASSERT_EQ(backward, forward) << a << ", " << b;
    }
  }
}

TEST(ConsistencyWarnings, ExclusiveWeapon) {
  struct Case {
    bool equipmentOn;
    int exclusive;  // list position
    int weapon1;    // code
    std::u16string report;
  };
  const std::vector<Case> cases = {
      {false, 1, 0x14, Warned({kExclusiveWithoutEquipment})},
      {true, 1, 0x0A, u""},
      {true, 1, 0x14, Warned({kWeaponNotExclusive})},
      {true, 1, 0xFF, u""},
      {true, 1, 0x00, Warned({kWeaponNotExclusive})},
      {true, 1, 0x50, Warned({kWeaponNotExclusive})},
      {true, 2, 0x0C, u""},
      {true, 6, 0x1B, u""},
      {true, 3, 0x1B, Warned({kWeaponNotExclusive})},
      {true, 8, 0x28, Warned({kWeaponNotExclusive})},
      {true, 11, 0x33, u""},
      {true, 14, 0x42, Warned({kWeaponNotExclusive})},
      {true, 15, 0x4B, u""},
      {false, 0, 0x14, u""},
      {true, 0, 0x50, u""},
  };
  for (const auto& c : cases) {
    CharacterSheet sheet;
    sheet.Flags(Section::kOtherTraits).enabled = true;
    sheet.Flags(Section::kInitialEquipment).enabled = c.equipmentOn;
    sheet.otherTraits.exclusiveWeapon = c.exclusive;
    sheet.initialEquipment.weapons = At(ListId::kWeapon, {c.weapon1, 0x14, 0xFF, 0xFF});
    const auto what = "row " + std::to_string(&c - cases.data());
    Expect(CheckConsistencyWarnings(sheet, {}), c.report, what);
    sheet.Flags(Section::kOtherTraits).enabled = false;
    Expect(CheckConsistencyWarnings(sheet, {}), u"", what + ", traits off");
  }
}

// Schools follow list positions; a catalogue edit must not move a spell between schools.
TEST(GameRules, SpellSchoolsMatchTheCodesAtTheirPositions) {
  const std::array<int, 7> firstCodes = {0xAB, 0xB2, 0xB9, 0xC0, 0xC7, 0xCE, 0xD4};
  for (std::size_t group = 0; group < firstCodes.size(); ++group) {
    for (int i = 0; i < (group < 6 ? 6 : 4); ++i) {
      const auto school = SpellSchoolAt(At(ListId::kSpell, firstCodes[group] + i));
      EXPECT_EQ(school ? static_cast<std::size_t>(*school) : 6, group) << firstCodes[group] + i;
    }
  }
}

}  // namespace
}  // namespace kavelin::validate
