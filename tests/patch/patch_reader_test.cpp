#include "patch/patch_reader.hpp"

#include <gtest/gtest.h>

#include "patch/patch_file.hpp"
#include "patch_fixtures.hpp"
#include "support/failure_access.hpp"

namespace kavelin::patch {
namespace {

using namespace ::kavelin::testing;

using Bytes = std::vector<std::uint8_t>;
using testing::FullSheet;
using testing::StripedTemplate;

Bytes Build(const sheet::CharacterSheet& s, const text::CodeTable& codes) {
  return ValueOf(BuildPatchBytes(s, codes, StripedTemplate()));
}

TEST(PatchReader, RoundTripsVariedSheets) {
  text::CodeTable codes;
  codes.AppendExtendedRow(u"凛煌");

  std::vector<sheet::CharacterSheet> sheets(5);
  sheets[1] = FullSheet();
  sheets[2] = FullSheet();
  sheets[2].name = u"凛へ一ー";  // ー reads back as 一, へ as ヘ
  sheets[2].jobName = u"魔無方手話";
  sheets[2].gender = 2;
  sheets[2].comment = u"一行目\r\n二行目\r\n";
  sheets[3].Flags(sheet::Section::kForbiddenSpells) = {true, true};
  sheets[3].forbiddenSpells.forbiddenSchools = {false, true, false, true, true, false};
  sheets[3].name = u"あ\u3000い";  // an inner full-width space is no padding
  sheets[3].gender = 1;
  sheets[4].Flags(sheet::Section::kInitialLevels).enabled = true;
  sheets[4].initialLevels.levels = {u"30", u"0", u"0", u"0", u"0", u"0", u"0", u"0", u"0"};
  sheets[4].initialLevels.grows[7] = true;
  sheets[4].initialLevels.heavenSchool = 1;
  sheets[4].comment = std::u16string(65535, u'あ');

  for (std::size_t i = 0; i < sheets.size(); ++i) {
    const Bytes bytes = Build(sheets[i], codes);
    const auto read = ReadPatchFile(bytes, codes);
    ASSERT_TRUE(read.Ok()) << i << ": " << WhatOf(read) << " at "
                           << PartsOf<patch::PatchProblemAt>(read).offset;
    sheet::CharacterSheet expected = sheets[i];
    if (i == 2) expected.name = u"凛ヘ一一";
    EXPECT_EQ(ValueOf(read).sheet, expected) << "sheet " << i;
    // And the bytes it describes are the bytes it came from.
    EXPECT_EQ(Build(ValueOf(read).sheet, codes), bytes) << "sheet " << i;
  }
}

TEST(PatchReader, PaletteAndTilesComeBack) {
  const text::CodeTable codes;
  const Bytes bytes = Build({}, codes);
  const auto read = ReadPatchFile(bytes, codes);
  ASSERT_TRUE(read.Ok());
  EXPECT_EQ(ValueOf(read).paletteWords[1], 0x6BDE);
  EXPECT_EQ(ValueOf(read).paletteWords[4], 0x2A83);
  EXPECT_TRUE(std::equal(ValueOf(read).tiles.begin(), ValueOf(read).tiles.end(),
                         bytes.begin() + kTilesOffset));
}

TEST(PatchReader, MalformedFilesGiveAReasonAndAnOffset) {
  const text::CodeTable codes;
  const Bytes fresh = Build({}, codes);
  sheet::CharacterSheet growth;
  growth.Flags(sheet::Section::kGrowthRates).enabled = true;
  growth.comment = u"abc";
  const Bytes withBlock = Build(growth, codes);  // block 5 at 7158, comment at 7176

  struct Case {
    const char* what;
    const Bytes& base;
    std::function<void(Bytes&)> damage;
    std::size_t offset;
    std::string reasonPart;
  };
  const std::vector<Case> cases = {
      {"short", fresh, [](Bytes& b) { b.resize(7000); }, 7000, "fewer than the 7158"},
      {"empty", fresh, [](Bytes& b) { b.clear(); }, 0, "fewer than"},
      {"signature", fresh, [](Bytes& b) { b[2] = 'Q'; }, 0, "K7P"},
      {"gender", fresh, [](Bytes& b) { b[11] = 0x00; }, 11, "gender byte 00"},
      {"name code", fresh, [](Bytes& b) { b[3] = 0x19; }, 3, "name: byte 19"},
      {"cut name code", fresh, [](Bytes& b) { b[10] = 0x21; }, 10, "cut off"},
      {"unknown block", withBlock, [](Bytes& b) { b[7158] = 0x09; }, 7158, "unknown block id 09"},
      {"block zero", withBlock, [](Bytes& b) { b[7158] = 0x00; }, 7158, "unknown block id 00"},
      {"lock byte", withBlock, [](Bytes& b) { b[7159] = 0x01; }, 7159, "lock byte 01"},
      {"payload length", withBlock, [](Bytes& b) { b[7160] = 0x0E; }, 7160,
       "payload length 14 instead of 15"},
      {"cut block", withBlock, [](Bytes& b) { b.resize(7165); }, 7165, "cut off"},
      {"cut header", withBlock, [](Bytes& b) { b.resize(7160); }, 7158, "cut off"},
      {"out of order", withBlock,
       [](Bytes& b) {
         b.resize(7176);
         b.insert(b.end(), {0x01, 0x00, 0x0B, 5, 5, 5, 5, 5, 5, 5, 3, 0, 0, 0});
       },
       7176, "block 1 follows block 5"},
      {"repeated", withBlock,
       [](Bytes& b) {
         const Bytes block(b.begin() + 7158, b.begin() + 7176);
         b.resize(7176);
         b.insert(b.end(), block.begin(), block.end());
       },
       7176, "block 5 follows block 5"},
      {"truncated comment", withBlock, [](Bytes& b) { b.pop_back(); }, 7181,
       "after 2 of 3 characters"},
      {"cut double-byte", withBlock, [](Bytes& b) { b.back() = 0x82; }, 7182,
       "last character is cut off"},
      {"trailing bytes", withBlock, [](Bytes& b) { b.push_back('!'); }, 7182, "1 bytes follow"},
      {"empty comment", withBlock, [](Bytes& b) { b[7177] = 0; }, 7177, "no characters"},
  };
  for (const auto& c : cases) {
    Bytes b = c.base;
    c.damage(b);
    const auto read = ReadPatchFile(b, codes);
    EXPECT_FALSE(read.Ok()) << c.what;
    EXPECT_EQ(PartsOf<patch::PatchProblemAt>(read).offset, c.offset)
        << c.what << ": " << WhatOf(read);
    EXPECT_NE(WhatOf(read).find(c.reasonPart), std::string::npos) << c.what << ": " << WhatOf(read);
  }
}

TEST(PatchReader, ValuesNoListOffers) {
  const text::CodeTable codes;
  Bytes b = Build(FullSheet(), codes);
  // Block 3 payload starts at 7158 + 14 + 13 + 3: spell slot 0 holds B1, not a listed spell.
  const std::size_t spells = 7158 + 14 + 13 + 3 + 4;
  b[spells] = 0xB1;
  auto read = ReadPatchFile(b, codes);
  EXPECT_FALSE(read.Ok());
  EXPECT_EQ(PartsOf<patch::PatchProblemAt>(read).offset, spells);
  EXPECT_EQ(WhatOf(read), "code B1 is not in the spell list");

  b = Build(FullSheet(), codes);
  b[7158 + 3 + 8] = 5;  // destiny star position 5 of 0..4
  read = ReadPatchFile(b, codes);
  EXPECT_EQ(WhatOf(read), "destiny star 5 is out of range");

  b = Build(FullSheet(), codes);
  b[7158 + 14 + 3 + 2] = 0x21;  // 斬 level with school bits
  EXPECT_FALSE(ReadPatchFile(b, codes).Ok());

  // An extended code needs the settings file that made it.
  text::CodeTable extended;
  extended.AppendExtendedRow(u"凛");
  sheet::CharacterSheet s;
  s.name = u"凛";
  read = ReadPatchFile(Build(s, extended), codes);
  EXPECT_FALSE(read.Ok());
  EXPECT_NE(WhatOf(read).find("KV7Tools.ini"), std::string::npos);
}

}  // namespace
}  // namespace kavelin::patch
