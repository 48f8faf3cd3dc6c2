#include "sheet/sheet_file.hpp"

#include <gtest/gtest.h>

#include <vector>

#include "sheet/catalogue.hpp"
#include "support/failure_access.hpp"

namespace kavelin::sheet {
namespace {

using namespace ::kavelin::testing;

SheetDocument Varied() {
  SheetDocument d;
  CharacterSheet& s = d.sheet;
  s.name = u"ＡＢ凛";
  s.jobName = u"";
  s.gender = 3;
  s.comment = u"一行目\r\n\"quoted\" \\ tab\t";
  for (std::size_t i = 0; i < kSectionCount; ++i)
    s.flags[i] = {i % 2 == 0, i % 3 == 0};
  s.basicStatus.stats[2] = u"７．５";
  s.basicStatus.lp = u"128";
  s.basicStatus.destinyStar = 4;
  s.basicStatus.favouriteWeapon = 8;
  s.basicStatus.inspirationType = 10;
  s.initialLevels.levels[0] = u"900";
  s.initialLevels.grows = {true, false, true, false, true, false, true, false, true};
  s.initialLevels.earthSchool = 3;
  s.initialLevels.heavenSchool = 1;
  s.initialArts.techniques = {104, 1, 0, 0};
  s.initialArts.spells = {40, 37, 1, 0};
  s.initialEquipment.weapons = {89, 0, 1, 7};
  s.initialEquipment.armour = {99, 40, 0, 1};
  s.forbiddenSpells.forbiddenSchools = {true, false, false, true, false, true};
  s.otherTraits = {10, 6, 8};
  s.growthRates.growthRates[14] = u"255";
  d.paletteSwaps = {{5, 9}, {0, 15}};
  return d;
}

TEST(SheetFile, WriteThenReadGivesTheSameDocument) {
  for (const SheetDocument& d : {SheetDocument{}, Varied()}) {
    const auto read = ReadSheetFile(WriteSheetFile(d));
    ASSERT_TRUE(read.Ok()) << WhatOf(read);
    EXPECT_EQ(ValueOf(read), d);
  }
}

TEST(SheetFile, WritesCodesAndKeysAsPeopleReadThem) {
  const std::string text = WriteSheetFile(Varied());
  EXPECT_LT(text.find("\"name\""), text.find("\"basicStatus\""));
  EXPECT_NE(text.find("\"exclusiveWeapon\": \"B8\""), std::string::npos);
  EXPECT_NE(text.find("\"spells\": [\n      \"D7\""), std::string::npos);
  EXPECT_NE(text.find("ＡＢ凛"), std::string::npos) << "UTF-8, not escapes";
}

// The template key: optional, kept relative where the pair can move together, and absent
// from the file of a document without one, so older files and readers are untouched.
TEST(SheetFile, TemplateKeyRoundTripsAndIsRelativeWithinOneTree) {
  SheetDocument named = Varied();
  named.templateFile = "sprites/勇者.gif";
  const auto read = ReadSheetFile(WriteSheetFile(named));
  ASSERT_TRUE(read.Ok()) << WhatOf(read);
  EXPECT_EQ(ValueOf(read), named);
  EXPECT_EQ(WriteSheetFile(Varied()).find("\"template\""), std::string::npos);
  EXPECT_EQ(ValueOf(ReadSheetFile("{}")).templateFile, "");

  EXPECT_EQ(TemplateKeyFor("/home/u/mods/alto.k7c", "/home/u/mods/alto.gif"), "alto.gif");
  EXPECT_EQ(TemplateKeyFor("/home/u/mods/sheets/alto.k7c", "/home/u/mods/art/a b.gif"),
            "../art/a b.gif");
  EXPECT_EQ(TemplateKeyFor("/home/u/alto.k7c", "/media/usb/alto.gif"), "/media/usb/alto.gif");
  EXPECT_EQ(TemplateKeyFor("/home/u/alto.k7c", std::string("/home/u/\xff.gif")), "")
      << "no UTF-8 text, no key";
  EXPECT_EQ(TemplateOfSheet("/home/u/mods/sheets/alto.k7c", "../art/a b.gif"),
            "/home/u/mods/art/a b.gif");
  EXPECT_EQ(TemplateOfSheet("/home/u/alto.k7c", "/media/usb/alto.gif"), "/media/usb/alto.gif");

  EXPECT_FALSE(ReadSheetFile("{\"template\": \"\xff.gif\"}").Ok());
  for (const char* bad :
       {R"({"template": 3})", R"({"template": ""})", R"({"template": "a\nb.gif"})"}) {
    const auto r = ReadSheetFile(bad);
    EXPECT_FALSE(r.Ok()) << bad;
    EXPECT_EQ(WhatOf(r).rfind("template: ", 0), 0U) << WhatOf(r);
  }
  EXPECT_FALSE(
      ReadSheetFile("{\"template\": \"" + std::string(kMaxTemplateKeyBytes + 1, 'a') + "\"}").Ok());
}

TEST(SheetFile, MissingKeysTakeTheFreshSheetValues) {
  auto read = ReadSheetFile("{}");
  ASSERT_TRUE(read.Ok());
  EXPECT_EQ(ValueOf(read), SheetDocument{});

  read = ReadSheetFile(
      R"({"name": "凛", "initialArts": {"enabled": true, "spells": ["ab", "FF", "FF", "FF"]},
                           "growthRates": {"growthRates": [0, 8, 7.5, "255", "", "x", 1, 2, 3, 4, 5, 6, 7, 8, 0]},
                           "comment": "a\nb\rc"})");
  ASSERT_TRUE(read.Ok()) << WhatOf(read);
  const CharacterSheet& s = ValueOf(read).sheet;
  EXPECT_EQ(s.name, u"凛");
  EXPECT_EQ(s.jobName, u"お腹いっぱい。");
  EXPECT_TRUE(s.Enabled(Section::kInitialArts));
  EXPECT_FALSE(s.Flags(Section::kInitialArts).locked);
  EXPECT_EQ(s.initialArts.spells[0], 1) << "codes in lower case are read";
  EXPECT_EQ(s.growthRates.growthRates[1], u"8");
  EXPECT_EQ(s.growthRates.growthRates[2], u"7.5");
  EXPECT_EQ(s.growthRates.growthRates[3], u"255");
  EXPECT_EQ(s.comment, u"a\r\nb\r\nc");
}

TEST(SheetFile, ErrorsNameTheKeyAndTheValue) {
  struct Case {
    std::string json;
    std::string error;
  };
  const std::vector<Case> cases = {
      {R"({"initialArts": {"spells": ["FF", "FF", "B1", "FF"]}})",
       R"(initialArts.spells[2]: code "B1" is not in the spell list)"},
      {R"({"nmae": "x"})", "nmae: unknown key"},
      {R"({"basicStatus": {"stat": []}})", "basicStatus.stat: unknown key"},
      {R"({"name": 5})", "name: expected a string, found 5"},
      {R"({"gender": 4})", "gender: position 4 is outside 0 to 3"},
      {R"({"gender": "0"})", R"(gender: expected a whole number, found "0")"},
      {R"({"initialLevels": {"earthSchool": -1}})",
       "initialLevels.earthSchool: position -1 is outside 0 to 3"},
      {R"({"basicStatus": {"stats": ["1", "2"]}})",
       "basicStatus.stats: expected 7 entries, found 2"},
      {R"({"basicStatus": {"lp": true}})",
       "basicStatus.lp: expected a string or a number, found true"},
      {R"({"basicStatus": {"inspirationType": "0B"}})",
       R"(basicStatus.inspirationType: code "0B" is not in the inspiration type list)"},
      {R"({"otherTraits": {"formation": "FF"}})",
       R"(otherTraits.formation: code "FF" is not in the formation list)"},
      {R"({"otherTraits": {"commanderType": "8"}})",
       R"(otherTraits.commanderType: code "8" is not two hexadecimal digits)"},
      {R"({"forbiddenSpells": {"forbiddenSchools": [true, 1, false, false, false, false]}})",
       "forbiddenSpells.forbiddenSchools[1]: expected true or false, found 1"},
      {R"({"growthRates": {"enabled": "yes"}})",
       R"(growthRates.enabled: expected true or false, found "yes")"},
      {R"({"paletteSwaps": [[5, 3]]})",
       "paletteSwaps[0]: entry 3 is the reserved black and cannot be swapped"},
      {R"({"paletteSwaps": [[1, 2], [0, 16]]})", "paletteSwaps[1]: entry 16 is outside 0 to 15"},
      {R"({"paletteSwaps": [[1]]})",
       "paletteSwaps[0]: expected a pair of entry numbers, found [1]"},
      {R"([1, 2])", "document: expected an object"},
      {R"({"name": "x",})",
       "document: not valid JSON at line 1, column 14: syntax error while parsing object key - "
       "unexpected '}'; expected string literal"},
      {"{\n  \"name\": 1\n  \"gender\": 0}",
       "document: not valid JSON at line 3, column 10: syntax error while parsing object - "
       "unexpected string literal; expected '}'"},
      {"{\"name\": \"\xff\"}",
       "document: not valid JSON at line 1, column 11: syntax error while parsing value - "
       "invalid string: ill-formed UTF-8 byte; last read: '\"\\xFF'"},
      // A number no type can hold: the parser throws something other than a syntax error.
      {R"({"name": 1E800})", "document: not valid JSON: number overflow parsing '1E800'"},
      // The parser would stop at a NUL byte and take what came before as the whole file.
      {std::string("{\"comment\":\"ok\"}\0garbage", 24),
       "document: offset 16: bytes after the JSON value"},
      {std::string("{\"comment\":\"o\0k\"}", 17),
       "document: offset 13: a NUL byte, which no JSON text holds"},
  };
  for (const auto& c : cases) {
    const auto read = ReadSheetFile(c.json);
    EXPECT_FALSE(read.Ok()) << c.json;
    EXPECT_EQ(WhatOf(read), c.error);
  }
}

TEST(SheetFile, HostileShapesAreRejectedQuickly) {
  EXPECT_EQ(WhatOf(ReadSheetFile(std::string(100000, '['))),
            "document: nested more than 16 levels deep");
  // Brackets inside strings are text, not nesting.
  EXPECT_TRUE(ReadSheetFile(R"({"comment": ")" + std::string(1000, '[') + R"("})").Ok());
  std::string big = R"({"basicStatus": {"stats": [)";
  for (int i = 0; i < 1000000; ++i)
    big += "1,";
  big += "1]}}";
  EXPECT_EQ(WhatOf(ReadSheetFile(big)), "basicStatus.stats: expected 7 entries, found 1000001");

  // Many keys once took minutes: the parser files each key by searching those before it.
  // Keys past what any object can hold are skipped, and the first unknown one is named.
  const auto manyKeys = [](const std::string& open, const std::string& key, int count) {
    std::string json = open;
    for (int i = 0; i < count; ++i)
      json += (i ? ",\"" : "\"") + key + (key == "k" ? std::to_string(i) : "") + "\":1";
    return json + "}";
  };
  EXPECT_EQ(WhatOf(ReadSheetFile(manyKeys("{", "k", 1000))), "k0: unknown key");
  EXPECT_EQ(WhatOf(ReadSheetFile(manyKeys("{\"growthRates\":{", "k", 1000) + "}")),
            "growthRates.k0: unknown key");
  // The same known key over and over: nothing unknown among those kept, still refused.
  EXPECT_EQ(WhatOf(ReadSheetFile(manyKeys("{", "gender", 1000))),
            "document: an object with more than 32 keys");
}

}  // namespace
}  // namespace kavelin::sheet
