// Every text the two passes show, in one place, exactly as the user reads it.
#pragma once

#include <string_view>

#include "sheet/field_table.hpp"

namespace kavelin::validate::messages {

// Errors, in the order the error pass reports them.
inline constexpr std::u16string_view kNoTemplate = u"正しい画像が指定されていません。";
inline constexpr std::u16string_view kNameEmpty = u"名前を入力してください。";
// The two "not encodable" messages are followed by the character and kRejectedClose.
inline constexpr std::u16string_view kNameUnencodable = u"名前に存在しない文字が使われています。「";
inline constexpr std::u16string_view kNameTooLong = u"名前が長すぎます。";
inline constexpr std::u16string_view kJobNameUnencodable =
    u"職業名に存在しない文字が使われています。「";
inline constexpr std::u16string_view kJobNameTooLong = u"職業名が長すぎます。";
inline constexpr std::u16string_view kRejectedClose = u"」";
inline constexpr std::u16string_view kStatsOutOfRange = u"基本ステータスが5～90の範囲外です。";
inline constexpr std::u16string_view kLpOutOfRange = u"LPが3～99の範囲外です。";
inline constexpr std::u16string_view kInitialHpOutOfRange = u"初期HPが30～900の範囲外です。";
inline constexpr std::u16string_view kLevelsOutOfRange = u"初期レベルが0～31の範囲外です。";
inline constexpr std::u16string_view kGrowthRatesOutOfRange = u"成長率が0～8の範囲外です。";
inline constexpr std::u16string_view kCommentTooLong = u"コメントが65535文字を超えています。";

namespace detail {

constexpr bool TakePart(std::u16string_view& text, std::u16string_view part) {
  if (!text.starts_with(part)) return false;
  text.remove_prefix(part.size());
  return true;
}
constexpr bool TakeNumber(std::u16string_view& text, int n) {
  char16_t digits[12] = {};
  std::size_t count = 0;
  for (unsigned rest = static_cast<unsigned>(n < 0 ? -n : n); count == 0 || rest > 0; rest /= 10)
    digits[count++] = static_cast<char16_t>(u'0' + rest % 10);
  if (n < 0) digits[count++] = u'-';
  for (std::size_t i = count; i > 0; --i)
    if (!TakePart(text, std::u16string_view(&digits[i - 1], 1))) return false;
  return true;
}
// Whether a range message reads "<subject>LOW～HIGHの範囲外です。" for the field's range.
constexpr bool NamesRange(std::u16string_view message, std::u16string_view subject,
                          sheet::FieldId field) {
  const auto range = sheet::RangeOf(field);
  return range && TakePart(message, subject) && TakeNumber(message, range->low) &&
         TakePart(message, u"～") && TakeNumber(message, range->high) &&
         message == u"の範囲外です。";
}

}  // namespace detail

// The range messages are written out, as the user reads them; these hold them to the
// ranges the checks apply, so that neither changes without the other.
static_assert(detail::NamesRange(kStatsOutOfRange, u"基本ステータスが",
                                 sheet::FieldId(sheet::FieldKind::kStat)));
static_assert(detail::NamesRange(kLpOutOfRange, u"LPが", sheet::FieldId(sheet::FieldKind::kLp)));
static_assert(detail::NamesRange(kInitialHpOutOfRange, u"初期HPが",
                                 sheet::FieldId(sheet::FieldKind::kLevel, 0)));
static_assert(detail::NamesRange(kLevelsOutOfRange, u"初期レベルが",
                                 sheet::FieldId(sheet::FieldKind::kLevel, 1)));
static_assert(detail::NamesRange(kGrowthRatesOutOfRange, u"成長率が",
                                 sheet::FieldId(sheet::FieldKind::kGrowthRate)));

// Warnings, in the order the warning pass reports them, and the question that closes them.
inline constexpr std::u16string_view kNameExtended =
    u"名前に拡張文字が使われているため、拡張ROM専用になります。";
inline constexpr std::u16string_view kJobNameExtended =
    u"職業名に拡張文字が使われているため、拡張ROM専用になります。";
inline constexpr std::u16string_view kSpellConflict =
    u"同時に習得できない術が初期習得術に設定されています。";
inline constexpr std::u16string_view kSpellLevelMissing =
    u"術レベルが設定されていない術が初期習得術に設定されています。";
inline constexpr std::u16string_view kSeveralShields = u"盾が複数装備されています。";
inline constexpr std::u16string_view kArmourConflict =
    u"装備できない組み合わせの防具が設定されています。";
inline constexpr std::u16string_view kExclusiveWithoutEquipment =
    u"専用武器が設定されていますが初期装備が設定されていません。";
inline constexpr std::u16string_view kWeaponNotExclusive =
    u"専用武器以外の武器が第1武器に設定されています。";
inline constexpr std::u16string_view kConfirmQuestion =
    u"この設定でパッチを作成してもよろしいですか？";

}  // namespace kavelin::validate::messages
