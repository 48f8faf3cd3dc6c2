#include "validate/consistency_warnings.hpp"

#include <gtest/gtest.h>

#include <array>
#include <optional>
#include <string>
#include <vector>

#include "sheet/catalogue.hpp"
#include "text/encoding.hpp"
#include "validate/game_rules.hpp"

namespace kavelin::validate {
namespace {

using sheet::CharacterSheet;
using sheet::ListId;
using sheet::Section;
using Codes = std::array<int, 4>;  // list codes, FF for an empty slot

constexpr std::u16string_view kQuestion = u"この設定でパッチを作成してもよろしいですか？";
constexpr std::u16string_view kSpellConflict =
    u"同時に習得できない術が初期習得術に設定されています。";
constexpr std::u16string_view kSpellLevel =
    u"術レベルが設定されていない術が初期習得術に設定されています。";
constexpr std::u16string_view kShields = u"盾が複数装備されています。";
constexpr std::u16string_view kArmour = u"装備できない組み合わせの防具が設定されています。";
constexpr std::u16string_view kNoEquipment =
    u"専用武器が設定されていますが初期装備が設定されていません。";
constexpr std::u16string_view kNotExclusive = u"専用武器以外の武器が第1武器に設定されています。";

// The report for these warnings: one per line, then the question; empty for none.
std::u16string Report(std::initializer_list<std::u16string_view> warnings) {
  std::u16string report;
  for (const auto w : warnings) {
    report += w;
    report += u"\r\n";
  }
  if (!report.empty()) report += kQuestion;
  return report;
}

void ExpectWarnings(const CharacterSheet& sheet, const std::u16string& expected,
                    const std::string& context, const text::CodeTable& table = {}) {
  const auto result = CheckConsistencyWarnings(sheet, table);
  EXPECT_EQ(result.report, expected) << context << "\n  got:      " << text::ToUtf8(result.report)
                                     << "\n  expected: " << text::ToUtf8(expected);
  EXPECT_EQ(result.status, expected.empty() ? 0 : 1) << context;
}

int Position(ListId list, int code) {
  const auto p = sheet::PositionOfCode(list, static_cast<std::uint8_t>(code));
  EXPECT_TRUE(p) << "code " << code << " is not in the list";
  return p.value_or(0);
}

std::array<int, 4> Positions(ListId list, const Codes& codes) {
  return {Position(list, codes[0]), Position(list, codes[1]), Position(list, codes[2]),
          Position(list, codes[3])};
}

std::string Hex(const Codes& codes) {
  std::string s;
  for (const int c : codes) {
    char buffer[4];
    std::snprintf(buffer, sizeof buffer, "%02X ", c);
    s += buffer;
  }
  return s;
}

TEST(ConsistencyWarnings, FreshSheetHasNone) {
  const auto result = CheckConsistencyWarnings(CharacterSheet{}, text::CodeTable{});
  EXPECT_EQ(result.status, 0);
  EXPECT_TRUE(result.report.empty());
}

TEST(ConsistencyWarnings, ExtendedCharactersInNameAndJobName) {
  text::CodeTable table;
  table.AppendExtendedRow(u"丼鮭");
  ASSERT_EQ(text::EncodeGameText(table, u"丼").status, text::EncodeStatus::kExtended);
  struct Case {
    std::u16string_view name;
    std::u16string_view jobName;
    std::u16string report;
  };
  const std::vector<Case> cases = {
      {u"丼王", u"鮭",
       Report({u"名前に拡張文字が使われているため、拡張ROM専用になります。",
               u"職業名に拡張文字が使われているため、拡張ROM専用になります。"})},
      {u"丼", u"", Report({u"名前に拡張文字が使われているため、拡張ROM専用になります。"})},
      {u"名無しさん", u"鮭丼",
       Report({u"職業名に拡張文字が使われているため、拡張ROM専用になります。"})},
      {u"名無しさん", u"お腹いっぱい。", u""},
  };
  for (const auto& c : cases) {
    CharacterSheet sheet;
    sheet.name = c.name;
    sheet.jobName = c.jobName;
    ExpectWarnings(sheet, c.report, text::ToUtf8(c.name), table);
  }
}

// Spell positions: 1-6 蒼龍, 7-12 朱鳥, 13-18 白虎, 19-24 玄武, 25-30 太陽, 31-36 月, 37-40 none.
struct SpellCase {
  std::array<int, 4> spells;
  bool levelsOn;
  int earthSchool;
  int heavenSchool;
  std::u16string_view earthLevel;
  std::u16string_view heavenLevel;
  std::u16string report;
};

TEST(ConsistencyWarnings, InitialSpells) {
  const std::vector<SpellCase> cases = {
      // A conflict hides the missing levels.
      {{1, 7, 0, 0}, false, 0, 0, u"0", u"0", Report({kSpellConflict})},
      {{6, 7, 0, 0}, true, 0, 0, u"1", u"1", Report({kSpellConflict})},
      {{13, 0, 0, 19}, true, 2, 0, u"5", u"0", Report({kSpellConflict})},
      {{25, 31, 0, 0}, true, 0, 0, u"1", u"1", Report({kSpellConflict})},
      {{1, 25, 31, 0}, true, 0, 0, u"1", u"1", Report({kSpellConflict})},
      {{1, 25, 0, 0}, true, 0, 0, u"1", u"1", u""},
      {{1, 25, 0, 0}, true, 0, 0, u"31", u"0.5", Report({kSpellLevel})},
      {{1, 0, 0, 0}, true, 1, 0, u"5", u"0", Report({kSpellLevel})},
      {{1, 0, 0, 0}, true, 0, 0, u"0", u"0", Report({kSpellLevel})},
      {{1, 0, 0, 0}, true, 0, 0, u"", u"0", Report({kSpellLevel})},
      {{1, 0, 0, 0}, true, 0, 0, u"１", u"0", Report({kSpellLevel})},
      {{1, 0, 0, 0}, false, 0, 0, u"5", u"5", Report({kSpellLevel})},
      {{19, 0, 0, 24}, true, 3, 1, u"1", u"0", u""},
      {{1, 0, 0, 6}, true, 0, 0, u"1", u"0", u""},
      {{36, 0, 0, 0}, true, 0, 1, u"0", u"1", u""},
      {{36, 0, 0, 0}, true, 0, 0, u"0", u"1", Report({kSpellLevel})},
      {{37, 38, 39, 40}, false, 0, 0, u"0", u"0", u""},
      {{37, 1, 40, 0}, true, 0, 0, u"1", u"0", u""},
      // Positions the list does not hold belong to no school.
      {{-1, 41, 1000, 0}, false, 0, 0, u"0", u"0", u""},
  };
  for (const auto& c : cases) {
    CharacterSheet sheet;
    sheet.Flags(Section::kInitialArts).enabled = true;
    sheet.Flags(Section::kInitialLevels).enabled = c.levelsOn;
    sheet.initialArts.spells = c.spells;
    sheet.initialLevels.earthSchool = c.earthSchool;
    sheet.initialLevels.heavenSchool = c.heavenSchool;
    sheet.initialLevels.levels[6] = c.earthLevel;
    sheet.initialLevels.levels[7] = c.heavenLevel;
    const auto context = "spells " + std::to_string(c.spells[0]) + " " +
                         std::to_string(c.spells[1]) + " " + std::to_string(c.spells[2]) + " " +
                         std::to_string(c.spells[3]);
    ExpectWarnings(sheet, c.report, context);

    sheet.Flags(Section::kInitialArts).enabled = false;
    ExpectWarnings(sheet, u"", context + ", arts off");
  }
}

struct EquipmentCase {
  Codes codes;
  std::u16string report;
};

TEST(ConsistencyWarnings, Shields) {
  const std::vector<EquipmentCase> cases = {
      {{0x50, 0xFF, 0xFF, 0xFF}, u""},
      {{0xFF, 0x50, 0xFF, 0x5F}, Report({kShields})},
      {{0x5A, 0x51, 0x52, 0x53}, Report({kShields})},
      {{0x4B, 0x50, 0x06, 0x00}, u""},
      {{0x08, 0x08, 0x08, 0x08}, u""},
  };
  for (const auto& c : cases) {
    CharacterSheet sheet;
    sheet.Flags(Section::kInitialEquipment).enabled = true;
    sheet.initialEquipment.weapons = Positions(ListId::kWeapon, c.codes);
    ExpectWarnings(sheet, c.report, Hex(c.codes));
    sheet.Flags(Section::kInitialEquipment).enabled = false;
    ExpectWarnings(sheet, u"", Hex(c.codes) + ", equipment off");
  }
}

TEST(ConsistencyWarnings, Armour) {
  const std::vector<EquipmentCase> cases = {
      {{0xA0, 0xA8, 0xFF, 0xFF}, u""},  // suit with clothing
      {{0x72, 0x9F, 0xFF, 0xFF}, Report({kArmour})},
      {{0x9F, 0xFF, 0xFF, 0x72}, Report({kArmour})},
      {{0xB0, 0xB7, 0xFF, 0xFF}, Report({kArmour})},
      {{0x60, 0xB0, 0xFF, 0xFF}, u""},
      {{0x60, 0xB0, 0xB8, 0xC0}, u""},
      {{0xA8, 0xB0, 0xB8, 0xC7}, u""},
      {{0xA0, 0x60, 0xFF, 0xFF}, Report({kArmour})},
      {{0xA6, 0xFF, 0xC3, 0xFF}, Report({kArmour})},
      {{0xA0, 0xA1, 0xFF, 0xFF}, Report({kArmour})},
      {{0x86, 0xAF, 0xFF, 0xFF}, Report({kArmour})},
      {{0x6F, 0x73, 0xFF, 0xFF}, Report({kArmour})},
      {{0x88, 0x9E, 0xFF, 0xFF}, Report({kArmour})},
      {{0x60, 0x9F, 0x72, 0xFF}, Report({kArmour})},
      {{0xC8, 0xD0, 0xDF, 0xC9}, u""},
      {{0x70, 0x71, 0x70, 0x71}, u""},
      {{0x70, 0xA0, 0xDF, 0xA8}, u""},
  };
  for (const auto& c : cases) {
    CharacterSheet sheet;
    sheet.Flags(Section::kInitialEquipment).enabled = true;
    sheet.initialEquipment.armour = Positions(ListId::kArmour, c.codes);
    ExpectWarnings(sheet, c.report, Hex(c.codes));
    sheet.Flags(Section::kInitialEquipment).enabled = false;
    ExpectWarnings(sheet, u"", Hex(c.codes) + ", equipment off");
  }
}

// The pass marks slots one by one; whatever two pieces are worn, their order must not
// matter, and the answer must agree with the category table.
TEST(ConsistencyWarnings, ArmourPairsGiveTheSameAnswerInEitherOrder) {
  const auto entries = sheet::ListEntries(ListId::kArmour);
  for (int a = 0; a < static_cast<int>(entries.size()); ++a) {
    for (int b = 0; b < static_cast<int>(entries.size()); ++b) {
      const auto ca = ArmourCategoryOf(*sheet::CodeAt(ListId::kArmour, a));
      const auto cb = ArmourCategoryOf(*sheet::CodeAt(ListId::kArmour, b));
      const bool conflict = ca && cb && ArmourConflicts(*ca, *cb);
      CharacterSheet sheet;
      sheet.Flags(Section::kInitialEquipment).enabled = true;
      sheet.initialEquipment.armour = {a, 0, 0, b};
      const auto forward = CheckConsistencyWarnings(sheet, {});
      sheet.initialEquipment.armour = {0, b, a, 0};
      const auto backward = CheckConsistencyWarnings(sheet, {});
      ASSERT_EQ(forward.status, conflict ? 1 : 0) << "positions " << a << ", " << b;
      ASSERT_EQ(backward.status, forward.status) << "positions " << a << ", " << b;
    }
  }
}

TEST(GameRules, ArmourConflictsAreSymmetric) {
  for (std::size_t a = 0; a < kArmourCategoryCount; ++a) {
    for (std::size_t b = 0; b < kArmourCategoryCount; ++b) {
      const auto ca = static_cast<ArmourCategory>(a);
      const auto cb = static_cast<ArmourCategory>(b);
      EXPECT_EQ(ArmourConflicts(ca, cb), ArmourConflicts(cb, ca)) << a << " with " << b;
    }
    EXPECT_TRUE(ArmourConflicts(static_cast<ArmourCategory>(a), static_cast<ArmourCategory>(a)));
  }
}

// The schools follow from list positions; the codes at those positions must be the ones
// each school owns, or a catalogue edit would silently move spells between schools.
TEST(GameRules, SpellSchoolsMatchTheCodesAtTheirPositions) {
  const std::vector<std::pair<std::optional<SpellSchool>, std::vector<int>>> groups = {
      {SpellSchool::kAzureDragon, {0xAB, 0xAC, 0xAD, 0xAE, 0xAF, 0xB0}},
      {SpellSchool::kVermilionBird, {0xB2, 0xB3, 0xB4, 0xB5, 0xB6, 0xB7}},
      {SpellSchool::kWhiteTiger, {0xB9, 0xBA, 0xBB, 0xBC, 0xBD, 0xBE}},
      {SpellSchool::kBlackTortoise, {0xC0, 0xC1, 0xC2, 0xC3, 0xC4, 0xC5}},
      {SpellSchool::kSun, {0xC7, 0xC8, 0xC9, 0xCA, 0xCB, 0xCC}},
      {SpellSchool::kMoon, {0xCE, 0xCF, 0xD0, 0xD1, 0xD2, 0xD3}},
      {std::nullopt, {0xD4, 0xD5, 0xD6, 0xD7}},
  };
  for (const auto& [school, codes] : groups) {
    for (const int code : codes) {
      EXPECT_EQ(SpellSchoolAt(Position(ListId::kSpell, code)), school) << "code " << code;
    }
  }
  EXPECT_EQ(SpellSchoolAt(0), std::nullopt);
}

struct ExclusiveCase {
  bool equipmentOn;
  int exclusivePosition;
  Codes weapons;
  std::u16string report;
};

TEST(ConsistencyWarnings, ExclusiveWeapon) {
  const Codes none = {0xFF, 0xFF, 0xFF, 0xFF};
  const std::vector<ExclusiveCase> cases = {
      {false, 1, {0x14, 0x50, 0x51, 0xFF}, Report({kNoEquipment})},  // the rule ends there
      {true, 1, {0x0A, 0xFF, 0xFF, 0xFF}, u""},
      {true, 1, {0x14, 0xFF, 0xFF, 0xFF}, Report({kNotExclusive})},
      {true, 1, none, u""},
      {true, 1, {0xFF, 0x14, 0x00, 0xFF}, u""},
      {true, 1, {0x00, 0xFF, 0xFF, 0xFF}, Report({kNotExclusive})},
      {true, 1, {0x50, 0xFF, 0xFF, 0xFF}, Report({kNotExclusive})},
      {true, 2, {0x0C, 0xFF, 0xFF, 0xFF}, u""},
      {true, 2, {0x08, 0xFF, 0xFF, 0xFF}, Report({kNotExclusive})},
      {true, 6, {0x1B, 0xFF, 0xFF, 0xFF}, u""},
      {true, 3, {0x1B, 0xFF, 0xFF, 0xFF}, Report({kNotExclusive})},
      {true, 8, {0x27, 0xFF, 0xFF, 0xFF}, u""},
      {true, 8, {0x28, 0xFF, 0xFF, 0xFF}, Report({kNotExclusive})},
      {true, 11, {0x33, 0xFF, 0xFF, 0xFF}, u""},
      {true, 13, {0x42, 0xFF, 0xFF, 0xFF}, u""},
      {true, 14, {0x42, 0xFF, 0xFF, 0xFF}, Report({kNotExclusive})},
      {true, 15, {0x43, 0xFF, 0xFF, 0xFF}, u""},
      {true, 15, {0x4B, 0xFF, 0xFF, 0xFF}, u""},
      {false, 0, {0x14, 0xFF, 0xFF, 0xFF}, u""},
      {true, 0, {0x50, 0xFF, 0xFF, 0xFF}, u""},
  };
  for (const auto& c : cases) {
    CharacterSheet sheet;
    sheet.Flags(Section::kOtherTraits).enabled = true;
    sheet.Flags(Section::kInitialEquipment).enabled = c.equipmentOn;
    sheet.otherTraits.exclusiveWeapon = c.exclusivePosition;
    sheet.initialEquipment.weapons = Positions(ListId::kWeapon, c.weapons);
    const auto context = "exclusive " + std::to_string(c.exclusivePosition) + ", " + Hex(c.weapons);
    // Two shields in the no-equipment row must not leak into the report.
    ExpectWarnings(sheet, c.report, context);
    sheet.Flags(Section::kOtherTraits).enabled = false;
    ExpectWarnings(sheet, u"", context + ", traits off");
  }
}

// Every weapon of a kind satisfies exactly its own exclusive-weapon entry.
TEST(ConsistencyWarnings, EachWeaponKindMatchesOnlyItsOwnPosition) {
  for (const auto& range : kWeaponKindTable) {
    for (int code = range.first; code <= range.last; ++code) {
      const auto weapon = sheet::PositionOfCode(ListId::kWeapon, static_cast<std::uint8_t>(code));
      if (!weapon) continue;  // 4D and 4E are kinds the list does not offer
      for (int k = 1; k < 16; ++k) {
        CharacterSheet sheet;
        sheet.Flags(Section::kOtherTraits).enabled = true;
        sheet.Flags(Section::kInitialEquipment).enabled = true;
        sheet.otherTraits.exclusiveWeapon = k;
        sheet.initialEquipment.weapons[0] = *weapon;
        const bool fits = k == range.exclusiveWeaponPosition;
        EXPECT_EQ(CheckConsistencyWarnings(sheet, {}).status, fits ? 0 : 1)
            << "code " << code << ", position " << k;
      }
    }
  }
}

TEST(ConsistencyWarnings, AtMostSixWarningsInRuleOrder) {
  text::CodeTable table;
  table.AppendExtendedRow(u"丼");
  CharacterSheet sheet;
  for (auto& f : sheet.flags)
    f.enabled = true;
  sheet.name = u"丼";
  sheet.jobName = u"丼";
  sheet.initialArts.spells = {1, 7, 25, 31};
  sheet.initialEquipment.weapons = Positions(ListId::kWeapon, {0x14, 0x50, 0x51, 0x52});
  sheet.initialEquipment.armour = Positions(ListId::kArmour, {0xA0, 0x60, 0x9F, 0xB0});
  sheet.otherTraits.exclusiveWeapon = 1;
  const auto result = CheckConsistencyWarnings(sheet, table);
  const std::vector<std::u16string> expected = {
      u"名前に拡張文字が使われているため、拡張ROM専用になります。",
      u"職業名に拡張文字が使われているため、拡張ROM専用になります。",
      std::u16string(kSpellConflict),
      std::u16string(kShields),
      std::u16string(kArmour),
      std::u16string(kNotExclusive)};
  EXPECT_EQ(result.messages, expected);
  ExpectWarnings(
      sheet, Report({expected[0], expected[1], expected[2], expected[3], expected[4], expected[5]}),
      "all rules", table);
}

}  // namespace
}  // namespace kavelin::validate
