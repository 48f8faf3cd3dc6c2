#include "command/patch_from_bytes.hpp"

#include "image/intake.hpp"
#include "sheet/sheet_file.hpp"
#include "text/code_table.hpp"
#include "text/settings_file.hpp"

namespace kavelin::command {

MadeFromBytes MakePatchFromBytes(std::string_view sheetJson,
                                 std::span<const std::uint8_t> templateBytes,
                                 std::span<const std::uint8_t> settingsBytes,
                                 const std::filesystem::path& templateName) {
  sheet::SheetDocument document;
  if (!sheetJson.empty()) {
    sheet::SheetFileResult read = sheet::ReadSheetFile(sheetJson);
    if (!read) return std::move(read.Why());
    document = std::move(*read);
  }
  image::TemplateImage image;
  if (const image::ImageStatus status =
          image::LoadTemplateBytes(image, templateBytes, templateName);
      status != image::ImageStatus::kOk) {
    return image::ImageFailure(status, templateName);
  }
  PatchFromBytes made;
  made.swaps = ApplyPaletteSwaps(image, document.paletteSwaps);
  text::CodeTable codes;
  // Settings bytes hold rows or not; unlike a file, they cannot fail to be read.
  if (!settingsBytes.empty()) (void)text::LoadFamilySettings(codes, settingsBytes);
  made.plan = MakePatch(document.sheet, image, codes);
  return made;
}

}  // namespace kavelin::command
