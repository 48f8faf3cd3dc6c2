#include "validate/input_errors.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <functional>
#include <string>
#include <vector>

#include "text/encoding.hpp"

namespace kavelin::validate {
namespace {

using sheet::CharacterSheet;
using sheet::Section;
using Slots = std::array<int, 4>;

// Readable failure output: reports are Japanese UTF-16.
std::string Utf8(std::u16string_view text) {
  return text::ToUtf8(text);
}

std::u16string Lines(std::initializer_list<std::u16string_view> lines) {
  std::u16string joined;
  for (const auto line : lines) {
    if (!joined.empty()) joined += u"\r\n";
    joined += line;
  }
  return joined;
}

void ExpectReport(const CheckResult& result, std::u16string_view expected,
                  const std::string& context) {
  EXPECT_EQ(result.report, expected)
      << context << "\n  got:      " << Utf8(result.report) << "\n  expected: " << Utf8(expected);
  EXPECT_EQ(result.status, expected.empty() ? 0 : 1) << context;
}

CheckResult Check(CharacterSheet& sheet, bool templateLoaded = true) {
  const text::CodeTable table;
  return CheckInputErrors(sheet, table, templateLoaded);
}

TEST(InputErrors, FreshSheetWithTemplatePasses) {
  CharacterSheet sheet;
  const auto result = Check(sheet);
  EXPECT_EQ(result.status, 0);
  EXPECT_TRUE(result.report.empty());
  EXPECT_TRUE(result.messages.empty());
  EXPECT_EQ(sheet, CharacterSheet{});
}

struct NameCase {
  std::u16string_view name;
  std::u16string_view jobName;
  bool templateLoaded;
  std::u16string report;
  std::u16string_view nameAfter;
  std::u16string_view jobNameAfter;
};

TEST(InputErrors, TemplateNameAndJobName) {
  // あ takes one byte, 魔 two, a widened digit two.
  const std::vector<NameCase> cases = {
      {u"名無しさん", u"", false, Lines({u"正しい画像が指定されていません。"}), u"名無しさん", u""},
      {u"", u"お腹いっぱい。", true, Lines({u"名前を入力してください。"}), u"", u"お腹いっぱい。"},
      {u"   ", u"お腹いっぱい。", true, Lines({u"名前を入力してください。"}), u"",
       u"お腹いっぱい。"},
      {u"", u"あいうえおかきくけこさ", true,
       Lines({u"名前を入力してください。", u"職業名が長すぎます。"}), u"",
       u"あいうえおかきくけこさ"},
      {u"", u"", false, Lines({u"正しい画像が指定されていません。", u"名前を入力してください。"}),
       u"", u""},
      // Widened whether or not anything fails; without Ａ in the extended table it fails.
      {u"ABC", u"", true, Lines({u"名前に存在しない文字が使われています。「Ａ」"}), u"ＡＢＣ", u""},
      {u"ABC", u"", false,
       Lines(
           {u"正しい画像が指定されていません。", u"名前に存在しない文字が使われています。「Ａ」"}),
       u"ＡＢＣ", u""},
      {u"  ｶﾞﾙ ﾀﾞ  ", u" ﾊﾟﾝ ", true, u"", u"ガル\u3000ダ", u"パン"},
      {u"\u3000ガル\u3000", u"\u3000", true, u"", u"\u3000ガル\u3000", u"\u3000"},
      {u"あいうえおかきく", u"", true, u"", u"あいうえおかきく", u""},
      {u"あいうえおかきくけ", u"", true, Lines({u"名前が長すぎます。"}), u"あいうえおかきくけ",
       u""},
      {u"魔魔魔魔", u"", true, u"", u"魔魔魔魔", u""},
      {u"魔魔魔魔魔", u"", true, Lines({u"名前が長すぎます。"}), u"魔魔魔魔魔", u""},
      {u"あいうえおか魔", u"", true, u"", u"あいうえおか魔", u""},
      {u"あいうえおかき魔", u"", true, Lines({u"名前が長すぎます。"}), u"あいうえおかき魔", u""},
      {u"1234", u"", true, u"", u"１２３４", u""},
      {u"12345", u"", true, Lines({u"名前が長すぎます。"}), u"１２３４５", u""},
      // Only the first unencodable character, and no length message after it.
      {u"□あいうえおかきくけ■", u"", true, Lines({u"名前に存在しない文字が使われています。「□」"}),
       u"□あいうえおかきくけ■", u""},
      {u"あ\U0001F600", u"", true, Lines({u"名前に存在しない文字が使われています。「\U0001F600」"}),
       u"あ\U0001F600", u""},
      // Characters nobody could see between the brackets are named by code point.
      {u"ア\tル", u"", true, Lines({u"名前に存在しない文字が使われています。「U+0009」"}),
       u"ア\tル", u""},
      {u"\uFEFFアル", u"", true, Lines({u"名前に存在しない文字が使われています。「U+FEFF」"}),
       u"\uFEFFアル", u""},
      {u"ア\xD800ル", u"", true, Lines({u"名前に存在しない文字が使われています。「U+D800」"}),
       u"ア\xD800ル", u""},
      {u"名無しさん", u"あいうえおかきくけこ", true, u"", u"名無しさん", u"あいうえおかきくけこ"},
      {u"名無しさん", u"xyz", true, Lines({u"職業名に存在しない文字が使われています。「ｘ」"}),
       u"名無しさん", u"ｘｙｚ"},
      {u"■", u"魔魔魔魔魔魔", true,
       Lines({u"名前に存在しない文字が使われています。「■」", u"職業名が長すぎます。"}), u"■",
       u"魔魔魔魔魔魔"},
  };
  for (const auto& c : cases) {
    CharacterSheet sheet;
    sheet.name = c.name;
    sheet.jobName = c.jobName;
    const auto context = "name " + Utf8(c.name) + ", job " + Utf8(c.jobName);
    ExpectReport(Check(sheet, c.templateLoaded), c.report, context);
    EXPECT_EQ(sheet.name, c.nameAfter) << context << ": name became " << Utf8(sheet.name);
    EXPECT_EQ(sheet.jobName, c.jobNameAfter) << context << ": job became " << Utf8(sheet.jobName);
  }
}

TEST(InputErrors, ExtendedCharactersCountTwoBytes) {
  text::CodeTable table;
  table.AppendExtendedRow(u"ＡＢＣＤＥ");
  CharacterSheet sheet;
  sheet.name = u"ABCD";
  ExpectReport(CheckInputErrors(sheet, table, true), u"", "four extended");
  EXPECT_EQ(sheet.name, u"ＡＢＣＤ");
  sheet.name = u"ABCDE";
  ExpectReport(CheckInputErrors(sheet, table, true), u"名前が長すぎます。", "five extended");
}

// One table per numeric check: the field's text, and whether the value passes.
struct ValueCase {
  std::u16string_view text;
  bool passes;
};

void ExpectValues(Section section, std::u16string_view message, const std::vector<ValueCase>& cases,
                  const std::function<void(CharacterSheet&, std::u16string_view)>& set) {
  for (const auto& c : cases) {
    CharacterSheet sheet;
    sheet.Flags(section).enabled = true;
    set(sheet, c.text);
    ExpectReport(Check(sheet), c.passes ? u"" : message, "value " + Utf8(c.text));
  }
}

TEST(InputErrors, BaseStatistics) {
  const std::vector<ValueCase> cases = {
      {u"5", true},    {u"90", true},   {u"4", false},    {u"91", false},
      {u"", false},    {u"abc", false}, {u"4.99", false}, {u"90.01", false},
      {u"&H5A", true}, {u" 5 ", true},  {u"-5", false},   {u"1e2", false},
  };
  for (std::size_t k : {0u, 3u, 6u}) {
    ExpectValues(Section::kBasicStatus, u"基本ステータスが5～90の範囲外です。", cases,
                 [k](CharacterSheet& s, std::u16string_view t) { s.basicStatus.stats[k] = t; });
  }
}

TEST(InputErrors, Lp) {
  ExpectValues(Section::kBasicStatus, u"LPが3～99の範囲外です。",
               {{u"3", true},
                {u"99", true},
                {u"128", true},
                {u"2", false},
                {u"100", false},
                {u"127", false},
                {u"129", false},
                {u"128.5", false},
                {u"99.5", false},
                {u"", false}},
               [](CharacterSheet& s, std::u16string_view t) { s.basicStatus.lp = t; });
}

TEST(InputErrors, InitialHp) {
  ExpectValues(Section::kInitialLevels, u"初期HPが30～900の範囲外です。",
               {{u"30", true},
                {u"900", true},
                {u"29", false},
                {u"901", false},
                {u"29.9", false},
                {u"900.5", false},
                {u"", false}},
               [](CharacterSheet& s, std::u16string_view t) { s.initialLevels.levels[0] = t; });
}

TEST(InputErrors, InitialLevels) {
  const std::vector<ValueCase> cases = {{u"0", true},     {u"31", true},   {u"", true},
                                        {u"abc", true},   {u"32", false},  {u"-1", false},
                                        {u"31.5", false}, {u"-0.1", false}};
  for (std::size_t k = 1; k < 9; ++k) {
    ExpectValues(Section::kInitialLevels, u"初期レベルが0～31の範囲外です。", cases,
                 [k](CharacterSheet& s, std::u16string_view t) { s.initialLevels.levels[k] = t; });
  }
}

TEST(InputErrors, GrowthRates) {
  const std::vector<ValueCase> cases = {
      {u"0", true},   {u"8", true},      {u"7.5", true},  {u"255", true},
      {u"", true},    {u"9", false},     {u"8.5", false}, {u"254", false},
      {u"-1", false}, {u"255.5", false}, {u"&HFF", true}, {u"256", false},
  };
  for (std::size_t k : {0u, 7u, 14u}) {
    ExpectValues(
        Section::kGrowthRates, u"成長率が0～8の範囲外です。", cases,
        [k](CharacterSheet& s, std::u16string_view t) { s.growthRates.growthRates[k] = t; });
  }
}

// The writer reads only ASCII digits; a text whose number changes once its full-width
// characters count would be stored as a number the user never typed.
TEST(InputErrors, NumbersTheWriterWouldMisreadFail) {
  const std::vector<ValueCase> cases = {
      {u"１０", false}, {u"1\u30000", false}, {u"10\u3000", true}, {u"10ａ", true}, {u"０", true},
  };
  ExpectValues(Section::kInitialLevels, u"初期レベルが0～31の範囲外です。", cases,
               [](CharacterSheet& s, std::u16string_view t) { s.initialLevels.levels[3] = t; });
}

TEST(InputErrors, AGroupGivesOneMessageHoweverManyFieldsFail) {
  CharacterSheet sheet;
  for (auto& f : sheet.flags)
    f.enabled = true;
  sheet.basicStatus.stats = {u"0", u"15", u"100", u"15", u"", u"15", u"x"};
  sheet.initialLevels.levels = {u"80", u"32", u"-1", u"0", u"99", u"0", u"0", u"0", u"0"};
  sheet.growthRates.growthRates.fill(u"9");
  ExpectReport(Check(sheet),
               Lines({u"基本ステータスが5～90の範囲外です。", u"初期レベルが0～31の範囲外です。",
                      u"成長率が0～8の範囲外です。"}),
               "");
}

TEST(InputErrors, EveryCheckReportsInOrder) {
  CharacterSheet sheet;
  for (auto& f : sheet.flags)
    f.enabled = true;
  sheet.name = u" ";
  sheet.jobName = u"魔魔魔魔魔魔";
  sheet.basicStatus.stats[6] = u"91";
  sheet.basicStatus.lp = u"0";
  sheet.initialLevels.levels[0] = u"0";
  sheet.initialLevels.levels[8] = u"32";
  sheet.growthRates.growthRates[14] = u"254";
  sheet.comment.assign(65536, u'a');
  const auto result = Check(sheet, false);
  const std::vector<std::u16string> expected = {u"正しい画像が指定されていません。",
                                                u"名前を入力してください。",
                                                u"職業名が長すぎます。",
                                                u"基本ステータスが5～90の範囲外です。",
                                                u"LPが3～99の範囲外です。",
                                                u"初期HPが30～900の範囲外です。",
                                                u"初期レベルが0～31の範囲外です。",
                                                u"成長率が0～8の範囲外です。",
                                                u"コメントが65535文字を超えています。"};
  EXPECT_EQ(result.messages, expected);
  ExpectReport(result,
               Lines({expected[0], expected[1], expected[2], expected[3], expected[4], expected[5],
                      expected[6], expected[7], expected[8]}),
               "");
}

TEST(InputErrors, DisabledSectionsAreNeverExamined) {
  CharacterSheet sheet;
  sheet.basicStatus.stats.fill(u"0");
  sheet.basicStatus.lp = u"0";
  sheet.initialLevels.levels.fill(u"-999");
  sheet.growthRates.growthRates.fill(u"１００");
  sheet.initialArts.spells = {7, 7, 7, 0};
  sheet.initialArts.techniques = {0, 3, 0, 3};
  for (auto& f : sheet.flags)
    f.locked = true;
  const CharacterSheet before = sheet;
  ExpectReport(Check(sheet), u"", "all sections off");
  EXPECT_EQ(sheet, before);
}

TEST(InputErrors, Comment) {
  struct Case {
    std::u16string comment;
    bool passes;
  };
  const std::u16string crlf = u"\r\n";
  auto repeat = [](std::u16string_view unit, std::size_t n) {
    std::u16string s;
    for (std::size_t i = 0; i < n; ++i)
      s += unit;
    return s;
  };
  const std::vector<Case> cases = {
      {u"", true},
      {std::u16string(65535, u'a'), true},
      {std::u16string(65536, u'a'), false},
      {std::u16string(65535, u'あ'), true},
      {std::u16string(65536, u'あ'), false},
      {repeat(crlf, 32767) + u"a", true},  // a line break counts two
      {repeat(crlf, 32768), false},
      {repeat(u"\U0001F600", 32768), false},  // a surrogate pair counts two
      {std::u16string(1'000'000, u'a'), false},
  };
  for (const auto& c : cases) {
    CharacterSheet sheet;
    sheet.comment = c.comment;
    ExpectReport(Check(sheet), c.passes ? u"" : u"コメントが65535文字を超えています。",
                 "comment of " + std::to_string(c.comment.size()) + " units");
    EXPECT_EQ(sheet.comment, c.comment);
  }
}

struct SlotCase {
  Slots before;
  Slots after;
};

TEST(InputErrors, ArtSlotsAreNormalisedOnlyWhenTheSectionIsOn) {
  const std::vector<SlotCase> cases = {
      {{1, 0, 1, 2}, {1, 2, 0, 0}},      {{7, 7, 7, 0}, {7, 0, 0, 0}},
      {{0, 0, 0, 5}, {5, 0, 0, 0}},      {{4, 3, 2, 1}, {4, 3, 2, 1}},
      {{0, 0, 0, 0}, {0, 0, 0, 0}},      {{1, 2, 1, 2}, {1, 2, 0, 0}},
      {{0, 9, 0, 9}, {9, 0, 0, 0}},      {{3, 3, 0, 3}, {3, 0, 0, 0}},
      {{0, 40, 40, 39}, {40, 39, 0, 0}}, {{104, 0, 0, 104}, {104, 0, 0, 0}},
  };
  for (const auto& c : cases) {
    for (const bool enabled : {true, false}) {
      CharacterSheet sheet;
      sheet.Flags(Section::kInitialArts).enabled = enabled;
      sheet.initialArts.techniques = c.before;
      sheet.initialArts.spells = c.before;
      ExpectReport(Check(sheet), u"", "slots");
      const Slots expected = enabled ? c.after : c.before;
      EXPECT_EQ(sheet.initialArts.techniques, expected);
      EXPECT_EQ(sheet.initialArts.spells, expected);
    }
  }
}

// The first occurrence of each chosen entry, in order, packed into the lowest slots.
Slots FirstOccurrencesPacked(const Slots& slots) {
  Slots packed{};
  std::size_t n = 0;
  for (const int s : slots) {
    if (s != 0 && std::find(packed.begin(), packed.begin() + n, s) == packed.begin() + n) {
      packed[n++] = s;
    }
  }
  return packed;
}

// Every combination of four slots over five entries, techniques and spells alike.
TEST(NormaliseArtSlots, KeepsFirstOccurrencesInOrderPacked) {
  for (int n = 0; n < 5 * 5 * 5 * 5; ++n) {
    const Slots slots{n % 5, n / 5 % 5, n / 25 % 5, n / 125};
    const Slots reversed{slots[3], slots[2], slots[1], slots[0]};
    sheet::InitialArts arts;
    arts.techniques = slots;
    arts.spells = reversed;
    NormaliseArtSlots(arts);
    EXPECT_EQ(arts.techniques, FirstOccurrencesPacked(slots));
    EXPECT_EQ(arts.spells, FirstOccurrencesPacked(reversed));
  }
}

}  // namespace
}  // namespace kavelin::validate
