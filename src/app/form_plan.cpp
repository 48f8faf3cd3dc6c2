#include "app/form_plan.hpp"

#include <string>

#include "app/form_layout.hpp"
#include "app/window_texts.hpp"
#include "image/palette_panel.hpp"
#include "patch/game_preview.hpp"
#include "sheet/character_sheet.hpp"
#include "sheet/field_table.hpp"

namespace kavelin::app {
namespace {

using sheet::Section;
using validate::FieldId;
using validate::FieldKind;

std::u16string U16(std::string_view ascii) {
  return {ascii.begin(), ascii.end()};
}
template <class Integer>
std::u16string Number(Integer n) {
  return U16(std::to_string(n));
}
std::string Indexed(const char* base, std::size_t i) {
  return std::string(base) + "(" + std::to_string(i) + ")";
}

ControlKind KindOf(sheet::FieldInput input) {
  switch (input) {
    case sheet::FieldInput::kLine:
      return ControlKind::kBox;
    case sheet::FieldInput::kLines:
      return ControlKind::kComment;
    case sheet::FieldInput::kList:
      return ControlKind::kList;
    case sheet::FieldInput::kTick:
      return ControlKind::kTick;
    case sheet::FieldInput::kOptions:
      return ControlKind::kOption;
    case sheet::FieldInput::kPicture:
      return ControlKind::kPicture;
  }
  return ControlKind::kCaption;
}

class Builder {
 public:
  std::vector<FormControl> controls;

