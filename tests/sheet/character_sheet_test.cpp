#include "sheet/character_sheet.hpp"

#include <gtest/gtest.h>

#include "sheet/catalogue.hpp"
#include "sheet/numeric.hpp"

namespace kavelin::sheet {
namespace {

TEST(CharacterSheet, FreshSheetDefaults) {
  const CharacterSheet sheet;
  EXPECT_EQ(sheet.name, u"名無しさん");
  EXPECT_EQ(sheet.jobName, u"お腹いっぱい。");
  EXPECT_EQ(sheet.gender, 0);
  EXPECT_TRUE(sheet.comment.empty());
  for (const auto& f : sheet.flags)
    EXPECT_EQ(f, SectionFlags{});

  for (const auto& s : sheet.basicStatus.stats)
    EXPECT_EQ(NumericValue(s), 15);
  EXPECT_EQ(sheet.basicStatus.lp, u"10");
  EXPECT_EQ(sheet.initialLevels.levels[0], u"80");
  for (std::size_t i = 1; i < 9; ++i)
    EXPECT_EQ(sheet.initialLevels.levels[i], u"0");
  for (const auto& r : sheet.growthRates.growthRates)
    EXPECT_EQ(r, u"0");

  // Every list starts at its first entry: 【FF】なし for the slots, 【00】 for the rest.
  for (const int p : sheet.initialArts.techniques)
    EXPECT_EQ(CodeAt(ListId::kTechnique, p), 0xFF);
  for (const int p : sheet.initialArts.spells)
    EXPECT_EQ(CodeAt(ListId::kSpell, p), 0xFF);
  for (const int p : sheet.initialEquipment.weapons)
    EXPECT_EQ(CodeAt(ListId::kWeapon, p), 0xFF);
  for (const int p : sheet.initialEquipment.armour)
    EXPECT_EQ(CodeAt(ListId::kArmour, p), 0xFF);
  EXPECT_EQ(CodeAt(ListId::kInspirationType, sheet.basicStatus.inspirationType), 0x00);
  EXPECT_EQ(CodeAt(ListId::kFormation, sheet.otherTraits.formation), 0x00);
  EXPECT_EQ(CodeAt(ListId::kExclusiveWeapon, sheet.otherTraits.exclusiveWeapon), 0xFF);
  EXPECT_EQ(CodeAt(ListId::kCommanderType, sheet.otherTraits.commanderType), 0x00);
}

TEST(CharacterSheet, DisablingASectionKeepsItsValuesAndLock) {
  CharacterSheet sheet;
  sheet.Flags(Section::kGrowthRates) = {true, true};
  sheet.growthRates.growthRates[3] = u"255";
  sheet.Flags(Section::kGrowthRates).enabled = false;
  EXPECT_FALSE(sheet.Enabled(Section::kGrowthRates));
  EXPECT_TRUE(sheet.Flags(Section::kGrowthRates).locked);
  EXPECT_EQ(sheet.growthRates.growthRates[3], u"255");
  EXPECT_NE(sheet, CharacterSheet{});
}

TEST(CharacterSheet, LineBreaksBecomeCarriageReturnLineFeed) {
  EXPECT_EQ(NormaliseLineBreaks(u"a\nb\r\nc\rd"), u"a\r\nb\r\nc\r\nd");
  EXPECT_EQ(NormaliseLineBreaks(u"\n"), u"\r\n");
  EXPECT_EQ(NormaliseLineBreaks(u"\r\r\n\n\r"), u"\r\n\r\n\r\n\r\n");
  EXPECT_EQ(NormaliseLineBreaks(u"\r\n\r\n"), u"\r\n\r\n");
}

}  // namespace
}  // namespace kavelin::sheet
