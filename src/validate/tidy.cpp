#include "validate/tidy.hpp"

#include <array>
#include <string>
#include <string_view>
#include <utility>

#include "text/widths.hpp"

namespace kavelin::validate {
namespace {

// Only the ordinary space is trimmed; a full-width space the user typed stays, and encodes
// like any other character.
std::u16string TrimSpaces(std::u16string_view text) {
  const auto first = text.find_first_not_of(u' ');
  if (first == std::u16string_view::npos) return {};
  const auto last = text.find_last_not_of(u' ');
  return std::u16string(text.substr(first, last - first + 1));
}

// Removes repeats, then closes gaps, as the window's slot order is what the player sees.
void NormaliseSlots(std::array<int, 4>& slots) {
  constexpr int kEmpty = 0;
  for (std::size_t i = 0; i + 1 < slots.size(); ++i) {
    if (slots[i] == kEmpty) continue;
    for (std::size_t j = i + 1; j < slots.size(); ++j) {
      if (slots[j] == slots[i]) slots[j] = kEmpty;
    }
  }
  for (std::size_t i = 0; i + 1 < slots.size(); ++i) {
    if (slots[i] != kEmpty) continue;
    for (std::size_t j = i + 1; j < slots.size(); ++j) {
      if (slots[j] != kEmpty) {
        slots[i] = std::exchange(slots[j], kEmpty);
        break;
      }
    }
  }
}

}  // namespace

void NormaliseArtSlots(sheet::InitialArts& arts) {
  NormaliseSlots(arts.techniques);
  NormaliseSlots(arts.spells);
}

sheet::CharacterSheet Tidy(sheet::CharacterSheet sheet) {
  sheet.name = text::WidenText(TrimSpaces(sheet.name));
  sheet.jobName = text::WidenText(TrimSpaces(sheet.jobName));
  if (sheet.Enabled(sheet::Section::kInitialArts)) NormaliseArtSlots(sheet.initialArts);
  return sheet;
}

}  // namespace kavelin::validate
