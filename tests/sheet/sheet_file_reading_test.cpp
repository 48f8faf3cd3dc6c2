// The reader keeps only what a sheet can use, yet every file must still report the problem
// it always has: the expected messages below were taken from the reader that built the
// whole document in memory, over the fuzz corpus and over the cases where keeping less is
// easiest to get wrong. Then files of the largest shapes a hostile file takes.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "sheet/sheet_file.hpp"
#include "support/failure_access.hpp"

namespace kavelin::sheet {
namespace {

using namespace ::kavelin::testing;

using K = SheetProblemKind;

struct Case {
  std::string json;
  K kind;
  std::string error;  // empty when the file is read
};

template <std::size_t N>
std::string WithNul(const char (&text)[N]) {
  return std::string(text, N - 1);
}

// `open`, `count` times `entry` with commas, `close`.
std::string Repeat(const std::string& entry, std::size_t count, const std::string& open,
                   const std::string& close) {
  std::string json = open;
  for (std::size_t i = 0; i < count; ++i)
    json += (i ? ", " : "") + entry;
  return json + close;
}

void Expect(const Case& c, const std::string& name) {
  const SheetFileResult read = ReadSheetFile(c.json);
  EXPECT_EQ(read.Ok(), c.error.empty()) << name;
  EXPECT_EQ(WhatOf(read), c.error) << name;
  EXPECT_EQ(PartsOf<sheet::SheetFileProblem>(read).kind, c.kind) << name;
}

TEST(SheetFileReading, FuzzCorpusReportsWhatItAlwaysHas) {
  const std::filesystem::path corpus =
      std::filesystem::path(KAVELIN_TEST_DATA) / ".." / "fuzz" / "corpus" / "sheet_file";
  const std::vector<std::pair<std::string, Case>> files = {
      {"bad-code.json",
       {{}, K::kCodeNotInList, R"(initialArts.spells[1]: code "B1" is not in the spell list)"}},
      {"empty-object.json", {{}, K::kNone, ""}},
      {"few-keys.json", {{}, K::kNone, ""}},
      {"hero.json", {{}, K::kNone, ""}},
      {"regress-control-key.json", {{}, K::kUnknownKey, R"(a\u001b[2J\u000ab: unknown key)"}},
      {"regress-cut-utf8.json",
       {{}, K::kWrongType, R"(name: expected a string, found ["あああああああああああ...)"}},
      {"regress-escapes-past-the-cut.json",
       {{},
        K::kWrongType,
        R"(name: expected a string, found ["\u007f\u007f\u007f\u007f\u007f...)"}},
      {"regress-long-code.json",
       {{},
        K::kCodeNotHex,
        R"(otherTraits.formation: code "zzzzzzzzzzzzzzzzzzzzzzzzzzzzzzzzzzzzz..." is not two hexadecimal digits)"}},
      {"regress-long-key.json",
       {{}, K::kUnknownKey, "kkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkk...: unknown key"}},
      {"regress-long-numeric-value.json",
       {{},
        K::kWrongType,
        R"(basicStatus.lp: expected a string or a number, found ["9","9","9","9","9","9","9","9","9",...)"}},
      {"regress-number-overflow.json",
       {{},
        K::kNotJson,
        "document: not valid JSON: number overflow parsing '88888888888888E888888'"}},
      {"regress-syntax-error-quotes-bad-utf8.json",
       {{},
        K::kNotJson,
        "document: not valid JSON at line 50, column 18: syntax error while parsing object key - "
        "invalid string: ill-formed UTF-8 byte; last read: '\"growthRates\\xD4\\xC5'; expected "
        "string literal"}},
  };
  for (auto [name, c] : files) {
    std::ifstream in(corpus / name, std::ios::binary);
    ASSERT_TRUE(in) << name;
    c.json.assign(std::istreambuf_iterator<char>(in), {});
    Expect(c, name);
  }
}

TEST(SheetFileReading, CraftedFilesReportWhatTheyAlwaysHave) {
  // 32 keys, as many as an object keeps.
  const std::string full = Repeat(R"("gender": 1)", 32, "", ", ");
  const std::vector<Case> cases = {
      // A key met again keeps its place and takes the last value.
      {R"({"name": "a", "name": 5})", K::kWrongType, "name: expected a string, found 5"},
      {R"({"basicStatus": {"zz": 1}, "basicStatus": {}})", K::kNone, ""},
      {R"({"paletteSwaps": [[5, 3]], "paletteSwaps": [[1, 2]], "name": []})", K::kWrongType,
       "name: expected a string, found []"},
      {R"({"name": {"a": [1, 2, 3], "b": 1, "a": 0}})", K::kWrongType,
       R"(name: expected a string, found {"a":0,"b":1})"},
      {R"({"name": {"a": ")" + std::string(300, 'x') + R"(", "b": {}, "a": 1}})", K::kWrongType,
       R"(name: expected a string, found {"a":1,"b":{}})"},
      // Quoted as JSON writes values: numbers shortest, strings escaped, cut between characters.
      {R"({"name": [1e2, -0.0, 7.50, 1E-2, -0, 0.1000000000000000055511151231257827]})",
       K::kWrongType, "name: expected a string, found [100.0,-0.0,7.5,0.01,0,0.1]"},
      {R"({"name": [18446744073709551615, -9223372036854775808]})", K::kWrongType,
       "name: expected a string, found [18446744073709551615,-92233720368547..."},
      {R"({"name": ["a\u0001\"\\\u007f\n\/", true, false, null]})", K::kWrongType,
       R"(name: expected a string, found ["a\u0001\"\\\u007f\n/",true,false,null])"},
      {R"({"jobName": {"あ": [")" + Repeat("あ", 100, "", "") + R"("]}})", K::kWrongType,
       R"(jobName: expected a string, found {"あ":["あ, あ, あ, あ, あ, あ...)"},
      {R"({"comment": [[[[[[[[[[[[[[{}]]]]]]]]]]]]]]})", K::kWrongType,
       "comment: expected a string, found [[[[[[[[[[[[[[{}]]]]]]]]]]]]]]"},
      {R"({"name": {"zz": {"yy": []}, "": 0}})", K::kWrongType,
       R"(name: expected a string, found {"zz":{"yy":[]},"":0})"},
      // A member whose key starts within the quoted text is quoted, however long.
      {R"({"template": {"b": [], ")" + std::string(300, 'q') + R"(": 1, "b": 2}})", K::kWrongType,
       R"(template: expected a path as a string, found {"b":2,"qqqqqqqqqqqqqqqqqqqqqqqqqqqqq...)"},
      // Whole numbers past a long long wrap.
      {R"({"gender": 18446744073709551615})", K::kPositionOutOfRange,
       "gender: position -1 is outside 0 to 3"},
      {R"({"paletteSwaps": [[18446744073709551614, 1]]})", K::kSwapEntryOutOfRange,
       "paletteSwaps[0]: entry -2 is outside 0 to 15"},
      // Keys past the cap are left out, and a left-out object's count stays open for the
      // keys after it.
      {"{" + full + R"("zz": 1})", K::kTooManyKeys, "document: an object with more than 32 keys"},
      {"{" + full + R"("x": {}, "name": 5})", K::kWrongType, "name: expected a string, found 5"},
      {"{" + full + R"("x": {"a": {}, "b": {}}, "name": 5})", K::kWrongType,
       "name: expected a string, found 5"},
      {"{" + full + R"("x": {}, )" + full + R"("zz": 1})", K::kTooManyKeys,
       "document: an object with more than 32 keys"},
      {"{" + full + R"("x": {}, )" + Repeat(R"("gender": 1)", 31, "", R"(, "zz": 1})"),
       K::kUnknownKey, "zz: unknown key"},
      {Repeat(R"("k": 1)", 40, R"({"name": {"k": [], )", R"(, "j": 2}})"), K::kWrongType,
       R"(name: expected a string, found {"k":1})"},
      {R"({"otherTraits": )" + Repeat(R"("locked": true)", 33, "{", R"(}, "gender": 7})"),
       K::kPositionOutOfRange, "gender: position 7 is outside 0 to 3"},
      // Sections know their own keys; fixed arrays are counted however long.
      {R"({"growthRates": {"enabled": true, "stats": [], "zz": 1}})", K::kUnknownKey,
       "growthRates.stats: unknown key"},
      {R"({"growthRates": {"growthRates": [1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17]}})",
       K::kWrongLength, "growthRates.growthRates: expected 15 entries, found 17"},
      {R"({"growthRates": {"growthRates": [1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, null]}})",
       K::kWrongType, "growthRates.growthRates[14]: expected a string or a number, found null"},
      {R"({"initialLevels": [], "basicStatus": {"stats": {"a": 1}}})", K::kWrongType,
       R"(basicStatus.stats: expected an array, found {"a":1})"},
      // Palette swaps: the first entry that is no pair, wherever it is.
      {R"({"paletteSwaps": [[1, 2], [4, 5], [0, 15], [1, 2, [3, {"a": 4}]]]})", K::kWrongType,
       R"(paletteSwaps[3]: expected a pair of entry numbers, found [1,2,[3,{"a":4}]])"},
      {R"({"paletteSwaps": [[1, 2], [1.0, 2]]})", K::kWrongType,
       "paletteSwaps[1]: expected a pair of entry numbers, found [1.0,2]"},
      {R"({"paletteSwaps": [[1, {}], [3, 3]]})", K::kWrongType,
       "paletteSwaps[0]: expected a pair of entry numbers, found [1,{}]"},
      {R"({"paletteSwaps": [[1, 2]], "gender": 7})", K::kPositionOutOfRange,
       "gender: position 7 is outside 0 to 3"},
      {R"({"paletteWords": [{}, [], 1, "x"], "template": "t.gif"})", K::kNone, ""},
      // The document as a whole.
      {R"([{"name": 5}])", K::kNotObject, "document: expected an object"},
      {WithNul("{\"name\": 1E800}\0 "), K::kNotJson,
       "document: not valid JSON: number overflow parsing '1E800'"},
      {WithNul("{\"zz\": 1}\0"), K::kBytesAfterValue,
       "document: offset 9: bytes after the JSON value"},
      {R"({"name": 5} {"name": 6})", K::kNotJson,
       "document: not valid JSON at line 1, column 13: syntax error while parsing value - "
       "unexpected '{'; expected end of input"},
      {"\xEF\xBB\xBF{\"name\": 5}", K::kWrongType, "name: expected a string, found 5"},
  };
  for (const Case& c : cases)
    Expect(c, c.json.substr(0, 200));
}