  // An input's kind, list and section are its field's, as the field table gives them.
  int Add(FormControl c) {
    if (c.field) {
      const sheet::FieldRow& row = sheet::Row(c.field->kind);
      c.kind = KindOf(row.input);
      c.list = row.list;
      if (row.place == sheet::FieldPlace::kSection) c.group = static_cast<int>(row.section);
    }
    controls.push_back(std::move(c));
    return static_cast<int>(controls.size()) - 1;
  }
  int Frame(std::string name, int parent, Rect at, std::u16string_view caption) {
    return Add({.kind = ControlKind::kFrame,
                .name = std::move(name),
                .parent = parent,
                .at = at,
                .text = std::u16string(caption),
                .label = std::u16string(caption)});
  }
  int Caption(std::string name, int parent, Rect at, std::u16string_view text,
              bool centred = false) {
    return Add({.kind = ControlKind::kCaption,
                .name = std::move(name),
                .parent = parent,
                .at = at,
                .text = std::u16string(text),
                .centred = centred});
  }
  // An input named by its caption, as Label() does in the window.
  int Labelled(int caption, FormControl input) {
    input.label = controls[static_cast<std::size_t>(caption)].text;
    const int i = Add(std::move(input));
    controls[static_cast<std::size_t>(caption)].labels = i;
    return i;
  }
};

void Identity(Builder& b) {
  namespace at = layout::identity;
  const std::array<std::u16string_view, 3> tips = {kNameTip, kJobNameTip, kGenderTip};
  for (std::size_t i = 0; i < kIdentityCaptions.size(); ++i) {
    const int caption =
        b.Caption("Label" + std::to_string(104 + i), -1,
                  layout::At(at::kCaptions, at::kTops[i], kCaptionHeight), kIdentityCaptions[i]);
    const std::array<FieldKind, 3> kinds = {FieldKind::kName, FieldKind::kJobName,
                                            FieldKind::kGender};
    b.Labelled(caption,
               {.name = i < 2 ? "Text" + std::to_string(i + 1) : "Combo1",
                .at = layout::At(at::kInputs, at::kTops[i], i < 2 ? kBoxHeight : kListHeight),
                .tip = std::u16string(tips[i]),
                .field = FieldId(kinds[i])});
  }
}

void SectionTop(Builder& b, int frame, std::size_t section) {
  const std::u16string caption = std::u16string(sheet::kSectionCaptions[section]) + u' ';
  b.Add({.name = Indexed("Check5", section),
         .parent = frame,
         .at = layout::kSectionOn,
         .text = std::u16string(kSectionOnCaption),
         .label = caption + std::u16string(kSectionOnCaption),
         .tip = std::u16string(kSectionOnTip),
         .field = FieldId(FieldKind::kSectionEnabled, section)});
  b.Add({.name = Indexed("Check6", section),
         .parent = frame,
         .at = layout::kSectionLocked,
         .text = std::u16string(kSectionLockedCaption),
         .label = caption + std::u16string(kSectionLockedCaption),
         .tip = std::u16string(kSectionLockedTip),
         .field = FieldId(FieldKind::kSectionLocked, section)});
}

void BasicStatus(Builder& b, int frame) {
  namespace at = layout::basic;
  const sheet::BasicStatus fresh;
  for (std::size_t c = 0; c < kBasicHeadings.size(); ++c) {
    b.Caption("Label" + std::to_string(27 + c), frame,
              layout::At(at::kHeadings[c], at::kHeadingsTop, kCaptionHeight), kBasicHeadings[c],
              true);
  }
  const std::array<const char*, 7> captionNames = {"Label4(16)", "Label26", "Label25", "Label23",
                                                   "Label22",    "Label19", "Label14"};
  for (std::size_t k = 0; k < fresh.stats.size(); ++k) {
    const int top = at::kFirstStatTop + at::kStatStep * static_cast<int>(k);
    const std::u16string stat(sheet::kStatCaptions[k]);
    const int caption =
        b.Caption(captionNames[k], frame, layout::At(at::kCaptions, top, kCaptionHeight), stat);
    b.Labelled(caption, {.name = Indexed("Text3", k),
                         .parent = frame,
                         .at = layout::At(at::kStats, top, kStackedHeight),
                         .text = fresh.stats[k],
                         .tip = Fill(kStatTip, {stat, RangeText16(FieldId(FieldKind::kStat, k))}),
                         .limit = 2,
                         .field = FieldId(FieldKind::kStat, k)});
    const std::array<const char*, 3> bases = {"Label11", "Label13", "Label18"};
    const std::array<std::u16string_view, 3> names = {kStarShiftName, kWeaponShiftName,
                                                      kShiftedName};
    const std::array<std::u16string_view, 3> tips = {kStarShiftTip, kWeaponShiftTip, kShiftedTip};
    for (std::size_t c = 0; c < 3; ++c) {
      b.Add({.kind = ControlKind::kDisplay,
             .name = Indexed(bases[c], k),
             .parent = frame,
             .at = layout::At(at::kDisplays[c], top, kCaptionHeight),
             .label = stat + std::u16string(names[c]),
             .tip = Fill(tips[c], {stat})});
    }
  }
  for (std::size_t c = 0; c < kBasicSigns.size(); ++c) {
    b.Caption("Label" + std::to_string(15 + c), frame,
              layout::At(at::kSigns[c], at::kSignsTop, kCaptionHeight), kBasicSigns[c], true);
  }
  const int lp = b.Caption("Label24", frame, layout::At(at::kCaptions, at::kLpTop, kCaptionHeight),
                           kLpCaption);
  b.Labelled(lp, {.name = "Text4",
                  .parent = frame,
                  .at = at::kLp,
                  .text = fresh.lp,
                  .tip = Fill(kLpTip, {RangeText16(FieldId(FieldKind::kLp))}),
                  .limit = 3,
                  .field = FieldId(FieldKind::kLp)});
  b.Add({.name = "Combo2",
         .parent = frame,
         .at = at::kDestinyStar,
         .label = std::u16string(kDestinyStarName),
         .tip = std::u16string(kDestinyStarTip),
         .field = FieldId(FieldKind::kDestinyStar)});
  b.Add({.name = "Combo3",
         .parent = frame,
         .at = at::kFavouriteWeapon,
         .label = std::u16string(kFavouriteWeaponName),
         .tip = std::u16string(kFavouriteWeaponTip),
         .field = FieldId(FieldKind::kFavouriteWeapon)});
  b.Add({.kind = ControlKind::kDisplay,
         .name = "Label20",
         .parent = frame,
         .at = at::kTotal,
         .label = std::u16string(kTotalName),
         .tip = std::u16string(kTotalTip)});
  const int inspiration = b.Caption("Label21", frame, at::kInspirationCaption, kInspirationCaption);
  b.Labelled(inspiration, {.name = "Combo4",
                           .parent = frame,
                           .at = at::kInspiration,
                           .tip = std::u16string(kInspirationTip),
                           .field = FieldId(FieldKind::kInspirationType)});
}

void InitialLevels(Builder& b, int frame) {
  namespace at = layout::levels;
  const sheet::InitialLevels fresh;
  const int earth = b.Frame("Frame8", frame, at::kEarthFrame, kEarthFrameCaption);
  const int heaven = b.Frame("Frame9", frame, at::kHeavenFrame, kHeavenFrameCaption);
  for (std::size_t j = 0; j < fresh.levels.size(); ++j) {
    const bool inEarth = j == sheet::kEarthLevelIndex, inHeaven = j == sheet::kHeavenLevelIndex;
    const int parent = inEarth ? earth : inHeaven ? heaven : frame;
    const bool inFrame = inEarth || inHeaven;
    const int top = at::kTops[j];
    const std::u16string level(sheet::kLevelCaptions[j]);
    const FieldId field(FieldKind::kLevel, j);
    const std::u16string tip = j == 0 ? Fill(kInitialHpTip, {RangeText16(field)})
                                      : Fill(kLevelTip, {level, RangeText16(field)});
    FormControl box{.name = Indexed("Text5", j),
                    .parent = parent,
                    .at = layout::At(inFrame ? at::kBoxesInFrame : at::kBoxes, top, kStackedHeight),
                    .text = fresh.levels[j],
                    .tip = tip,
                    .limit = j == 0 ? 3 : 2,
                    .field = field};
    if (inFrame) {
      box.label = level;
      b.Add(std::move(box));
    } else {
      b.Labelled(b.Caption(Indexed("Label30", j), frame,
                           layout::At(at::kCaptions, top, kCaptionHeight), level),
                 std::move(box));
    }
    b.Add({.name = Indexed("Check3", j),
           .parent = parent,
           .at = layout::At(inFrame ? at::kGrowsInFrame : at::kGrows, top, kCaptionHeight),
           .text = std::u16string(kGrowsCaption),
           .label = level + u' ' + std::u16string(kGrowsCaption),
           .tip = Fill(kGrowsTip, {level}),
           .field = FieldId(FieldKind::kGrows, j)});
  }
  for (std::size_t i = 0; i < sheet::kEarthSchools.size(); ++i) {
    b.Add({.name = Indexed("Option1", i),
           .parent = earth,
           .at = at::kEarthOptions[i],
           .text = std::u16string(sheet::kEarthSchools[i]),
           .label = std::u16string(sheet::kEarthSchools[i]),
           .tip = std::u16string(kEarthSchoolTip),
           .limit = static_cast<int>(i),
           .field = FieldId(FieldKind::kEarthSchool)});
  }
  for (std::size_t i = 0; i < sheet::kHeavenSchools.size(); ++i) {
    b.Add({.name = Indexed("Option2", i),
           .parent = heaven,
           .at = at::kHeavenOptions[i],
           .text = std::u16string(sheet::kHeavenSchools[i]),
           .label = std::u16string(sheet::kHeavenSchools[i]),
           .tip = std::u16string(kHeavenSchoolTip),
           .limit = static_cast<int>(i),
           .field = FieldId(FieldKind::kHeavenSchool)});
  }
}

void Slots(Builder& b, int frame, Section which) {
  namespace at = layout::slot_rows;
  const bool arts = which == Section::kInitialArts;
  const auto& captions = arts ? kArtSlotCaptions : kEquipmentSlotCaptions;
  const std::array<FieldKind, 2> kinds = arts ? std::array{FieldKind::kTechnique, FieldKind::kSpell}
                                              : std::array{FieldKind::kWeapon, FieldKind::kArmour};
  const std::size_t kSlots = sheet::Row(kinds[0]).count;
  for (std::size_t s = 0; s < 2 * kSlots; ++s) {
    const std::size_t half = s / kSlots, slot = s % kSlots;
    const std::u16string caption =
        std::u16string(captions[half]) + static_cast<char16_t>(u'1' + slot);
    const int label = b.Caption(Indexed(arts ? "Label31" : "Label32", s), frame,
                                layout::At(at::kCaptions, at::kTops[s], kCaptionHeight), caption);
    b.Labelled(label, {.name = Indexed(arts ? "Combo5" : "Combo6", s),
                       .parent = frame,
                       .at = layout::At(at::kLists, at::kTops[s], kStackedHeight),
                       .tip = Fill(kSlotTip, {caption}),
                       .field = FieldId(kinds[half], slot)});
  }
}

void ForbiddenSpells(Builder& b, int frame) {
  for (std::size_t i = 0; i < sheet::kSpellSchools.size(); ++i) {
    const std::u16string school(sheet::kSpellSchools[i]);
    b.Add({.name = Indexed("Check4", i),
           .parent = frame,
           .at = layout::kForbiddenSchools[i],
           .text = school,
           .label = school,
           .tip = Fill(kForbiddenTip, {school}),
           .field = FieldId(FieldKind::kForbiddenSchool, i)});
  }
}

void OtherTraits(Builder& b, int frame) {
  namespace at = layout::traits;
  const std::array<FieldKind, 3> kinds = {FieldKind::kFormation, FieldKind::kExclusiveWeapon,
                                          FieldKind::kCommanderType};
  for (std::size_t i = 0; i < kTraitCaptions.size(); ++i) {
    const int top = at::kFirstTop + at::kStep * static_cast<int>(i);
    const int label = b.Caption(Indexed("Label33", i), frame,
                                layout::At(at::kCaptions, top, kCaptionHeight), kTraitCaptions[i]);
    b.Labelled(label, {.name = Indexed("Combo7", i),
                       .parent = frame,
                       .at = layout::At(at::kLists, top, kStackedHeight),
                       .tip = Fill(kTraitTip, {kTraitCaptions[i]}),
                       .field = FieldId(kinds[i])});
  }
}

void GrowthRates(Builder& b, int frame) {
  namespace at = layout::growth;
  const sheet::GrowthRates fresh;
  for (std::size_t n = 0; n < fresh.growthRates.size(); ++n) {
    const std::size_t side = n >= at::kFirstOnTheRight ? 1 : 0;
    const std::u16string rate(sheet::kGrowthRateCaptions[n]);
    const int label =
        b.Caption(Indexed("Label34", n), frame,
                  layout::At(at::kCaptions[side], at::kTops[n], kCaptionHeight), rate);
    const FieldId field(FieldKind::kGrowthRate, n);
    b.Labelled(label, {.name = Indexed("Text6", n),
                       .parent = frame,
                       .at = layout::At(at::kBoxes[side], at::kTops[n], kStackedHeight),
                       .text = fresh.growthRates[n],
                       .tip = Fill(kGrowthRateTip, {rate, RangeText16(field)}),
                       .limit = 3,
                       .field = field});
  }
}

void TemplatePanel(Builder& b) {
  namespace at = layout::picture;
  const int panel = b.Add({.kind = ControlKind::kFrame, .name = "TemplatePanel", .at = at::kPanel});
  b.Caption("Label5", panel, at::kCaption, kPictureCaption);
  b.Add({.name = "Picture1",
         .parent = panel,
         .at = at::kPicture,
         .label = std::u16string(kPictureCaption),
         .tip = std::u16string(kPictureTip),
         .field = FieldId(FieldKind::kTemplatePicture)});
  b.Add({.kind = ControlKind::kButton,
         .name = "GamePreviewButton",
         .parent = panel,
         .at = at::kGamePreview,
         .text = std::u16string(kGamePreviewButton),
         .label = std::u16string(kGamePreviewButton),
         .tip = std::u16string(kGamePreviewTip)});
  b.Add({.kind = ControlKind::kButton,
         .name = "Command2",
         .parent = panel,
         .at = at::kBrowse,
         .text = u"...",
         .label = std::u16string(kBrowseName),
         .tip = std::u16string(kBrowseTip)});
  const std::array<const char*, 4> columns = {"Label2", "Label3", "Label4", "Label1"};
  for (std::size_t c = 0; c < kPaletteHeadings.size(); ++c) {
    b.Caption("Label" + std::to_string(100 + c), panel,
              layout::At(at::kValues[c], at::kHeadingsTop, kCaptionHeight), kPaletteHeadings[c],
              true);
  }
  for (std::size_t i = 0; i < 16; ++i) {
    const int top = at::kFirstRowTop + at::kRowStep * static_cast<int>(i);
    const std::u16string entry = Fill(kPaletteEntryName, {Number(i)});
    b.Add({.kind = ControlKind::kButton,
           .name = Indexed("Check1", i),
           .parent = panel,
           .at = layout::At(at::kToggles, top, at::kToggleHeight),
           .text = U16(image::ToggleCaption(static_cast<int>(i))),
           .label = entry,
           .limit = static_cast<int>(i)});
    for (std::size_t c = 0; c < columns.size(); ++c) {
      const std::u16string value = entry + u' ' + std::u16string(kPaletteHeadings[c]);
      b.Add({.kind = ControlKind::kDisplay,
             .name = Indexed(columns[c], i),
             .parent = panel,
             .at = layout::At(at::kValues[c], top, kCaptionHeight),
             .label = value,
             .tip = Fill(kPaletteValueTip, {value})});
    }
  }
  b.Add({.kind = ControlKind::kTick,
         .name = "Check2",
         .parent = panel,
         .at = at::kPreview,
         .text = std::u16string(kPreviewCaption),
         .label = std::u16string(kPreviewCaption),
         .tip = std::u16string(kPreviewTip)});
}

std::vector<FormControl> Build() {
  Builder b;
  TemplatePanel(b);
  Identity(b);
  std::array<int, sheet::kSectionCount> frames{};
  for (std::size_t i = 0; i < frames.size(); ++i) {
    frames[i] = b.Frame("Frame" + std::to_string(i + 1), -1, layout::kSectionFrames[i],
                        sheet::kSectionCaptions[i]);
    SectionTop(b, frames[i], i);
  }
  const auto frame = [&](Section s) { return frames[static_cast<std::size_t>(s)]; };
  BasicStatus(b, frame(Section::kBasicStatus));
  InitialLevels(b, frame(Section::kInitialLevels));
  Slots(b, frame(Section::kInitialArts), Section::kInitialArts);
  Slots(b, frame(Section::kInitialEquipment), Section::kInitialEquipment);
  ForbiddenSpells(b, frame(Section::kForbiddenSpells));
  OtherTraits(b, frame(Section::kOtherTraits));
  GrowthRates(b, frame(Section::kGrowthRates));
  const int comment = b.Caption("Label6", -1, layout::kCommentCaption, kCommentCaption);
  b.Labelled(comment, {.name = "Text7",
                       .at = layout::kComment,
                       .tip = std::u16string(kCommentTip),
                       .field = FieldId(FieldKind::kComment)});
  b.Add({.kind = ControlKind::kButton,
         .name = "Command1",
         .at = layout::kCreate,
         .text = std::u16string(kCreateCaption),
         .label = std::u16string(kCreateCaption),
         .tip = std::u16string(kCreateTip)});
  return std::move(b.controls);
}

}  // namespace

const std::vector<FormControl>& FormPlan() {
  static const std::vector<FormControl> plan = Build();
  return plan;
}

std::u16string Fill(std::u16string_view text, std::initializer_list<std::u16string_view> args) {
  std::u16string out;
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char16_t next = i + 1 < text.size() ? text[i + 1] : u'\0';
    const auto n = static_cast<std::size_t>(next - u'1');
    if (text[i] == u'%' && next >= u'1' && next <= u'9' && n < args.size()) {
      out += *(args.begin() + n);
      ++i;
    } else {
      out += text[i];
    }
  }
  return out;
}

