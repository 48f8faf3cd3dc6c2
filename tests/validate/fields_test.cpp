// Which fields each message of the two passes points at, and the live check.
#include <gtest/gtest.h>

#include <array>
#include <functional>
#include <ostream>
#include <set>
#include <string>
#include <vector>

#include "sheet/catalogue.hpp"
#include "text/encoding.hpp"
#include "validate/consistency_warnings.hpp"
#include "validate/field_id.hpp"
#include "validate/input_errors.hpp"
#include "validate/live_check.hpp"
#include "validate/messages.hpp"

namespace kavelin::sheet {

void PrintTo(const FieldId& field, std::ostream* out) {
  *out << KeyPath(field);
}

}  // namespace kavelin::sheet

namespace kavelin::validate {
namespace {

using namespace messages;
using sheet::CharacterSheet;
using sheet::ListId;
using sheet::Section;
using K = FieldKind;
using Fields = std::vector<FieldId>;
using Slots = std::array<int, 4>;

Slots At(ListId list, const Slots& codes) {
  Slots positions{};
  for (std::size_t i = 0; i < codes.size(); ++i) {
    const auto p = sheet::PositionOfCode(list, static_cast<std::uint8_t>(codes[i]));
    EXPECT_TRUE(p) << "code " << codes[i] << " is not in the list";
    positions[i] = p.value_or(0);
  }
  return positions;
}

// Every section on and every value accepted, so that one change gives one message.
CharacterSheet CleanSheet() {
  CharacterSheet sheet;
  for (auto& f : sheet.flags)
    f.enabled = true;
  sheet.initialLevels.levels[0] = u"100";
  return sheet;
}

struct Case {
  const char* what;
  std::function<void(CharacterSheet&)> change;
  std::u16string_view message;  // the opening of the one message expected
  Fields fields;
};

// Runs a pass on each case's sheet and expects exactly one message, pointing at `fields`.
template <typename Pass>
void ExpectOneMessageEach(const std::vector<Case>& cases, Pass pass) {
  for (const auto& c : cases) {
    CharacterSheet sheet = CleanSheet();
    c.change(sheet);
    const CheckResult result = pass(sheet);
    ASSERT_EQ(result.messages.size(), 1u) << c.what << ": " << text::ToUtf8(result.report);
    ASSERT_EQ(result.fields.size(), 1u) << c.what;
    EXPECT_TRUE(result.messages[0].starts_with(c.message)) << c.what;
    EXPECT_EQ(result.fields[0], c.fields) << c.what;
  }
}

TEST(ErrorFields, EachCheckPointsAtItsFieldAndGroupsAtTheirFirstFailure) {
  auto set = [](auto member, std::u16string value) {
    return [=](CharacterSheet& s) { std::invoke(member, s) = value; };
  };
  const std::vector<Case> cases = {
      {"name empty", set(&CharacterSheet::name, u"  "), kNameEmpty, {FieldId(K::kName)}},
      {"name unencodable", set(&CharacterSheet::name, u"A"), kNameUnencodable, {FieldId(K::kName)}},
      {"name long", set(&CharacterSheet::name, u"魔魔魔魔魔"), kNameTooLong, {FieldId(K::kName)}},
      {"job unencodable",
       set(&CharacterSheet::jobName, u"x"),
       kJobNameUnencodable,
       {FieldId(K::kJobName)}},
      {"job long",
       set(&CharacterSheet::jobName, u"魔魔魔魔魔魔"),
       kJobNameTooLong,
       {FieldId(K::kJobName)}},
      {"stats",
       [](CharacterSheet& s) {
         s.basicStatus.stats = {u"5", u"90", u"4", u"15", u"91", u"", u"x"};
       },
       kStatsOutOfRange,
       {FieldId(K::kStat, 2)}},
      {"last stat",
       [](CharacterSheet& s) { s.basicStatus.stats[6] = u"0"; },
       kStatsOutOfRange,
       {FieldId(K::kStat, 6)}},
      {"lp",
       [](CharacterSheet& s) { s.basicStatus.lp = u"127"; },
       kLpOutOfRange,
       {FieldId(K::kLp)}},
      {"hp",
       [](CharacterSheet& s) { s.initialLevels.levels[0] = u"29"; },
       kInitialHpOutOfRange,
       {FieldId(K::kLevel, 0)}},
      // HP lies outside the level group: it never counts as the group's first failure.
      {"levels",
       [](CharacterSheet& s) {
         s.initialLevels.levels = {u"100", u"31", u"0", u"", u"32", u"-1", u"0", u"0", u"99"};
       },
       kLevelsOutOfRange,
       {FieldId(K::kLevel, 4)}},
      {"growth rates",
       [](CharacterSheet& s) {
         s.growthRates.growthRates[3] = u"255";
         s.growthRates.growthRates[9] = u"8.5";
         s.growthRates.growthRates[14] = u"9";
       },
       kGrowthRatesOutOfRange,
       {FieldId(K::kGrowthRate, 9)}},
      {"comment",
       [](CharacterSheet& s) { s.comment.assign(65536, u'a'); },
       kCommentTooLong,
       {FieldId(K::kComment)}},
  };
  ExpectOneMessageEach(cases, [](CharacterSheet& s) { return CheckInputErrors(s, {}, true); });

  CharacterSheet sheet = CleanSheet();
  const auto result = CheckInputErrors(sheet, {}, false);
  EXPECT_EQ(result.messages, std::vector<std::u16string>{std::u16string(kNoTemplate)});
  EXPECT_EQ(result.fields, std::vector<Fields>{{FieldId(K::kTemplatePicture)}});
}

// Several messages keep their fields beside them, in the report's order.
TEST(ErrorFields, StayBesideTheirMessages) {
  CharacterSheet sheet = CleanSheet();
  sheet.name = u"";
  sheet.basicStatus.lp = u"0";
  sheet.initialLevels.levels = {u"0", u"0", u"0", u"0", u"0", u"0", u"0", u"0", u"32"};
  const auto result = CheckInputErrors(sheet, {}, false);
  ASSERT_EQ(result.messages.size(), 5u);
  const std::vector<Fields> expected = {{FieldId(K::kTemplatePicture)},
                                        {FieldId(K::kName)},
                                        {FieldId(K::kLp)},
                                        {FieldId(K::kLevel, 0)},
                                        {FieldId(K::kLevel, 8)}};
  EXPECT_EQ(result.fields, expected);
  EXPECT_TRUE(result.Concerns(FieldId(K::kLevel, 8)));
  EXPECT_FALSE(result.Concerns(FieldId(K::kLevel, 1)));
}

TEST(WarningFields, PairsPointAtBothFields) {
  auto spells = [](Slots positions, int earth = 0, int heaven = 0) {
    return [=](CharacterSheet& s) {
      s.initialArts.spells = positions;
      s.initialLevels.earthSchool = earth;
      s.initialLevels.heavenSchool = heaven;
      s.initialLevels.levels[6] = u"1";
      s.initialLevels.levels[7] = u"1";
    };
  };
  auto then = [](auto first, auto second) {
    return [=](CharacterSheet& s) {
      first(s);
      second(s);
    };
  };
  auto weapons = [](Slots codes) {
    return [=](CharacterSheet& s) { s.initialEquipment.weapons = At(ListId::kWeapon, codes); };
  };
  auto armour = [](Slots codes) {
    return [=](CharacterSheet& s) { s.initialEquipment.armour = At(ListId::kArmour, codes); };
  };
  auto exclusive = [](int position, int weapon1, bool equipment) {
    return [=](CharacterSheet& s) {
      s.otherTraits.exclusiveWeapon = position;
      s.initialEquipment.weapons = At(ListId::kWeapon, {weapon1, 0xFF, 0xFF, 0xFF});
      s.Flags(Section::kInitialEquipment).enabled = equipment;
    };
  };
  const auto spell = [](std::size_t slot) { return FieldId(K::kSpell, slot); };
  const std::vector<Case> cases = {
      // Positions: 1-6 蒼龍, 7-12 朱鳥, 25-30 太陽, 31-36 月.
      {"earth schools", spells({1, 0, 7, 0}), kSpellConflict, {spell(0), spell(2)}},
      {"the slot that noted the school",
       spells({1, 2, 7, 0}),
       kSpellConflict,
       {spell(1), spell(2)}},
      {"heaven schools", spells({1, 25, 2, 31}), kSpellConflict, {spell(1), spell(3)}},
      {"levels off",
       then(spells({0, 25, 0, 0}),
            [](CharacterSheet& s) { s.Flags(Section::kInitialLevels).enabled = false; }),
       kSpellLevelMissing,
       {spell(1), FieldId::Enabled(Section::kInitialLevels)}},
      {"earth option",
       spells({0, 0, 7, 8}, 0),
       kSpellLevelMissing,
       {spell(2), FieldId(K::kEarthSchool)}},
      {"earth level",
       then(spells({1, 0, 0, 0}), [](CharacterSheet& s) { s.initialLevels.levels[6] = u"0.5"; }),
       kSpellLevelMissing,
       {spell(0), FieldId(K::kLevel, 6)}},
      {"heaven option",
       spells({1, 31, 0, 0}, 0, 0),
       kSpellLevelMissing,
       {spell(1), FieldId(K::kHeavenSchool)}},
      {"heaven level",
       then(spells({31, 1, 0, 0}, 0, 1),
            [](CharacterSheet& s) { s.initialLevels.levels[7] = u""; }),
       kSpellLevelMissing,
       {spell(0), FieldId(K::kLevel, 7)}},
      {"shields",
       weapons({0xFF, 0x50, 0x14, 0x5F}),
       kSeveralShields,
       {FieldId(K::kWeapon, 1), FieldId(K::kWeapon, 3)}},
      {"three shields",
       weapons({0x51, 0x52, 0x53, 0xFF}),
       kSeveralShields,
       {FieldId(K::kWeapon, 0), FieldId(K::kWeapon, 1)}},
      {"suit over body armour",
       armour({0x60, 0xC8, 0xA0, 0xFF}),
       kArmourConflict,
       {FieldId(K::kArmour, 0), FieldId(K::kArmour, 2)}},
      // The suit may be worn over the clothing in slot 0; it clashes with slot 1.
      {"suit, clothing beside",
       armour({0xA8, 0x60, 0xFF, 0xA0}),
       kArmourConflict,
       {FieldId(K::kArmour, 1), FieldId(K::kArmour, 3)}},
      {"robe clashes with both: the earlier",
       armour({0xB0, 0x60, 0x9F, 0xFF}),
       kArmourConflict,
       {FieldId(K::kArmour, 0), FieldId(K::kArmour, 2)}},
      {"robe clashes with both: the earlier, either order",
       armour({0x60, 0xB0, 0x9F, 0xFF}),
       kArmourConflict,
       {FieldId(K::kArmour, 0), FieldId(K::kArmour, 2)}},
      {"exclusive without equipment",
       exclusive(1, 0x0A, false),
       kExclusiveWithoutEquipment,
       {FieldId(K::kExclusiveWeapon), FieldId::Enabled(Section::kInitialEquipment)}},
      {"weapon 1 of another kind",
       exclusive(1, 0x14, true),
       kWeaponNotExclusive,
       {FieldId(K::kWeapon, 0), FieldId(K::kExclusiveWeapon)}},
  };
  ExpectOneMessageEach(cases, [](CharacterSheet& s) { return CheckConsistencyWarnings(s, {}); });
}

TEST(WarningFields, ExtendedNamesPointAtTheirBox) {
  text::CodeTable table;
  table.AppendExtendedRow(u"丼");
  CharacterSheet sheet = CleanSheet();
  sheet.name = u"丼";
  sheet.jobName = u"王丼";
  const auto result = CheckConsistencyWarnings(sheet, table);
  EXPECT_EQ(result.fields, (std::vector<Fields>{{FieldId(K::kName)}, {FieldId(K::kJobName)}}));
}

// ---- The live check ----------------------------------------------------------------------

TEST(LiveCheck, LeavesTheSheetAsTypedAndSaysWhatTheRoadWould) {
  CharacterSheet sheet = CleanSheet();
  sheet.name = u" ab ";
  sheet.jobName = u"ｶﾞﾙ ";
  sheet.initialArts.techniques = {0, 3, 3, 1};
  sheet.initialArts.spells = {0, 7, 7, 1};
  sheet.initialEquipment.weapons = At(ListId::kWeapon, {0x50, 0x51, 0xFF, 0xFF});
  const CharacterSheet typed = sheet;

  const auto live = LiveCheck(sheet, {}, false);
  EXPECT_EQ(sheet, typed);

  // The same texts as the road's passes, with the warnings despite the errors.
  CharacterSheet road = sheet;
  EXPECT_EQ(live.errors.report, CheckInputErrors(road, {}, false).report);
  EXPECT_EQ(live.warnings.report, CheckConsistencyWarnings(road, {}).report);
  EXPECT_TRUE(live.errors.Found());
  EXPECT_EQ(live.warnings.messages, (std::vector<std::u16string>{std::u16string(kSpellConflict),
                                                                 std::u16string(kSeveralShields)}));
}

// The road normalises slots before the warning pass reads them; the marks must land on the
// slots the user filled, not on where normalisation moved their entries.
TEST(LiveCheck, SlotFieldsNameTheSlotsAsTyped) {
  CharacterSheet sheet = CleanSheet();
  sheet.initialArts.spells = {0, 7, 7, 1};  // normalised: 7, 1, none, none
  auto live = LiveCheck(sheet, {}, true);
  ASSERT_EQ(live.warnings.fields.size(), 1u);
  EXPECT_EQ(live.warnings.fields[0], (Fields{FieldId(K::kSpell, 1), FieldId(K::kSpell, 3)}));

  sheet.initialArts.spells = {0, 0, 0, 7};  // normalised: 7 in slot 0; earth option is 蒼龍
  live = LiveCheck(sheet, {}, true);
  ASSERT_EQ(live.warnings.fields.size(), 1u);
  EXPECT_EQ(live.warnings.fields[0], (Fields{FieldId(K::kSpell, 3), FieldId(K::kEarthSchool)}));
  EXPECT_FALSE(live.errors.Found());
}

// A slip in the key table would send two fields to one path.
TEST(FieldId, EveryKindHasItsOwnKeyPath) {
  std::set<std::string> paths;
  constexpr int kKinds = static_cast<int>(K::kGrowthRate) + 1;
  for (int k = 0; k < kKinds; ++k) {
    for (const std::size_t index : {0u, 1u}) {
      paths.insert(KeyPath(FieldId(static_cast<K>(k), index)));
    }
  }
  EXPECT_EQ(KeyPath(FieldId(K::kSpell, 2)), "initialArts.spells[2]");
  EXPECT_EQ(KeyPath(FieldId::Enabled(Section::kOtherTraits)), "otherTraits.enabled");
  EXPECT_EQ(paths.size(), 2u * kKinds - 14);  // 14 kinds hold one field: index 1 repeats 0
}

}  // namespace
}  // namespace kavelin::validate
