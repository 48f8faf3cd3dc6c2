// Every control of the character form as data: kind, name, place, texts, list and field.
// Without Qt, so that the window and the web page lay out one form from the same layout
// numbers and texts; a GUI test holds the window to it control by control.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <optional>
#include <string>
#include <vector>

#include "app/form_geometry.hpp"
#include "image/palette_panel.hpp"
#include "image/template_hints.hpp"
#include "sheet/catalogue.hpp"
#include "validate/field_id.hpp"

namespace kavelin::app {

enum class ControlKind {
  kFrame,    // a framed group with a caption; others may stand in it
  kCaption,  // plain text; `labels` is the control it names, if any
  kBox,      // one line of typing, at most `limit` characters typed (0: no limit)
  kList,     // a drop-down list of `list`'s entries
  kTick,     // a check box
  kOption,   // one of a group of radio buttons; `group` names the group
  kDisplay,  // a value shown in a border, never typed
  kComment,  // the comment, several lines
  kButton,
  kPicture,  // the template picture
};

struct FormControl {
  ControlKind kind = ControlKind::kCaption;
  std::string name{};      // the window's object name for it
  int parent = -1;         // the plan index of the frame it stands in, or -1
  Rect at{};               // twips, within its parent
  std::u16string text{};   // caption, tick or button text, a box's fresh text
  std::u16string label{};  // the name assistive tools read
  std::u16string tip{};    // the tooltip
  std::optional<sheet::ListId> list{};
  int limit = 0;
  std::optional<validate::FieldId> field{};
  int labels = -1;  // for a caption: the plan index of the control it names
  int group = -1;   // for an option: its group; for an input: its section, or -1
  bool centred = false;
};

// The whole form in the window's order of construction: the template panel, the identity
// rows, the seven sections, the comment and the create button.
const std::vector<FormControl>& FormPlan();

// "%1" to "%9" of a window text filled in, as Qt's arg() would.
std::u16string Fill(std::u16string_view text, std::initializer_list<std::u16string_view> args);
// A numeric field's range, as the field table gives it: "5～90", "3～99 または 128"; empty
// for a field that has none.
std::u16string RangeText16(validate::FieldId field);
// "80 MiB", "64 KiB", "100 バイト": a file size as the window's reasons give it.
std::u16string SizeText16(std::uintmax_t bytes);
// "#C0FFEE" and "0x7FFF", as the palette's hints write colours and words.
std::u16string CssText(image::Colour c);
std::u16string WordText(std::uint16_t word);
// The tooltip of a palette entry that the game shows in a fixed colour.
std::u16string FixedColourHintText(const image::FixedColourHint& hint, int originOffset);
// The picture's hints: cells past its edge, and too many colours.
std::u16string EdgeHintText(const image::EdgeHint& hint);
std::u16string ColourOverflowText(const image::ColourOverflow& overflow);

}  // namespace kavelin::app
