// The parts of a sheet file's refusal, from which the window words it in Japanese: one
// kind for each shape of the English message, with the key path and the values it quotes.
#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "sheet/sheet_file.hpp"
#include "support/failure_access.hpp"

namespace kavelin::sheet {
namespace {

using namespace ::kavelin::testing;

using K = SheetProblemKind;
using V = SheetValueKind;

struct Case {
  std::string json;
  SheetFileProblem problem;
};

SheetFileProblem P(K kind, std::string key = {}) {
  SheetFileProblem p;
  p.kind = kind;
  p.key = std::move(key);
  return p;
}
SheetFileProblem Numbers(SheetFileProblem p, long long value, long long limit) {
  p.value = value;
  p.limit = limit;
  return p;
}
SheetFileProblem Type(std::string key, V expected, std::string found) {
  SheetFileProblem p = P(K::kWrongType, std::move(key));
  p.expected = expected;
  p.found = std::move(found);
  return p;
}
SheetFileProblem Code(K kind, std::string key, std::string found, ListId list = ListId::kGender) {
  SheetFileProblem p = P(kind, std::move(key));
  p.found = std::move(found);
  p.list = list;
  return p;
}
SheetFileProblem At(std::size_t line, std::size_t column) {
  SheetFileProblem p = P(K::kNotJson);
  p.line = line;
  p.column = column;
  return p;
}

std::string ManyKeys(const std::string& key, int count) {
  std::string json = "{";
  for (int i = 0; i < count; ++i)
    json += (i ? ",\"" : "\"") + key + "\":1";
  return json + "}";
}

TEST(SheetFileProblem, EachMessageShapeHasItsKindAndParts) {
  const std::vector<Case> cases = {
      // The document as a whole.
      {std::string(100, '['), Numbers(P(K::kNestedTooDeep), 0, 16)},
      {std::string("{\"comment\":\"o\0k\"}", 17), Numbers(P(K::kNulByte), 13, 0)},
      {"{\n  \"name\": 1\n  \"gender\": 0}", At(3, 10)},
      {R"({"name": "x",})", At(1, 14)},
      {std::string("{\"comment\":\"ok\"}\0garbage", 24), Numbers(P(K::kBytesAfterValue), 16, 0)},
      {ManyKeys("gender", 40), Numbers(P(K::kTooManyKeys), 0, 32)},
      {"[1, 2]", P(K::kNotObject)},
      {R"({"basicStatus": 5})", P(K::kNotObject, "basicStatus")},
      // Keys and the types of their values.
      {R"({"nmae": "x"})", P(K::kUnknownKey, "nmae")},
      {R"({"basicStatus": {"stat": []}})", P(K::kUnknownKey, "basicStatus.stat")},
      {R"({"document": 1})", P(K::kUnknownKey, "document")},
      {R"({"name": 5})", Type("name", V::kString, "5")},
      {R"({"basicStatus": {"lp": true}})", Type("basicStatus.lp", V::kStringOrNumber, "true")},
      {R"({"growthRates": {"enabled": "yes"}})",
       Type("growthRates.enabled", V::kTrueOrFalse, R"("yes")")},
      {R"({"forbiddenSpells": {"forbiddenSchools": [true, 1, false, false, false, false]}})",
       Type("forbiddenSpells.forbiddenSchools[1]", V::kTrueOrFalse, "1")},
      {R"({"gender": "0"})", Type("gender", V::kWholeNumber, R"("0")")},
      {R"({"basicStatus": {"inspirationType": 11}})",
       Type("basicStatus.inspirationType", V::kCode, "11")},
      {R"({"basicStatus": {"stats": {}}})", Type("basicStatus.stats", V::kArray, "{}")},
      {R"({"paletteWords": 7})", Type("paletteWords", V::kArray, "7")},
      {R"({"paletteSwaps": {}})", Type("paletteSwaps", V::kArrayOfPairs, "{}")},
      {R"({"paletteSwaps": [[1, 2], [1]]})", Type("paletteSwaps[1]", V::kPairOfEntries, "[1]")},
      {R"({"template": false})", Type("template", V::kPath, "false")},
      // Lengths, positions and codes.
      {R"({"basicStatus": {"stats": ["1", "2"]}})",
       Numbers(P(K::kWrongLength, "basicStatus.stats"), 2, 7)},
      {R"({"gender": 4})", Numbers(P(K::kPositionOutOfRange, "gender"), 4, 3)},
      {R"({"initialLevels": {"earthSchool": -1}})",
       Numbers(P(K::kPositionOutOfRange, "initialLevels.earthSchool"), -1, 3)},
      {R"({"otherTraits": {"commanderType": "8"}})",
       Code(K::kCodeNotHex, "otherTraits.commanderType", "8")},
      {R"({"initialArts": {"spells": ["FF", "FF", "b1", "FF"]}})",
       Code(K::kCodeNotInList, "initialArts.spells[2]", "B1", ListId::kSpell)},
      {R"({"otherTraits": {"formation": "FF"}})",
       Code(K::kCodeNotInList, "otherTraits.formation", "FF", ListId::kFormation)},
      // Palette swaps and the template.
      {R"({"paletteSwaps": [[1, 2], [0, 16]]})",
       Numbers(P(K::kSwapEntryOutOfRange, "paletteSwaps[1]"), 16, 15)},
      {R"({"paletteSwaps": [[5, 3]]})", Numbers(P(K::kSwapReservedEntry, "paletteSwaps[0]"), 3, 0)},
      {R"({"template": ""})", Numbers(P(K::kTemplatePathLength, "template"), 0, 4096)},
      {R"({"template": "a\tb.gif"})", P(K::kTemplateControlCharacter, "template")},
  };
  std::set<K> seen;
  for (const auto& c : cases) {
    const SheetFileResult read = ReadSheetFile(c.json);
    EXPECT_FALSE(read.Ok()) << c.json;
    EXPECT_EQ(PartsOf<sheet::SheetFileProblem>(read), c.problem) << c.json << "\n" << WhatOf(read);
    seen.insert(PartsOf<sheet::SheetFileProblem>(read).kind);
  }
  // Every kind but one comes from some file. "Not valid UTF-8" guards strings the parser
  // has already refused, so no file reaches it.
  for (int k = static_cast<int>(K::kNone) + 1; k <= static_cast<int>(K::kTemplateControlCharacter);
       ++k) {
    if (static_cast<K>(k) == K::kNotUtf8) continue;
    EXPECT_TRUE(seen.contains(static_cast<K>(k))) << "no case of kind " << k;
  }
}

TEST(SheetFileProblem, KeysAndValuesAreCutAsTheMessageCutsThem) {
  const std::string longKey(100, 'k');
  const auto unknown = ReadSheetFile("{\"" + longKey + "\": 1}");
  EXPECT_EQ(PartsOf<sheet::SheetFileProblem>(unknown).kind, K::kUnknownKey);
  EXPECT_EQ(WhatOf(unknown), PartsOf<sheet::SheetFileProblem>(unknown).key + ": unknown key");
  EXPECT_LT(PartsOf<sheet::SheetFileProblem>(unknown).key.size(), 45u);

  const auto escaped = ReadSheetFile(R"({"a\u001bb": 1})");
  EXPECT_EQ(PartsOf<sheet::SheetFileProblem>(escaped).key, "a\\u001bb");

  const auto found = ReadSheetFile(R"({"name": [")" + std::string(200, 'x') + "\"]}");
  EXPECT_EQ(PartsOf<sheet::SheetFileProblem>(found).kind, K::kWrongType);
  EXPECT_EQ(WhatOf(found),
            "name: expected a string, found " + PartsOf<sheet::SheetFileProblem>(found).found);
  EXPECT_LT(PartsOf<sheet::SheetFileProblem>(found).found.size(), 45u);
}

TEST(SheetFileProblem, AReadSheetHasNone) {
  const SheetFileResult read = ReadSheetFile(WriteSheetFile({}));
  ASSERT_TRUE(read.Ok());
  EXPECT_EQ(PartsOf<sheet::SheetFileProblem>(read), SheetFileProblem{});
}

}  // namespace
}  // namespace kavelin::sheet
