#include "validate/input_errors.hpp"

#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "sheet/field_table.hpp"
#include "validate/messages.hpp"
#include "validate/numeric_field.hpp"
#include "validate/tidy.hpp"

namespace kavelin::validate {
namespace {

using detail::StoredValue;
using sheet::Section;
using K = FieldKind;

// Characters that would show as nothing between 「」, or break the report text: control
// and format characters, blanks other than the ones the game has, and lone surrogates.
bool ShowsAsNothing(char16_t c) {
  return c < 0x20 || (c >= 0x7F && c <= 0xA0) || c == 0xAD || c == 0x1680 ||
         (c >= 0x2000 && c <= 0x200F) || (c >= 0x2028 && c <= 0x202F) ||
         (c >= 0x205F && c <= 0x2064) || (c >= 0xD800 && c <= 0xDFFF) || c == 0xFEFF ||
         c == 0xFFFE || c == 0xFFFF;
}

// The rejected character as the message shows it: itself, or its code point when the
// user could not see it.
std::u16string Shown(std::u16string_view rejected) {
  if (rejected.size() != 1 || !ShowsAsNothing(rejected[0])) return std::u16string(rejected);
  constexpr std::u16string_view kHex = u"0123456789ABCDEF";
  std::u16string shown = u"U+";
  for (int shift = 12; shift >= 0; shift -= 4)
    shown += kHex[(rejected[0] >> shift) & 0xF];
  return shown;
}

// Encodes a name-like text and records at most one message: not encodable, or too long.
void CheckGameText(const text::CodeTable& table, std::u16string_view text, std::size_t maxBytes,
                   std::u16string_view unencodableMessage, std::u16string_view tooLongMessage,
                   FieldId field, std::vector<Finding>& errors) {
  const auto encoded = text::EncodeGameText(table, text);
  if (!encoded) {
    errors.push_back({std::u16string(unencodableMessage) + Shown(text::RejectedOf(encoded.Why())) +
                          std::u16string(messages::kRejectedClose),
                      {field}});
  } else if (encoded->bytes.size() > maxBytes) {
    errors.push_back({std::u16string(tooLongMessage), {field}});
  }
}

// Whether the table's range for a numeric field accepts what it holds.
bool InRange(const sheet::CharacterSheet& sheet, FieldId field) {
  return sheet::RangeOf(field)->Accepts(StoredValue(*sheet::ValueOf<std::u16string>(sheet, field)));
}

// The first of a kind's fields from `first` on that is not accepted: the group stops there,
// and that is the field its one message points at.
std::optional<FieldId> FirstRejected(const sheet::CharacterSheet& sheet, FieldKind kind,
                                     std::size_t first = 0) {
  for (std::size_t i = first; i < sheet::Row(kind).count; ++i) {
    if (!InRange(sheet, FieldId(kind, i))) return FieldId(kind, i);
  }
  return std::nullopt;
}

// One message about one field.
Finding About(std::u16string_view message, FieldId field) {
  return {std::u16string(message), {field}};
}

}  // namespace

CheckResult CheckInputErrors(const sheet::CharacterSheet& given, const text::CodeTable& table,
                             bool templateLoaded) {
  // Tidying twice changes nothing, so a sheet the road has tidied is checked as it is.
  const sheet::CharacterSheet sheet = Tidy(given);
  std::vector<Finding> errors;

  if (!templateLoaded) errors.push_back(About(messages::kNoTemplate, FieldId(K::kTemplatePicture)));

  if (sheet.name.empty()) errors.push_back(About(messages::kNameEmpty, FieldId(K::kName)));
  CheckGameText(table, sheet.name, sheet::kNameMaxBytes, messages::kNameUnencodable,
                messages::kNameTooLong, FieldId(K::kName), errors);

  CheckGameText(table, sheet.jobName, sheet::kJobNameMaxBytes, messages::kJobNameUnencodable,
                messages::kJobNameTooLong, FieldId(K::kJobName), errors);

  if (sheet.Enabled(Section::kBasicStatus)) {
    if (const auto stat = FirstRejected(sheet, K::kStat))
      errors.push_back(About(messages::kStatsOutOfRange, *stat));
    if (!InRange(sheet, FieldId(K::kLp)))
      errors.push_back(About(messages::kLpOutOfRange, FieldId(K::kLp)));
  }

  if (sheet.Enabled(Section::kInitialLevels)) {
    // HP leads the levels with its own range and message.
    if (!InRange(sheet, FieldId(K::kLevel, 0)))
      errors.push_back(About(messages::kInitialHpOutOfRange, FieldId(K::kLevel, 0)));
    if (const auto level = FirstRejected(sheet, K::kLevel, 1))
      errors.push_back(About(messages::kLevelsOutOfRange, *level));
  }

  if (sheet.Enabled(Section::kGrowthRates)) {
    if (const auto rate = FirstRejected(sheet, K::kGrowthRate))
      errors.push_back(About(messages::kGrowthRatesOutOfRange, *rate));
  }

  if (sheet.comment.size() > sheet::kMaxCommentLength)
    errors.push_back(About(messages::kCommentTooLong, FieldId(K::kComment)));

  return MakeCheckResult(std::move(errors));
}

}  // namespace kavelin::validate