// Shapes that once took seconds per megabyte, or gigabytes: each is read in one pass.
TEST(SheetFileReading, MegabyteHostileShapesReportTheirFirstProblem) {
  std::size_t entries = 0;  // in the last file filled
  const auto fill = [&entries](const std::string& open, const std::string& entry,
                               const std::string& close) {
    std::string json = open;
    for (entries = 0; json.size() < (1u << 20); ++entries) {
      if (entries > 0) json += ',';
      json += entry;
    }
    return json + close;
  };
  const std::vector<Case> cases = {
      {fill(R"({"paletteSwaps":[)", "{}", "]}"), K::kWrongType,
       "paletteSwaps[0]: expected a pair of entry numbers, found {}"},
      {fill(R"({"comment":[)", "[]", "]}"), K::kWrongType,
       "comment: expected a string, found [[],[],[],[],[],[],[],[],[],[],[],[],..."},
      {fill(R"({"comment":[)", R"("")", "]}"), K::kWrongType,
       R"(comment: expected a string, found ["","","","","","","","","","","","",...)"},
      {fill(R"({"name":{"a":[)", R"("")", "]}}"), K::kWrongType,
       R"(name: expected a string, found {"a":["","","","","","","","","","","...)"},
      {fill(R"({"notes":[)", "[]", "]}"), K::kUnknownKey, "notes: unknown key"},
      {fill("[", "[]", "]"), K::kNotObject, "document: expected an object"},
      {fill(R"({"paletteWords":[)", "[]", "]}"), K::kNone, ""},
      {fill(R"({"comment":[)", "[[[[[[[[[[[[[{}]]]]]]]]]]]]]", "]}"), K::kWrongType,
       "comment: expected a string, found [[[[[[[[[[[[[[{}]]]]]]]]]]]]],[[[[[[[..."},
  };
  for (const Case& c : cases)
    Expect(c, c.json.substr(0, 40));

  // Counted and pointed at however far in, and every pair kept when all are good.
  const std::string stats = fill(R"({"basicStatus":{"stats":[)", "[]", "]}}");
  EXPECT_EQ(WhatOf(ReadSheetFile(stats)),
            "basicStatus.stats: expected 7 entries, found " + std::to_string(entries));
  const std::string swaps = fill(R"({"paletteSwaps":[)", "[1,2]", "]}");
  const std::size_t pairs = entries;
  const SheetFileResult read = ReadSheetFile(swaps);
  ASSERT_TRUE(read.Ok()) << WhatOf(read);
  EXPECT_EQ(ValueOf(read).paletteSwaps, std::vector<PaletteSwap>(pairs, {1, 2}));
  EXPECT_EQ(
      WhatOf(ReadSheetFile(swaps.substr(0, swaps.size() - 2) + ",{}]}")),
      "paletteSwaps[" + std::to_string(pairs) + "]: expected a pair of entry numbers, found {}");
}

}  // namespace
}  // namespace kavelin::sheet