std::u16string RangeText16(validate::FieldId field) {
  const auto range = sheet::RangeOf(field);
  if (!range) return {};
  const std::u16string low = Number(range->low), high = Number(range->high);
  return range->alsoAccepted ? Fill(kRangeOrText, {low, high, Number(*range->alsoAccepted)})
                             : Fill(kRangeText, {low, high});
}

std::u16string SizeText16(std::uintmax_t bytes) {
  constexpr std::uintmax_t kKiB = 1024, kMiB = kKiB * 1024;
  if (bytes >= kMiB && bytes % kMiB == 0) return Number(bytes / kMiB) + u" MiB";
  if (bytes >= kKiB && bytes % kKiB == 0) return Number(bytes / kKiB) + u" KiB";
  return Number(bytes) + u" バイト";
}

std::u16string CssText(image::Colour c) {
  static constexpr char kDigits[] = "0123456789ABCDEF";
  std::u16string out = u"#";
  for (const int part : {image::Red(c), image::Green(c), image::Blue(c)}) {
    out += static_cast<char16_t>(kDigits[(part >> 4) & 0xF]);
    out += static_cast<char16_t>(kDigits[part & 0xF]);
  }
  return out;
}

std::u16string WordText(std::uint16_t word) {
  static constexpr char kDigits[] = "0123456789ABCDEF";
  std::u16string out = u"0x";
  for (int shift = 12; shift >= 0; shift -= 4)
    out += static_cast<char16_t>(kDigits[(word >> shift) & 0xF]);
  return out;
}

