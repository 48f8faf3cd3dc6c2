#include "sheet/stat_display.hpp"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "sheet/catalogue.hpp"

namespace kavelin::sheet {
namespace {

using Stats = std::array<std::u16string, kStatCount>;
const Stats kFresh = {u"15", u"15", u"15", u"15", u"15", u"15", u"15"};

std::array<std::u16string, kStatCount> Texts(std::array<const char16_t*, kStatCount> texts) {
  std::array<std::u16string, kStatCount> out;
  for (std::size_t k = 0; k < kStatCount; ++k)
    out[k] = texts[k];
  return out;
}

TEST(StatShiftTables, HaveOneRowPerListEntry) {
  EXPECT_EQ(kStarShiftTable.size(), ListEntries(ListId::kDestinyStar).size());
  EXPECT_EQ(kWeaponShiftTable.size(), ListEntries(ListId::kFavouriteWeapon).size());
}

TEST(RecomputeStatDisplay, ShiftsAndTotals) {
  const auto fresh = RecomputeStatDisplay(kFresh, 0, 0);
  ASSERT_TRUE(fresh);
  EXPECT_EQ(fresh->starShift, Texts({u"-1", u"0", u"2", u"-1", u"1", u"-1", u"1"}));
  EXPECT_EQ(fresh->weaponShift, Texts({u"0", u"0", u"0", u"0", u"0", u"0", u"1"}));
  EXPECT_EQ(fresh->shifted, Texts({u" 14", u" 15", u" 17", u" 14", u" 16", u" 14", u" 17"}));
  EXPECT_EQ(fresh->total, u" 107");

  const auto bareHands = RecomputeStatDisplay(kFresh, 4, 7);
  ASSERT_TRUE(bareHands);
  EXPECT_EQ(bareHands->shifted, Texts({u" 17", u" 14", u" 17", u" 19", u" 11", u" 12", u" 15"}));
  EXPECT_EQ(bareHands->total, u" 105");
}

TEST(RecomputeStatDisplay, TakesAnyTextAsItsLeadingNumber) {
  const Stats stats = {u"１２", u"x", u"14.5", u"-3", u"&H10", u"", u"99"};
  const auto display = RecomputeStatDisplay(stats, 0, 8);
  ASSERT_TRUE(display);
  // 12-1-2, 0+0+2, 14.5+2-2, -3-1-3, 16+1+3, 0-1+1, 99+1+2
  EXPECT_EQ(display->shifted, Texts({u" 9", u" 2", u" 14.5", u"-7", u" 20", u" 0", u" 102"}));
  EXPECT_EQ(display->total, u" 140.5");
}

TEST(RecomputeStatDisplay, NothingWithoutBothSelections) {
  EXPECT_FALSE(RecomputeStatDisplay(kFresh, -1, 0));
  EXPECT_FALSE(RecomputeStatDisplay(kFresh, 0, -1));
  EXPECT_FALSE(RecomputeStatDisplay(kFresh, 5, 0));
  EXPECT_FALSE(RecomputeStatDisplay(kFresh, 0, 9));
}

TEST(NumberForms, GeneralAndPlain) {
  const std::vector<std::tuple<double, std::u16string, std::u16string>> cases = {
      {17, u" 17", u"17"},
      {-2, u"-2", u"-2"},
      {0, u" 0", u"0"},
      {-0.0, u" 0", u"0"},
      {14.5, u" 14.5", u"14.5"},
      {0.1, u" 0.1", u"0.1"},
      {1e20, u" 100000000000000000000", u"100000000000000000000"},
      {-0.25, u"-0.25", u"-0.25"},
  };
  for (const auto& [value, general, plain] : cases) {
    EXPECT_EQ(GeneralNumberForm(value), general) << value;
    EXPECT_EQ(PlainDecimalForm(value), plain) << value;
  }
}

TEST(TidyNumberBox, HalfWidthLeadingNumberInPlainForm) {
  const std::vector<std::pair<std::u16string, std::u16string>> cases = {
      {u"１５", u"15"}, {u"12ab", u"12"},       {u"", u"0"},      {u"ab", u"0"},
      {u"1.5", u"1.5"}, {u"0７", u"7"},         {u" 15 ", u"15"}, {u"－５", u"-5"},
      {u".5", u"0.5"},  {u"-0", u"0"},          {u"&H1F", u"31"}, {u"15.0", u"15"},
      {u"007", u"7"},   {u"１．２５", u"1.25"},
  };
  for (const auto& [typed, tidy] : cases)
    EXPECT_EQ(TidyNumberBox(typed), tidy) << std::string(typed.begin(), typed.end());
}

TEST(TidyNumberBox, KeepsANumberNoDoubleCanHold) {
  const std::u16string huge(400, u'9');
  EXPECT_EQ(TidyNumberBox(huge), huge);
  EXPECT_EQ(TidyNumberBox(std::u16string(400, u'９')), huge);
}

}  // namespace
}  // namespace kavelin::sheet
