#include "command/save_file.hpp"

#include <algorithm>
#include <span>
#include <utility>

#include "command/output_plan.hpp"
#include "image/encoder.hpp"
#include "patch/template_export.hpp"

namespace kavelin::command {

std::string_view ReasonText(EncodeProblem problem) {
  switch (problem) {
    case EncodeProblem::kNone:
      break;
    case EncodeProblem::kNotAnImageName:
      return "the file must be named .gif, .bmp or .png";
    case EncodeProblem::kTooManyColoursForGif:
      return "a GIF holds at most 256 colours";
  }
  return {};
}

Result<std::vector<std::uint8_t>> EncodeImageAs(const image::Raster& raster,
                                                const std::filesystem::path& name) {
  const auto refused = [&name](EncodeProblem problem) {
    return Failure{.reason = problem, .what = std::string(ReasonText(problem)), .file = name};
  };
  if (!ImageKindOfName(name)) return refused(EncodeProblem::kNotAnImageName);
  auto bytes = image::EncodeImageFile(raster, name);
  // Only a GIF can refuse a picture: BMP and PNG take any colours.
  if (!bytes) return refused(EncodeProblem::kTooManyColoursForGif);
  return std::move(*bytes);
}

image::Raster ExportedPicture(const image::Raster& loaded) {
  int width = std::min(patch::kExportWidth, loaded.Width());
  int height = std::min(patch::kExportHeight, loaded.Height());
  for (int y = 0; y < loaded.Height(); ++y) {
    for (int x = 0; x < loaded.Width(); ++x) {
      if (loaded.At(x, y) == image::kBackground) continue;
      width = std::max(width, x + 1);
      height = std::max(height, y + 1);
    }
  }
  image::Raster out(width, height, image::kBackground);
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x)
      out.Set(x, y, loaded.At(x, y));
  return out;
}

io::WriteOutcome ExportImage(const image::Raster& raster, const std::filesystem::path& name,
                             const std::filesystem::path& target, bool sync) {
  const auto bytes = EncodeImageAs(raster, name);
  if (!bytes) return bytes.Why();
  return io::WriteFileAtomically(target, *bytes, sync);
}

sheet::SheetDocument DocumentSavedAs(sheet::SheetDocument document,
                                     const std::filesystem::path& templateFile,
                                     const std::filesystem::path& target) {
  document.templateFile =
      templateFile.empty() ? std::string() : sheet::TemplateKeyFor(target, templateFile);
  return document;
}

io::WriteOutcome SaveSheet(const sheet::SheetDocument& document,
                           const std::filesystem::path& target, bool sync) {
  const std::string json = sheet::WriteSheetFile(document);
  return io::WriteFileAtomically(
      target, std::span(reinterpret_cast<const std::uint8_t*>(json.data()), json.size()), sync);
}

}  // namespace kavelin::command
