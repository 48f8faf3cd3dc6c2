#include "sheet/catalogue.hpp"

#include <gtest/gtest.h>

#include <vector>

namespace kavelin::sheet {
namespace {

using Codes = std::vector<int>;

// Codes listed as ranges, each range ascending and inclusive.
Codes Ranges(std::initializer_list<std::pair<int, int>> ranges) {
  Codes codes;
  for (const auto& [first, last] : ranges) {
    for (int c = first; c <= last; ++c)
      codes.push_back(c);
  }
  return codes;
}

Codes CodesOf(ListId list) {
  Codes codes;
  const auto entries = ListEntries(list);
  for (std::size_t p = 0; p < entries.size(); ++p) {
    const auto code = CodeAt(list, static_cast<int>(p));
    EXPECT_TRUE(code) << "position " << p;
    codes.push_back(code ? *code : -1);
  }
  return codes;
}

TEST(Catalogue, CodedListsOfferExactlyTheGamesCodesInOrder) {
  EXPECT_EQ(CodesOf(ListId::kInspirationType), Ranges({{0x00, 0x0A}}));
  EXPECT_EQ(CodesOf(ListId::kTechnique), Ranges({{0xFF, 0xFF},
                                                 {0x0F, 0x1D},
                                                 {0x28, 0x33},
                                                 {0x38, 0x43},
                                                 {0x49, 0x53},
                                                 {0x5D, 0x67},
                                                 {0x6E, 0x7B},
                                                 {0x82, 0x8E},
                                                 {0x96, 0xA5}}));
  EXPECT_EQ(CodesOf(ListId::kSpell), Ranges({{0xFF, 0xFF},
                                             {0xAB, 0xB0},
                                             {0xB2, 0xB7},
                                             {0xB9, 0xBE},
                                             {0xC0, 0xC5},
                                             {0xC7, 0xCC},
                                             {0xCE, 0xD7}}));
  EXPECT_EQ(
      CodesOf(ListId::kWeapon),
      Ranges({{0xFF, 0xFF}, {0x00, 0x06}, {0x08, 0x15}, {0x17, 0x37}, {0x39, 0x4B}, {0x50, 0x5F}}));
  EXPECT_EQ(CodesOf(ListId::kArmour), Ranges({{0xFF, 0xFF},
                                              {0x60, 0x75},
                                              {0x77, 0x77},
                                              {0x86, 0x88},
                                              {0x90, 0x92},
                                              {0x95, 0xA6},
                                              {0xA8, 0xAB},
                                              {0xAD, 0xC1},
                                              {0xC3, 0xD6},
                                              {0xD9, 0xDF}}));
  EXPECT_EQ(CodesOf(ListId::kFormation), Ranges({{0x00, 0x0A}}));
  EXPECT_EQ(CodesOf(ListId::kExclusiveWeapon),
            (Codes{0xFF, 0x00, 0x08, 0x80, 0x88, 0x90, 0xB8, 0x20, 0x28, 0x30, 0x10, 0x18, 0x98,
                   0xA0, 0xA8, 0xB0}));
  EXPECT_EQ(CodesOf(ListId::kCommanderType), Ranges({{0x00, 0x08}}));

  EXPECT_EQ(ListEntries(ListId::kTechnique).size(), 105u);
  EXPECT_EQ(ListEntries(ListId::kSpell).size(), 41u);
  EXPECT_EQ(ListEntries(ListId::kWeapon).size(), 90u);
  EXPECT_EQ(ListEntries(ListId::kArmour).size(), 100u);
}

TEST(Catalogue, EmptyEntriesAndGivenNames) {
  for (const ListId list : {ListId::kTechnique, ListId::kSpell, ListId::kWeapon, ListId::kArmour,
                            ListId::kExclusiveWeapon}) {
    EXPECT_EQ(ListEntries(list)[0], u"【FF】なし");
  }
  EXPECT_EQ(ListEntries(ListId::kFormation)[0], u"【00】なし");
  EXPECT_EQ(ListEntries(ListId::kInspirationType)[0], u"【00】術");
  EXPECT_EQ(ListEntries(ListId::kInspirationType)[10], u"【0A】その他2");
  EXPECT_EQ(ListEntries(ListId::kExclusiveWeapon)[5], u"【90】大剣（剣技可能）");
  EXPECT_EQ(ListEntries(ListId::kExclusiveWeapon)[11], u"【18】小剣(剣技可能)");
  EXPECT_EQ(ListEntries(ListId::kCommanderType)[6], u"【06】術(主に月)");
  EXPECT_EQ(ListEntries(ListId::kCommanderType)[7], u"【07】物理と術");
  // Every coded entry has a display name after its code.
  for (const ListId list : kAllLists) {
    for (const auto entry : ListEntries(list)) {
      EXPECT_GT(entry.size(), IsCodedList(list) ? 4u : 0u);
    }
  }
}

TEST(Catalogue, PlainListsInOrder) {
  const auto genders = ListEntries(ListId::kGender);
  EXPECT_EQ(std::vector<std::u16string_view>(genders.begin(), genders.end()),
            (std::vector<std::u16string_view>{u"男", u"女", u"無性", u"両性"}));
  EXPECT_EQ(ListEntries(ListId::kDestinyStar).size(), 5u);
  EXPECT_EQ(ListEntries(ListId::kDestinyStar)[4], u"辰星");
  EXPECT_EQ(ListEntries(ListId::kFavouriteWeapon).size(), 9u);
  EXPECT_EQ(ListEntries(ListId::kFavouriteWeapon)[8], u"なし");
  EXPECT_FALSE(CodeAt(ListId::kGender, 0)) << "plain lists have no codes";
}

TEST(Catalogue, CodeLookupBothWays) {
  for (const ListId list : kAllLists) {
    if (!IsCodedList(list)) continue;
    const auto entries = ListEntries(list);
    for (std::size_t p = 0; p < entries.size(); ++p) {
      EXPECT_EQ(PositionOfCode(list, *CodeAt(list, static_cast<int>(p))), static_cast<int>(p));
    }
    EXPECT_FALSE(CodeAt(list, -1));
    EXPECT_FALSE(CodeAt(list, static_cast<int>(entries.size())));
  }
  EXPECT_FALSE(PositionOfCode(ListId::kSpell, 0xB1)) << "B1 is not a spell the list offers";
  EXPECT_EQ(PositionOfCode(ListId::kSpell, 0xD4), 37);
  EXPECT_EQ(PositionOfCode(ListId::kExclusiveWeapon, 0xB8), 6);
}

TEST(Catalogue, EntryCodeParsing) {
  EXPECT_EQ(EntryCode(u"【0F】x"), 0x0F);
  EXPECT_EQ(EntryCode(u"【FF】"), 0xFF);
  EXPECT_FALSE(EntryCode(u"【ff】x")) << "codes are upper case";
  EXPECT_FALSE(EntryCode(u"[0F]x"));
  EXPECT_FALSE(EntryCode(u"【0"));
  EXPECT_FALSE(EntryCode(u"【0G】"));
}

}  // namespace
}  // namespace kavelin::sheet
