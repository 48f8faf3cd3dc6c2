// The parts of a patch's refusal, from which the window words it in Japanese: one kind
// for each shape of the English message, with the field, list, block and numbers it names.
#include <gtest/gtest.h>

#include <functional>
#include <set>

#include "patch/patch_file.hpp"
#include "patch/patch_reader.hpp"
#include "patch_fixtures.hpp"
#include "support/failure_access.hpp"

namespace kavelin::patch {
namespace {

using namespace ::kavelin::testing;

using Bytes = std::vector<std::uint8_t>;
using K = PatchProblemKind;

Bytes Build(const sheet::CharacterSheet& s, const text::CodeTable& codes) {
  return ValueOf(BuildPatchBytes(s, codes, testing::StripedTemplate()));
}

// Where block `id` starts in a patch that has it, found by walking the blocks.
std::size_t BlockAt(const Bytes& b, std::uint8_t id) {
  std::size_t pos = kFixedPartBytes;
  while (b[pos] != id) {
    const auto block = std::find_if(kBlocks.begin(), kBlocks.end(),
                                    [&](const BlockInfo& info) { return info.id == b[pos]; });
    pos += 3u + block->payloadLength;
  }
  return pos;
}

PatchProblem P(K kind, std::size_t value = 0, std::size_t expected = 0) {
  PatchProblem p;
  p.kind = kind;
  p.value = value;
  p.expected = expected;
  return p;
}
PatchProblem Field(K kind, PatchField field, std::size_t value = 0) {
  PatchProblem p = P(kind, value);
  p.field = field;
  return p;
}
PatchProblem Block(K kind, int block, std::size_t value = 0, std::size_t expected = 0) {
  PatchProblem p = P(kind, value, expected);
  p.block = block;
  return p;
}
PatchProblem List(sheet::ListId list, std::size_t code) {
  PatchProblem p = P(K::kCodeNotInList, code);
  p.list = list;
  return p;
}

TEST(PatchReaderProblem, EachMessageShapeHasItsKindAndParts) {
  const text::CodeTable codes;
  const Bytes fresh = Build({}, codes);
  const Bytes full = Build(testing::FullSheet(), codes);
  sheet::CharacterSheet growth;
  growth.Flags(sheet::Section::kGrowthRates).enabled = true;
  growth.comment = u"abc";
  const Bytes withBlock = Build(growth, codes);  // block 5 at 7158, comment at 7176
  text::CodeTable extended;
  extended.AppendExtendedRow(u"凛");
  sheet::CharacterSheet extendedName;
  extendedName.name = u"凛";
  const Bytes needsSettings = Build(extendedName, extended);

  const std::size_t basic = BlockAt(full, 1) + 3, levels = BlockAt(full, 2) + 3,
                    arts = BlockAt(full, 3) + 3, forbidden = BlockAt(full, 6) + 3,
                    other = BlockAt(full, 7) + 3;
  struct Case {
    const char* what;
    const Bytes& base;
    std::function<void(Bytes&)> damage;
    PatchProblem problem;
  };
  const std::vector<Case> cases = {
      // The fixed part.
      {"short", fresh, [](Bytes& b) { b.resize(7000); }, P(K::kTooShort, 7000, 7158)},
      {"signature", fresh, [](Bytes& b) { b[2] = 'Q'; }, P(K::kNotPatch)},
      {"cut name code", fresh, [](Bytes& b) { b[kGenderOffset - 1] = 0x21; },
       Field(K::kTextCodeCutOff, PatchField::kName)},
      {"cut job code", fresh, [](Bytes& b) { b[kJobNameOffset + kJobNameBytes - 1] = 0x21; },
       Field(K::kTextCodeCutOff, PatchField::kJobName)},
      {"name code", fresh, [](Bytes& b) { b[kNameOffset] = 0x19; },
       Field(K::kNotGameCharacter, PatchField::kName, 0x19)},
      {"job code", fresh, [](Bytes& b) { b[kJobNameOffset] = 0x19; },
       Field(K::kNotGameCharacter, PatchField::kJobName, 0x19)},
      {"extended code", needsSettings, [](Bytes&) {},
       Field(K::kNotGameOrSettingsCharacter, PatchField::kName, 0x18)},
      {"gender", fresh, [](Bytes& b) { b[kGenderOffset] = 0x00; }, P(K::kUnknownGender, 0)},
      // Payloads.
      {"destiny star", full, [&](Bytes& b) { b[basic + 8] = 5; },
       Field(K::kOutOfRange, PatchField::kDestinyStar, 5)},
      {"favourite weapon", full, [&](Bytes& b) { b[basic + 9] = 9; },
       Field(K::kOutOfRange, PatchField::kFavouriteWeapon, 9)},
      {"spell", full, [&](Bytes& b) { b[arts + 4] = 0xB1; }, List(sheet::ListId::kSpell, 0xB1)},
      {"commander", full, [&](Bytes& b) { b[other + 2] = 0xEE; },
       List(sheet::ListId::kCommanderType, 0xEE)},
      {"school bits", full, [&](Bytes& b) { b[levels + 2] = 0x21; }, P(K::kLevelSchoolBits, 0x21)},
      {"forbidden bits", full, [&](Bytes& b) { b[forbidden] = 0x41; },
       P(K::kForbiddenSchoolsBits, 0x41)},
      // Block headers.
      {"unknown block", withBlock, [](Bytes& b) { b[7158] = 0x09; }, P(K::kUnknownBlock, 9)},
      {"out of order", withBlock,
       [](Bytes& b) {
         b.resize(7176);
         b.insert(b.end(), {0x01, 0x00, 0x0B, 5, 5, 5, 5, 5, 5, 5, 3, 0, 0, 0});
       },
       Block(K::kBlockOrder, 1, 5)},
      {"cut header", withBlock, [](Bytes& b) { b.resize(7160); }, Block(K::kBlockCutOff, 5)},
      {"cut block", withBlock, [](Bytes& b) { b.resize(7165); }, Block(K::kBlockCutOff, 5)},
      {"lock byte", withBlock, [](Bytes& b) { b[7159] = 0x01; }, Block(K::kLockByte, 5, 1)},
      {"payload length", withBlock, [](Bytes& b) { b[7160] = 0x0E; },
       Block(K::kPayloadLength, 5, 14, 15)},
      // The comment.
      {"cut comment header", withBlock, [](Bytes& b) { b.resize(7177); },
       P(K::kCommentBlockCutOff)},
      {"empty comment", withBlock, [](Bytes& b) { b[7177] = 0; }, P(K::kEmptyComment)},
      {"truncated comment", withBlock, [](Bytes& b) { b.pop_back(); }, P(K::kCommentCutOff, 2, 3)},
      {"cut double-byte", withBlock, [](Bytes& b) { b.back() = 0x82; },
       P(K::kCommentLastCharCutOff)},
      {"trailing bytes", withBlock,
       [](Bytes& b) {
         b.insert(b.end(), {'!', '!'});
       },
       P(K::kBytesAfterComment, 2)},
  };
  std::set<K> seen;
  for (const auto& c : cases) {
    Bytes b = c.base;
    c.damage(b);
    const ReadResult read = ReadPatchFile(b, codes);
    EXPECT_FALSE(read.Ok()) << c.what;
    EXPECT_EQ(PartsOf<patch::PatchProblemAt>(read).problem, c.problem)
        << c.what << ": " << WhatOf(read);
    seen.insert(PartsOf<patch::PatchProblemAt>(read).problem.kind);
  }
  for (int k = static_cast<int>(K::kNone) + 1; k <= static_cast<int>(K::kBytesAfterComment); ++k)
    EXPECT_TRUE(seen.contains(static_cast<K>(k))) << "no case of kind " << k;
}

TEST(PatchReaderProblem, AReadPatchHasNone) {
  const text::CodeTable codes;
  const ReadResult read = ReadPatchFile(Build(testing::FullSheet(), codes), codes);
  ASSERT_TRUE(read.Ok()) << WhatOf(read);
  EXPECT_EQ(PartsOf<patch::PatchProblemAt>(read).problem, PatchProblem{});
}

}  // namespace
}  // namespace kavelin::patch
