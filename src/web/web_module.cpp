// The core as the web page calls it: values in, facts out, JSON text and byte arrays
// across the border. Every step is the core's own; the page only shows and asks.
#include <emscripten/bind.h>
#include <emscripten/val.h>

#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include "app/form_layout.hpp"
#include "app/form_plan.hpp"
#include "app/window_texts.hpp"
#include "command/patch_from_bytes.hpp"
#include "command/save_file.hpp"
#include "command/template_intake.hpp"
#include "command/user_file.hpp"
#include "image/blank_template.hpp"
#include "image/decoder.hpp"
#include "image/encoder.hpp"
#include "image/intake.hpp"
#include "image/palette_panel.hpp"
#include "image/poison_preview.hpp"
#include "image/template_hints.hpp"
#include "patch/game_preview.hpp"
#include "patch/patch_reader.hpp"
#include "patch/template_export.hpp"
#include "sheet/names_file.hpp"
#include "sheet/sheet_file.hpp"
#include "sheet/stat_display.hpp"
#include "text/code_table.hpp"
#include "text/encoding.hpp"
#include "text/hex.hpp"
#include "text/settings_file.hpp"
#include "validate/live_check.hpp"
#include "validate/messages.hpp"

namespace kavelin::web {
namespace {

using emscripten::val;
using nlohmann::json;
using Bytes = std::vector<std::uint8_t>;

std::string U8(std::u16string_view s) {
  return text::ToUtf8(s);
}

Bytes FromJs(const val& array) {
  return array.isNull() || array.isUndefined()
             ? Bytes{}
             : emscripten::convertJSArrayToNumberVector<std::uint8_t>(array);
}

val ToJs(const std::vector<std::uint8_t>& bytes) {
  val array = val::global("Uint8Array").new_(bytes.size());
  array.call<void>("set", val(emscripten::typed_memory_view(bytes.size(), bytes.data())));
  return array;
}

text::CodeTable Codes(const Bytes& settings) {
  text::CodeTable codes;
  if (!settings.empty()) text::LoadFamilySettings(codes, settings);
  return codes;
}

const char* KindName(app::ControlKind kind) {
  switch (kind) {
    case app::ControlKind::kFrame:
      return "frame";
    case app::ControlKind::kCaption:
      return "caption";
    case app::ControlKind::kBox:
      return "box";
    case app::ControlKind::kList:
      return "list";
    case app::ControlKind::kTick:
      return "tick";
    case app::ControlKind::kOption:
      return "option";
    case app::ControlKind::kDisplay:
      return "display";
    case app::ControlKind::kComment:
      return "comment";
    case app::ControlKind::kButton:
      return "button";
    case app::ControlKind::kPicture:
      return "picture";
  }
  return "caption";
}

// A list's entries and the value the sheet file stores for each: the entry's code for a
// coded list, its position otherwise.
json ListJson(sheet::ListId list) {
  json entries = json::array(), values = json::array();
  const auto shown = sheet::ListEntries(list);
  for (std::size_t i = 0; i < shown.size(); ++i) {
    entries.push_back(U8(shown[i]));
    if (sheet::IsCodedList(list)) {
      values.push_back(text::Hex(sheet::CodeAt(list, static_cast<int>(i)).value_or(0)));
    } else {
      values.push_back(i);
    }
  }
  return {{"id", static_cast<int>(list)}, {"entries", entries}, {"values", values}};
}

json Findings(const validate::CheckResult& result) {
  json out = json::array();
  for (std::size_t i = 0; i < result.messages.size(); ++i) {
    json keys = json::array();
    for (const validate::FieldId field : result.fields[i])
      keys.push_back(validate::KeyPath(field));
    out.push_back({{"message", U8(result.messages[i])}, {"keys", keys}});
  }
  return out;
}

// The sheet's swaps as the page keeps them: [[a, b], ...]; anything else is no swap.
std::vector<sheet::PaletteSwap> Swaps(const std::string& swapsJson) {
  std::vector<sheet::PaletteSwap> swaps;
  const json parsed = json::parse(swapsJson, nullptr, false);
  if (!parsed.is_array()) return swaps;
  for (const json& pair : parsed) {
    if (pair.is_array() && pair.size() == 2 && pair[0].is_number_integer() &&
        pair[1].is_number_integer())
      swaps.emplace_back(pair[0].get<int>(), pair[1].get<int>());
  }
  return swaps;
}

// A raster as a canvas takes it: red, green, blue and opaque alpha, row by row.
Bytes Rgba(const image::Raster& shown) {
  Bytes rgba(static_cast<std::size_t>(shown.Width()) * static_cast<std::size_t>(shown.Height()) *
             4);
  std::size_t i = 0;
  for (int y = 0; y < shown.Height(); ++y) {
    for (int x = 0; x < shown.Width(); ++x, i += 4) {
      const image::Colour c = shown.At(x, y);
      rgba[i] = image::Red(c);
      rgba[i + 1] = image::Green(c);
      rgba[i + 2] = image::Blue(c);
      rgba[i + 3] = 255;
    }
  }
  return rgba;
}

std::u16string U16Number(std::size_t n) {
  const std::string digits = std::to_string(n);
  return {digits.begin(), digits.end()};
}

}  // namespace

// Every control of the form, placed in pixels at scale 1 as the window places them.
std::string FormPlanJson() {
  json controls = json::array();
  for (const app::FormControl& c : app::FormPlan()) {
    json o = {
        {"kind", KindName(c.kind)},
        {"name", c.name},
        {"parent", c.parent},
        {"at", {app::Px(c.at.left), app::Px(c.at.top), app::Px(c.at.width), app::Px(c.at.height)}},
        {"text", U8(c.text)},
        {"label", U8(c.label)},
        {"tip", U8(c.tip)},
        {"limit", c.limit},
        {"labels", c.labels},
        {"group", c.group},
        {"centred", c.centred}};
    if (c.field) o["key"] = validate::KeyPath(*c.field);
    if (c.list) o["list"] = ListJson(*c.list);
    controls.push_back(std::move(o));
  }
  return json{{"width", app::Px(app::layout::kClientWidth)},
              {"height", app::Px(app::layout::kClientHeight)},
              {"controls", controls}}
      .dump();
}

// Each kind of file the page opens, and the most bytes it reads of one, as the desktop does.
std::array<std::pair<const char*, std::uintmax_t>, 5> CapList() {
  return {{{"template", image::kMaxTemplateFileBytes},
           {"sheet", command::kMaxSheetFileBytes},
           {"patch", command::kMaxPatchFileBytes},
           {"names", sheet::kMaxNamesFileBytes},
           {"settings", text::kMaxSettingsFileBytes}}};
}
json Caps() {
  json caps = json::object();
  for (const auto& [kind, bytes] : CapList())
    caps[kind] = bytes;
  return caps;
}
json TooLarge(std::u16string_view reason) {
  json texts = json::object();
  for (const auto& [kind, bytes] : CapList())
    texts[kind] = U8(app::Fill(reason, {app::SizeText16(bytes)}));
  return texts;
}

// The texts the page shows around the road, from the window's one place for them.
std::string TextsJson() {
  using namespace app;
  return json{{"programTitle", U8(kProgramTitle)},
              {"inputErrorTitle", U8(kInputErrorTitle)},
              {"cautionTitle", U8(kCautionTitle)},
              {"confirmTitle", U8(kConfirmTitle)},
              {"confirmQuestion", U8(validate::messages::kConfirmQuestion)},
              {"done", U8(kDoneMessage)},
              {"readErrorTitle", U8(kReadErrorTitle)},
              {"fileMenu", U8(kFileMenu)},
              {"editMenu", U8(kEditMenu)},
              {"openSheet", U8(kOpenSheetItem)},
              {"saveSheet", U8(kSaveSheetItem)},
              {"openPatch", U8(kOpenPatchItem)},
              {"openTemplate", U8(kOpenTemplateItem)},
              {"exportTemplate", U8(kExportTemplateItem)},
              {"blankTemplate", U8(kBlankTemplateItem)},
              {"openNames", U8(kOpenNamesItem)},
              {"openSettings", U8(kOpenSettingsItem)},
              {"clearStored", U8(kClearStoredItem)},
              {"undo", U8(kUndoItem)},
              {"redo", U8(kRedoItem)},
              {"yes", U8(kYesButton)},
              {"no", U8(kNoButton)},
              {"ok", U8(kOkButton)},
              {"sheetUnreadable", U8(kSheetUnreadable)},
              {"patchUnreadable", U8(kPatchUnreadable)},
              {"swapsDropped", U8(kSwapsDropped)},
              {"noTemplate", U8(kNoTemplateHint)},
              {"settingsRead", U8(kSettingsRead)},
              {"storedCleared", U8(kStoredCleared)},
              {"emptyEntry", U8(kEmptyEntryName)},
              {"checkStatus", U8(kCheckStatus)},
              {"checkStatusWithHints", U8(kCheckStatusWithHints)},
              {"allWell", U8(kAllWellStatus)},
              {"checkStatusName", U8(kCheckStatusName)},
              {"checkStatusTip", U8(kCheckStatusTip)},
              {"paletteToggleTip", U8(kPaletteToggleTip)},
              {"paletteEntry", U8(kPaletteEntryName)},
              {"writeErrorTitle", U8(kWriteErrorTitle)},
              {"previewTitle", U8(kGamePreviewTitle)},
              {"previewBackground", U8(kPreviewBackgroundCaption)},
              {"previewBackgrounds",
               {U8(kPreviewBackgroundNames[0]), U8(kPreviewBackgroundNames[1]),
                U8(kPreviewBackgroundNames[2])}},
              {"previewZoom", U8(kPreviewZoomCaption)},
              {"previewSave", U8(kSavePreviewButton)},
              {"previewPicture", U8(kPreviewPictureName)},
              {"close", U8(kCloseButton)},
              {"nameEntry", U8(kNameEntryItem)},
              {"unnameEntry", U8(kUnnameEntryItem)},
              {"nameEntryTitle", U8(kNameEntryTitle)},
              {"nameEntryQuestion", U8(kNameEntryQuestion)},
              {"nameGiven", U8(kNameGivenNote)},
              {"nameTaken", U8(kNameTakenNote)},
              {"saveNames", U8(kSaveNamesItem)},
              {"nameMax", sheet::kMaxNameLength},
              {"tooLarge", TooLarge(kFileTooLargeReason)},
              {"caps", Caps()}}
      .dump();
}

std::string FreshSheet() {
  return sheet::WriteSheetFile({});
}

// A sheet file as the desktop saves it (every key, codes in upper case), or the reader's
// message when it cannot be read.
val SheetFile(const std::string& sheetJson) {
  const sheet::SheetFileResult read = sheet::ReadSheetFile(sheetJson);
  val out = val::object();
  out.set("ok", read.Ok());
  out.set(read ? "sheet" : "message", read ? sheet::WriteSheetFile(*read) : read.Why().what);
  return out;
}

// The live check and the statistic displays of a sheet as the form holds it.
std::string Check(const std::string& sheetJson, bool templateLoaded, const val& settings) {
  const sheet::SheetFileResult read = sheet::ReadSheetFile(sheetJson);
  if (!read) return json{{"sheetError", read.Why().what}}.dump();
  const sheet::CharacterSheet& s = read->sheet;
  const validate::LiveCheckResult found =
      validate::LiveCheck(s, Codes(FromJs(settings)), templateLoaded);
  json out = {{"errors", Findings(found.errors)}, {"warnings", Findings(found.warnings)}};
  if (const auto shown = sheet::RecomputeStatDisplay(s.basicStatus.stats, s.basicStatus.destinyStar,
                                                     s.basicStatus.favouriteWeapon)) {
    json star = json::array(), weapon = json::array(), shifted = json::array();
    for (std::size_t k = 0; k < shown->starShift.size(); ++k) {
      star.push_back(U8(shown->starShift[k]));
      weapon.push_back(U8(shown->weaponShift[k]));
      shifted.push_back(U8(shown->shifted[k]));
    }
    out["displays"] = {
        {"star", star}, {"weapon", weapon}, {"shifted", shifted}, {"total", U8(shown->total)}};
  }
  return out.dump();
}

// A number box's text as the window leaves it when the box loses focus.
std::string TidyNumber(const std::string& typed) {
  return U8(sheet::TidyNumberBox(text::FromUtf8(typed).value_or(u"")));
}

// The road's facts for the page's boxes: what to show, and the patch when there is one.
val MakePatch(const std::string& sheetJson, const val& templateBytes, const val& settings,
              const std::string& templateName) {
  const Bytes picture = FromJs(templateBytes), ini = FromJs(settings);
  const command::MadeFromBytes made =
      command::MakePatchFromBytes(sheetJson, picture, ini, templateName);
  val out = val::object();
  if (!made) {
    // The reason's kind says which input was refused; its words are the box's.
    image::ImageStatus status{};
    out.set("stage", ReasonIs(made.Why(), status) ? "template" : "sheet");
    out.set("message", made.Why().what);
    return out;
  }
  const command::PatchPlan& plan = made->plan;
  out.set("stage", plan.errors.Found() ? "errors" : plan.warnings.Found() ? "warnings" : "ready");
  out.set("errors", U8(plan.errors.report));
  out.set("warnings", U8(plan.warnings.report));
  sheet::SheetDocument tidied;
  tidied.sheet = plan.tidied;
  out.set("tidied", sheet::WriteSheetFile(tidied));
  if (!plan.errors.Found())
    out.set("bytes", ToJs(plan.built && *plan.built ? **plan.built : Bytes{}));
  return out;
}

// The template as the picture area shows it: its pixels through the sheet's swaps (and
// the poison preview when ticked), the palette rows and the hints of the template work.
val LoadTemplate(const val& templateBytes, const std::string& name, const std::string& swapsJson,
                 bool preview) {
  const Bytes bytes = FromJs(templateBytes);
  image::TemplateImage image;
  val out = val::object();
  const image::ImageStatus status = image::LoadTemplateBytes(image, bytes, name);
  out.set("ok", status == image::ImageStatus::kOk);
  out.set("message", std::string(image::MessageFor(status)));
  if (status == image::ImageStatus::kTooManyColours) {
    // As the window shows a refused picture: as decoded, ringed where the colours ran out,
    // with the hint that says how many there are.
    if (const auto overflow = image::ColourOverflowOf(image)) {
      const image::Raster& refused = image.loaded;
      out.set("width", refused.Width());
      out.set("height", refused.Height());
      out.set("rgba", ToJs(Rgba(refused)));
      out.set("ringX", overflow->at.x);
      out.set("ringY", overflow->at.y);
      out.set("pictureHints", json::array({U8(app::ColourOverflowText(*overflow))}).dump());
    }
  }
  if (status != image::ImageStatus::kOk) return out;
  const command::SwapsApplied applied = command::ApplyPaletteSwaps(image, Swaps(swapsJson));
  if (preview) image::SetPoisonPreview(image, true);
  const image::Raster& shown = image.displayed;
  out.set("width", shown.Width());
  out.set("height", shown.Height());
  out.set("rgba", ToJs(Rgba(shown)));
  json palette = json::array();
  for (std::size_t i = 0; i < image.palette.entries.size(); ++i) {
    const image::Colour c = image.palette.entries[i];
    const image::EntryCaptions captions = image::CaptionsOf(c);
    palette.push_back(
        {{"empty", c == image::kEmptyEntry},
         {"text", U8(app::CssText(image::ToggleTextColour(c)))},
         // Entries 1 and 2 show the game's fixed colours beside the template's.
         {"fixed", i == 1 || i == 2
                       ? U8(app::CssText(patch::WidenSnesColour(patch::kFixedEntryWords[i])))
                       : ""},
         {"css", c == image::kEmptyEntry ? "" : U8(app::CssText(c))},
         {"values", {captions.red, captions.green, captions.blue, captions.snes}},
         {"enabled", image.toggles.entries[i].enabled}});
  }
  json hints = json::array();
  for (const image::FixedColourHint& hint : image::FixedColourHints(image))
    hints.push_back({{"entry", hint.entry},
                     {"message", U8(app::FixedColourHintText(hint, image.originOffset))}});
  json skipped = json::array();
  for (const auto& [a, b] : applied.skipped)
    skipped.push_back({a, b});
  // The picture's hints, and the cells past its edge to outline.
  json pictureHints = json::array(), outlined = json::array();
  if (const auto overflow = image::ColourOverflowOf(image))
    pictureHints.push_back(U8(app::ColourOverflowText(*overflow)));
  if (const auto edge = image::CellsPastEdge(image)) {
    pictureHints.push_back(U8(app::EdgeHintText(*edge)));
    for (const image::Cell& cell : edge->cellRects)
      outlined.push_back({cell.x, cell.y, cell.w, cell.h});
  }
  out.set("pictureHints", pictureHints.dump());
  out.set("outlined", outlined.dump());
  out.set("palette", palette.dump());
  out.set("hints", hints.dump());
  out.set("skipped", skipped.dump());
  return out;
}

// An opened patch: its sheet (with the swaps that put the palette back) and its sprite
// drawn back into a template.
val OpenPatch(const val& patchBytes, const val& settings) {
  const Bytes bytes = FromJs(patchBytes);
  const patch::ReadResult read = patch::ReadPatchFile(bytes, Codes(FromJs(settings)));
  val out = val::object();
  out.set("ok", read.Ok());
  if (!read) {
    out.set("message", read.Why().what);
    return out;
  }
  const patch::ExportedTemplate drawn = patch::ExportTemplate(read->paletteWords, read->tiles);
  sheet::SheetDocument document;
  document.sheet = read->sheet;
  document.paletteSwaps = drawn.paletteSwaps;
  out.set("sheet", sheet::WriteSheetFile(document));
  out.set("template", ToJs(image::EncodeGif(drawn.raster).value_or(Bytes{})));
  return out;
}

// A names file read as the window reads one: every coded list's entries as it then shows
// them, how many entries it named, and the status note on its first bad line.
std::string NamesFile(const val& bytes, const std::string& name) {
  sheet::NamesTable table;
  std::vector<sheet::NamesProblem> problems;
  sheet::ReadNamesFile(FromJs(bytes), name, table, problems);
  json lists = json::object();
  for (const sheet::ListId list : sheet::kAllLists) {
    json entries = json::array();
    for (const std::u16string& entry : table.DisplayEntries(list))
      entries.push_back(U8(entry));
    lists[std::to_string(static_cast<int>(list))] = entries;
  }
  std::u16string note;
  if (!problems.empty()) {
    const sheet::NamesProblem& first = problems.front();
    const std::u16string reason = text::FromUtf8(first.reason).value_or(u"");
    const std::u16string file = text::FromUtf8(name).value_or(u"");
    note = first.line != 0
               ? app::Fill(app::kNamesSkippedNote, {U16Number(first.line), reason, file})
               : app::Fill(app::kNamesFileSkippedNote, {reason, file});
    if (problems.size() > 1)
      note += app::Fill(app::kMoreNamesSkippedNote, {U16Number(problems.size() - 1)});
  }
  return json{{"lists", lists},
              {"named", table.NamedCount()},
              {"note", U8(note)},
              {"read", U8(app::Fill(app::kNamesReadNote, {U16Number(table.NamedCount()),
                                                          text::FromUtf8(name).value_or(u"")}))}}
      .dump();
}

// The in-game preview of the patch the template would make now, enlarged, and its PNG.
val GamePreview(const val& templateBytes, const std::string& name, const std::string& swapsJson,
                int background, int zoom) {
  image::TemplateImage image;
  val out = val::object();
  const bool ok =
      image::LoadTemplateBytes(image, FromJs(templateBytes), name) == image::ImageStatus::kOk;
  out.set("ok", ok);
  if (!ok) return out;
  command::ApplyPaletteSwaps(image, Swaps(swapsJson));
  constexpr std::array<patch::PreviewBackground, 3> kBackgrounds = {
      patch::PreviewBackground::kBlack, patch::PreviewBackground::kWhite,
      patch::PreviewBackground::kCheckerboard};
  const image::Raster shown = patch::EnlargePreview(
      patch::GamePreview(image,
                         kBackgrounds[static_cast<std::size_t>(std::clamp(background, 0, 2))]),
      zoom);
  out.set("width", shown.Width());
  out.set("height", shown.Height());
  out.set("rgba", ToJs(Rgba(shown)));
  out.set("png", ToJs(image::EncodePng(shown).value_or(Bytes{})));
  return out;
}

// A name given (or, with `unname`, taken out) in place: the names file's new bytes, every
// other byte kept, or the reason it cannot be given.
val NameEntry(const val& namesBytes, int list, int position, const std::string& name, bool unname) {
  val out = val::object();
  const auto id = static_cast<sheet::ListId>(list);
  const auto code = sheet::CodeAt(id, position);
  const std::optional<std::u16string> typed = text::FromUtf8(name);
  std::optional<std::string> problem;
  if (!code || !sheet::IsCodedList(id)) problem = "no such entry";
  if (!problem && !unname) problem = sheet::NameProblem(typed.value_or(u""));
  if (problem) {
    out.set("ok", false);
    out.set("message", U8(app::kNameRefused) + "\n" + *problem);
    return out;
  }
  const Bytes current = FromJs(namesBytes);
  const auto changed =
      sheet::MergeNameChange(namesBytes.isNull() ? std::nullopt : std::optional<Bytes>(current),
                             {.list = id, .code = *code, .name = unname ? std::nullopt : typed});
  out.set("ok", changed.has_value());
  if (changed) out.set("bytes", ToJs(Bytes(changed->begin(), changed->end())));
  return out;
}

// The template exported as the window exports it: the picture as loaded, cut to the
// export size, in the format of `name`; or the window's words for why not.
val ExportTemplate(const val& templateBytes, const std::string& templateName,
                   const std::string& name) {
  image::TemplateImage image;
  val out = val::object();
  const image::ImageStatus status =
      image::LoadTemplateBytes(image, FromJs(templateBytes), templateName);
  if (status != image::ImageStatus::kOk) {
    out.set("ok", false);
    out.set("message", std::string(image::MessageFor(status)));
    return out;
  }
  const auto bytes = command::EncodeImageAs(command::ExportedPicture(image.loaded), name);
  out.set("ok", bytes.Ok());
  if (bytes) {
    out.set("bytes", ToJs(*bytes));
  } else {
    command::EncodeProblem problem{};
    ReasonIs(bytes.Why(), problem);
    out.set("message", U8(app::kTemplateUnwritable) + "\r\n" +
                           U8(problem == command::EncodeProblem::kNotAnImageName
                                  ? app::kTemplateTypeNeeded
                                  : app::kTooManyColoursForGif));
  }
  return out;
}

val BlankTemplateGif() {
  return ToJs(image::EncodeGif(image::BlankTemplate()).value_or(Bytes{}));
}

EMSCRIPTEN_BINDINGS(kavelin) {
  emscripten::function("formPlan", &FormPlanJson);
  emscripten::function("texts", &TextsJson);
  emscripten::function("freshSheet", &FreshSheet);
  emscripten::function("sheetFile", &SheetFile);
  emscripten::function("check", &Check);
  emscripten::function("tidyNumber", &TidyNumber);
  emscripten::function("makePatch", &MakePatch);
  emscripten::function("loadTemplate", &LoadTemplate);
  emscripten::function("openPatch", &OpenPatch);
  emscripten::function("blankTemplate", &BlankTemplateGif);
  emscripten::function("exportTemplate", &ExportTemplate);
  emscripten::function("namesFile", &NamesFile);
  emscripten::function("gamePreview", &GamePreview);
  emscripten::function("nameEntry", &NameEntry);
}

}  // namespace kavelin::web
