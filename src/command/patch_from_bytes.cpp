#include "command/patch_from_bytes.hpp"

#include "image/intake.hpp"
#include "sheet/sheet_file.hpp"
#include "text/code_table.hpp"
#include "text/settings_file.hpp"

namespace kavelin::command {

PatchFromBytes MakePatchFromBytes(std::string_view sheetJson,
                                  std::span<const std::uint8_t> templateBytes,
                                  std::span<const std::uint8_t> settingsBytes,
                                  const std::filesystem::path& templateName) {
  PatchFromBytes made;
  sheet::SheetDocument document;
  if (!sheetJson.empty()) {
    sheet::SheetFileResult read = sheet::ReadSheetFile(sheetJson);
    if (!read.ok) {
      made.stage = BytesStage::kSheet;
      made.sheetError = std::move(read.error);
      return made;
    }
    document = std::move(read.document);
  }
  image::TemplateImage image;
  made.templateStatus = image::LoadTemplateBytes(image, templateBytes, templateName);
  if (made.templateStatus != image::ImageStatus::kOk) {
    made.stage = BytesStage::kTemplate;
    return made;
  }
  made.swaps = ApplyPaletteSwaps(image, document.paletteSwaps);
  text::CodeTable codes;
  if (!settingsBytes.empty()) text::LoadFamilySettings(codes, settingsBytes);
  made.plan = MakePatch(document.sheet, image, codes);
  return made;
}

}  // namespace kavelin::command
