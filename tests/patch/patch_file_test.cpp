#include "patch/patch_file.hpp"

#include <gtest/gtest.h>

#include "patch_fixtures.hpp"
#include "support/failure_access.hpp"

namespace kavelin::patch {
namespace {

using namespace ::kavelin::testing;

using Bytes = std::vector<std::uint8_t>;
using testing::FullSheet;
using testing::StripedTemplate;

Bytes Build(const sheet::CharacterSheet& s, const text::CodeTable& codes = {}) {
  const auto result = BuildPatchBytes(s, codes, StripedTemplate());
  EXPECT_TRUE(result.Ok()) << std::string(MessageOf(result).begin(), MessageOf(result).end());
  return ValueOf(result);
}

Bytes Slice(const Bytes& b, std::size_t from, std::size_t count) {
  return Bytes(b.begin() + static_cast<std::ptrdiff_t>(from),
               b.begin() + static_cast<std::ptrdiff_t>(from + count));
}

TEST(PatchLayout, FreshSheetIsTheFixedPartOnly) {
  const Bytes b = Build(sheet::CharacterSheet{});
  ASSERT_EQ(b.size(), 7158u);
  const Bytes head = {'K', '7', 'P',
                      // name 名無しさん + one pad
                      0x21, 0x06, 0x20, 0xB1, 0x5C, 0x5B, 0x7D, 0x50,
                      // gender 男
                      0x95,
                      // job name お腹いっぱい。 + one pad
                      0x55, 0x23, 0x7D, 0x52, 0x81, 0x22, 0x67, 0x52, 0xE7, 0x50,
                      // palette: white, fixed 1 and 2, black, green (24,160,80), empty
                      0xFF, 0x7F, 0xDE, 0x6B, 0xC6, 0x18, 0x00, 0x00, 0x83, 0x2A};
  EXPECT_EQ(Slice(b, 0, head.size()), head);
  EXPECT_EQ(Slice(b, 32, 22), Bytes(22, 0x00));
}

TEST(PatchLayout, EverySectionInBlockOrder) {
  const Bytes b = Build(FullSheet());
  ASSERT_EQ(b.size(), 7235u);
  const Bytes blocks = {// 1: stats, LP 128, star 4, weapon 8, inspiration 0A
                        0x01, 0x00, 0x0B, 5, 90, 15, 20, 33, 44, 55, 0x80, 4, 8, 0x0A,
                        // 2: HP 900 growing = 84 83; levels with growth and schools
                        0x02, 0x00, 0x0A, 0x84, 0x83, 1, 0x82, 3, 4, 31, 5 + 0x80 + 0x60, 6 + 0x20,
                        0x80,
                        // 3: techniques 0F 10 A5 FF, spells D7 AB FF FF; locked
                        0x03, 0xFF, 0x08, 0x0F, 0x10, 0xA5, 0xFF, 0xD7, 0xAB, 0xFF, 0xFF,
                        // 4: weapons 5F 08 FF FF, armour 60 DF 9F FF
                        0x04, 0x00, 0x08, 0x5F, 0x08, 0xFF, 0xFF, 0x60, 0xDF, 0x9F, 0xFF,
                        // 5: growth rates, ahead of blocks 6 and 7
                        0x05, 0x00, 0x0F, 0, 8, 255, 1, 2, 3, 4, 5, 6, 7, 8, 0, 1, 2, 255,
                        // 6: forbidden schools 蒼龍, 白虎, 月
                        0x06, 0x00, 0x01, 0x25,
                        // 7: formation 0A, exclusive weapon B0, commander 08; locked
                        0x07, 0xFF, 0x03, 0x0A, 0xB0, 0x08};
  EXPECT_EQ(Slice(b, 7158, blocks.size()), blocks);
}

TEST(PatchLayout, SectionsOffOrDisabledLeaveNoTrace) {
  sheet::CharacterSheet growthOnly;
  growthOnly.Flags(sheet::Section::kGrowthRates).enabled = true;
  const Bytes b = Build(growthOnly);
  ASSERT_EQ(b.size(), 7158u + 18);
  EXPECT_EQ(Slice(b, 7158, 3), (Bytes{0x05, 0x00, 0x0F}));

  // A locked section that is switched off loses its lock with the block.
  sheet::CharacterSheet lockedOff = FullSheet();
  lockedOff.Flags(sheet::Section::kInitialArts).enabled = false;
  const Bytes c = Build(lockedOff);
  EXPECT_EQ(c.size(), 7235u - 11);
  EXPECT_EQ(c[7158 + 14 + 13], 0x04);  // block 4 follows block 2 directly
}

TEST(PatchLayout, NumberConversions) {
  struct Case {
    std::u16string hp;
    bool hpGrows;
    std::u16string earth;
    bool earthGrows;
    int school;
    Bytes hpBytes;
    std::uint8_t earthByte;
  };
  const std::vector<Case> cases = {
      {u"900", true, u"5", true, 3, {0x84, 0x83}, 0xE5},
      {u"80", false, u"0", false, 3, {0x50, 0x00}, 0x00},  // level 0: no school bits
      {u"30", false, u"0", true, 2, {0x1E, 0x00}, 0xC0},   // growth only: school bits come back
      {u"899.5", false, u"7.5", false, 1, {0x84, 0x03}, 0x28},
      {u"30.5", false, u"6.5", false, 0, {0x1E, 0x00}, 0x06},
  };
  for (const auto& c : cases) {
    sheet::CharacterSheet s;
    s.Flags(sheet::Section::kInitialLevels).enabled = true;
    s.initialLevels.levels[0] = c.hp;
    s.initialLevels.grows[0] = c.hpGrows;
    s.initialLevels.levels[6] = c.earth;
    s.initialLevels.grows[6] = c.earthGrows;
    s.initialLevels.earthSchool = c.school;
    const Bytes b = Build(s);
    EXPECT_EQ(Slice(b, 7161, 2), c.hpBytes);
    EXPECT_EQ(b[7161 + 2 + 5], c.earthByte);
  }

  sheet::CharacterSheet rates;
  rates.Flags(sheet::Section::kGrowthRates).enabled = true;
  rates.growthRates.growthRates[0] = u"7.5";
  rates.growthRates.growthRates[1] = u"6.5";
  rates.growthRates.growthRates[2] = u" 2 ";
  const Bytes r = Build(rates);
  EXPECT_EQ(Slice(r, 7161, 3), (Bytes{8, 6, 2}));
}

TEST(PatchLayout, NamesAndComments) {
  text::CodeTable codes;
  codes.AppendExtendedRow(u"凛");
  sheet::CharacterSheet s;
  s.name = u"魔無方手";  // four kanji fill the field
  s.jobName = u"";
  s.gender = 3;
  s.comment = u"ABC";
  Bytes b = Build(s, codes);
  EXPECT_EQ(Slice(b, 3, 9), (Bytes{0x20, 0xB0, 0x20, 0xB1, 0x20, 0xB2, 0x20, 0xB3, 0xDF}));
  EXPECT_EQ(Slice(b, 12, 10), Bytes(10, 0x50));
  EXPECT_EQ(Slice(b, 7158, 6), (Bytes{0xFF, 0x03, 0x00, 0x41, 0x42, 0x43}));
  EXPECT_EQ(b.size(), 7164u);

  s.name = u"凛";
  s.comment = u"あいう";
  b = Build(s, codes);
  EXPECT_EQ(Slice(b, 3, 3), (Bytes{0x18, 0x10, 0x50}));
  EXPECT_EQ(Slice(b, 7158, 9), (Bytes{0xFF, 0x03, 0x00, 0x82, 0xA0, 0x82, 0xA2, 0x82, 0xA4}));

  // A text box gives "\n"; the patch stores and counts CR LF.
  for (const std::u16string_view lineBreak : {u"\n", u"\r\n", u"\r"}) {
    s.comment = lineBreak;
    EXPECT_EQ(Slice(Build(s, codes), 7158, 5), (Bytes{0xFF, 0x02, 0x00, 0x0D, 0x0A}));
  }
  // The count covers characters, and unmappable ones keep it true.
  s.comment = u"a한\U0001F600";
  b = Build(s, codes);
  EXPECT_EQ(Slice(b, 7158, 3), (Bytes{0xFF, 0x04, 0x00}));
  EXPECT_EQ(b.size(), 7158u + 3 + 4);
}

TEST(PatchLayout, RefusesWhatWouldCorruptTheLayout) {
  const text::CodeTable codes;
  const auto image = StripedTemplate();
  sheet::CharacterSheet s;
  s.name = u"魔無方手話";  // 10 bytes
  EXPECT_FALSE(BuildPatchBytes(s, codes, image).Ok());
  s.name = u"ABC";  // not widened: unencodable
  EXPECT_FALSE(BuildPatchBytes(s, codes, image).Ok());
  s = {};
  s.jobName = u"あいうえおかきくけこさ";
  EXPECT_FALSE(BuildPatchBytes(s, codes, image).Ok());
  s = {};
  s.comment = std::u16string(65535, u'x');
  EXPECT_TRUE(BuildPatchBytes(s, codes, image).Ok());
  // 65,534 characters and one LF: as CR LF the comment is 65,536 and its count would wrap.
  s.comment = std::u16string(65534, u'x') + u"\n";
  const auto tooLong = BuildPatchBytes(s, codes, image);
  EXPECT_FALSE(tooLong.Ok());
  EXPECT_EQ(MessageOf(tooLong), u"コメントが65535文字を超えています。");
}

TEST(PatchOutputName, PosixAndWindowsForms) {
  struct Case {
    std::string_view in;
    char separator;
    std::string_view out;
  };
  const std::vector<Case> cases = {
      {"/work/hero.gif", '/', "/work/hero.k7p"},
      {"/work/hero.old.bmp", '/', "/work/hero.old.k7p"},
      {"/my.pics/hero", '/', "/my.pics/hero.k7p"},
      {"/work/hero.", '/', "/work/hero.k7p"},
      // Byte for byte: trimming would make the patch of " hero" replace that of "hero".
      {"/work/hero ", '/', "/work/hero .k7p"},
      {" hero", '/', " hero.k7p"},
      {"/work/ hero", '/', "/work/ hero.k7p"},
      {"my.pics\\hero", '/', "my.k7p"},  // a backslash is an ordinary character here
      {"hero.gif", '/', "hero.k7p"},
      {"hero", '/', "hero.k7p"},
      {"", '/', ""},
      {"C:\\work\\hero.gif", '\\', "C:\\work\\hero.k7p"},
      {"C:\\my.pics\\hero", '\\', "C:\\my.pics\\hero.k7p"},
      {"C:\\work\\hero.", '\\', "C:\\work\\hero.k7p"},
      {"hero.old.bmp", '\\', "hero.old.k7p"},
  };
  for (const auto& c : cases)
    EXPECT_EQ(PatchOutputName(c.in, c.separator), c.out) << c.in;
  EXPECT_EQ(PatchOutputName(std::filesystem::path("/a.b/c")), std::filesystem::path("/a.b/c.k7p"));
}

}  // namespace
}  // namespace kavelin::patch
