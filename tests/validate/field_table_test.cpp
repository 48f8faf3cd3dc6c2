// The field table against what reads it: every key path names the value the sheet file
// reads into that field, every range edge is accepted or refused by the error pass, and
// the range messages read as they always have.
#include "sheet/field_table.hpp"

#include <gtest/gtest.h>

#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include "sheet/catalogue.hpp"
#include "sheet/sheet_file.hpp"
#include "support/failure_access.hpp"
#include "text/encoding.hpp"
#include "text/hex.hpp"
#include "validate/field_id.hpp"
#include "validate/input_errors.hpp"
#include "validate/messages.hpp"

namespace kavelin::validate {
namespace {

using namespace ::kavelin::testing;

using Json = nlohmann::ordered_json;
using sheet::FieldRow;
using sheet::FieldValue;
using K = FieldKind;

std::vector<FieldId> EveryField() {
  std::vector<FieldId> fields;
  for (const FieldRow& row : sheet::kFieldTable)
    for (std::size_t i = 0; i < sheet::FieldCount(row); ++i)
      fields.emplace_back(row.kind, i);
  return fields;
}

// "initialArts.spells[2]" as a JSON pointer, "/initialArts/spells/2".
Json::json_pointer Pointer(const std::string& keyPath) {
  std::string pointer = "/";
  for (const char c : keyPath)
    pointer += c == '.' || c == '[' ? std::string("/")
               : c == ']'           ? std::string()
                                    : std::string(1, c);
  return Json::json_pointer(pointer);
}

// A value the file may hold for the field, other than the fresh one, and the document the
// reader should make of it.
Json OtherValue(FieldId field, sheet::SheetDocument& expected) {
  const FieldRow& row = sheet::Row(field.kind);
  switch (row.value) {
    case FieldValue::kText:
    case FieldValue::kNumber:
      *sheet::ValueOf<std::u16string>(expected.sheet, field) = u"7";
      return "7";
    case FieldValue::kTick:
      *sheet::ValueOf<bool>(expected.sheet, field) = true;
      return true;
    case FieldValue::kPosition:
      *sheet::ValueOf<int>(expected.sheet, field) = static_cast<int>(row.choices) - 1;
      return row.choices - 1;
    case FieldValue::kCode: {
      const auto last = static_cast<int>(sheet::ListEntries(*row.list).size()) - 1;
      const std::uint8_t code = sheet::CodeAt(*row.list, last).value();
      *sheet::ValueOf<int>(expected.sheet, field) = sheet::PositionOfCode(*row.list, code).value();
      return text::Hex(code);
    }
    case FieldValue::kPath:
      expected.templateFile = "t.gif";
      return "t.gif";
  }
  return nullptr;
}

TEST(FieldTable, EveryKeyPathIsWhereTheSheetFileKeepsItsField) {
  sheet::SheetDocument fresh;
  fresh.templateFile = "fresh.gif";  // so that the file has the key
  const Json written = Json::parse(sheet::WriteSheetFile(fresh));
  for (const FieldId field : EveryField()) {
    const std::string path = KeyPath(field);
    SCOPED_TRACE(path);
    ASSERT_TRUE(written.contains(Pointer(path)));
    // Another value there is read into this field and no other.
    sheet::SheetDocument expected = fresh;
    Json changed = written;
    changed[Pointer(path)] = OtherValue(field, expected);
    const auto read = sheet::ReadSheetFile(changed.dump());
    ASSERT_TRUE(read.Ok()) << WhatOf(read);
    EXPECT_EQ(ValueOf(read), expected);
    // A wrong value there is reported under the same path.
    changed[Pointer(path)] = Json::object();
    EXPECT_EQ(PartsOf<sheet::SheetFileProblem>(sheet::ReadSheetFile(changed.dump())).key, path);
  }
  EXPECT_EQ(EveryField().size(), 90u);  // the template, 89 inputs of the form
  // The forms the web page and the messages have always used.
  EXPECT_EQ(KeyPath(FieldId(K::kSpell, 2)), "initialArts.spells[2]");
  EXPECT_EQ(KeyPath(FieldId::Enabled(sheet::Section::kOtherTraits)), "otherTraits.enabled");
  EXPECT_EQ(KeyPath(FieldId(K::kTemplatePicture)), "template");
  EXPECT_EQ(KeyPath(FieldId(K::kLp)), "basicStatus.lp");
}

TEST(FieldTable, ListsAndOptionsHoldTheirRowsChoices) {
  for (const FieldRow& row : sheet::kFieldTable) {
    SCOPED_TRACE(KeyPath(FieldId(row.kind)));
    EXPECT_EQ(row.list.has_value(), row.input == sheet::FieldInput::kList);
    if (row.list) {
      EXPECT_EQ(sheet::IsCodedList(*row.list), row.value == FieldValue::kCode);
    }
    if (row.list && row.value == FieldValue::kPosition) {
      EXPECT_EQ(row.choices, sheet::ListEntries(*row.list).size());
    }
    EXPECT_EQ(row.range.has_value(), row.value == FieldValue::kNumber);
  }
}

// The one message each numeric field's check gives.
std::u16string_view RangeMessage(FieldId field) {
  switch (field.kind) {
    case K::kStat:
      return messages::kStatsOutOfRange;
    case K::kLp:
      return messages::kLpOutOfRange;
    case K::kLevel:
      return field.index == 0 ? messages::kInitialHpOutOfRange : messages::kLevelsOutOfRange;
    case K::kGrowthRate:
      return messages::kGrowthRatesOutOfRange;
    default:
      return {};
  }
}

TEST(FieldTable, TheErrorPassAcceptsExactlyEachRange) {
  std::size_t checked = 0;
  for (const FieldId field : EveryField()) {
    const auto range = sheet::RangeOf(field);
    if (!range) continue;
    ++checked;
    SCOPED_TRACE(KeyPath(field));
    std::vector<std::pair<int, bool>> edges = {
        {range->low - 1, false}, {range->low, true}, {range->high, true}, {range->high + 1, false}};
    if (range->alsoAccepted) {
      edges.insert(edges.end(), {{*range->alsoAccepted - 1, false},
                                 {*range->alsoAccepted, true},
                                 {*range->alsoAccepted + 1, false}});
    }
    for (const auto& [value, accepted] : edges) {
      sheet::CharacterSheet s;
      for (auto& f : s.flags)
        f.enabled = true;
      const std::string digits = std::to_string(value);
      *sheet::ValueOf<std::u16string>(s, field) = {digits.begin(), digits.end()};
      const CheckResult result = CheckInputErrors(s, text::CodeTable{}, true);
      const std::vector<std::u16string> expected =
          accepted ? std::vector<std::u16string>{}
                   : std::vector<std::u16string>{std::u16string(RangeMessage(field))};
      EXPECT_EQ(result.messages, expected) << value;
      if (!accepted && result.fields.size() == 1) {
        EXPECT_EQ(result.fields[0], std::vector{field});
      }
    }
  }
  EXPECT_EQ(checked, sheet::kStatCount + 1 + sheet::kLevelCount + sheet::kGrowthRateCount);
}

TEST(FieldTable, RangeMessagesReadAsBefore) {
  EXPECT_EQ(messages::kStatsOutOfRange, u"基本ステータスが5～90の範囲外です。");
  EXPECT_EQ(messages::kLpOutOfRange, u"LPが3～99の範囲外です。");
  EXPECT_EQ(messages::kInitialHpOutOfRange, u"初期HPが30～900の範囲外です。");
  EXPECT_EQ(messages::kLevelsOutOfRange, u"初期レベルが0～31の範囲外です。");
  EXPECT_EQ(messages::kGrowthRatesOutOfRange, u"成長率が0～8の範囲外です。");
  // The check that holds them to the table tells a stale text from a right one.
  EXPECT_TRUE(messages::detail::NamesRange(u"LPが3～99の範囲外です。", u"LPが", FieldId(K::kLp)));
  EXPECT_FALSE(messages::detail::NamesRange(u"LPが3～98の範囲外です。", u"LPが", FieldId(K::kLp)));
  EXPECT_FALSE(messages::detail::NamesRange(u"LPが3～990の範囲外です。", u"LPが", FieldId(K::kLp)));
  EXPECT_FALSE(
      messages::detail::NamesRange(u"LPが3～99の範囲外です。", u"LPが", FieldId(K::kName)));
}

}  // namespace
}  // namespace kavelin::validate