std::u16string FixedColourHintText(const image::FixedColourHint& hint, int originOffset) {
  // The seed pixel where the user finds it in a picture editor.
  return Fill(kFixedColourHintTip,
              {Number(hint.entry), CssText(hint.templateColour),
               CssText(patch::WidenSnesColour(hint.gameWord)), WordText(hint.gameWord),
               Number(hint.changedPixels), Number(hint.seed.x + originOffset),
               Number(hint.seed.y + originOffset)});
}

std::u16string EdgeHintText(const image::EdgeHint& hint) {
  std::u16string cells;
  for (const int cell : hint.cells)
    cells += (cells.empty() ? u"" : std::u16string(kCellListSeparator)) + Number(cell);
  return Fill(kEdgeHintTip, {Number(hint.pictureWidth), Number(hint.pictureHeight),
                             Number(hint.neededWidth), Number(hint.neededHeight), cells,
                             Number(hint.backgroundPixels), CssText(image::kBackground)});
}

std::u16string ColourOverflowText(const image::ColourOverflow& overflow) {
  return Fill(kColourOverflowTip,
              {Number(overflow.colours), Number(image::kTemplateColourRoom), Number(overflow.at.x),
               Number(overflow.at.y), CssText(overflow.colour)});
}

}  // namespace kavelin::app
