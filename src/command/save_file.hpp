// Saving what a front end shows, for every front end: a picture in the format its name
// says, a sheet file with its template named relative to it. The front end chooses and
// confirms the place; the bytes are made here and written by the one atomic writer.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <system_error>
#include <vector>

#include "image/raster.hpp"
#include "io/atomic_file.hpp"
#include "io/result.hpp"
#include "sheet/sheet_file.hpp"

namespace kavelin::command {

// Why a picture could not be encoded for the name it is to be saved under.
enum class EncodeProblem { kNone, kNotAnImageName, kTooManyColoursForGif };
std::string_view ReasonText(EncodeProblem problem);
inline std::error_code make_error_code(EncodeProblem problem) {
  return MakeReason(problem, "export");
}

}  // namespace kavelin::command

template <>
struct std::is_error_code_enum<kavelin::command::EncodeProblem> : std::true_type {};

namespace kavelin::command {

// The file's bytes for `raster` in the format `name` ends in: .gif, .bmp or .png, in any
// case. A GIF holds at most 256 colours.
Result<std::vector<std::uint8_t>> EncodeImageAs(const image::Raster& raster,
                                                const std::filesystem::path& name);

// The template to export: the loaded raster less the trailing background that the picture
// area added around it, never smaller than the template layout. Loading the exported file
// gives the same raster, origin offset and palette again.
image::Raster ExportedPicture(const image::Raster& loaded);

// Encodes by `name` (the name the user gave, whatever a link's target is called) and
// replaces `target` with the complete file.
io::WriteOutcome ExportImage(const image::Raster& raster, const std::filesystem::path& name,
                             const std::filesystem::path& target, bool sync = true);

// The sheet file saved as `target` holds: `document`, and when `templateFile` is not
// empty its template, relative to the sheet's folder where the two share one.
sheet::SheetDocument DocumentSavedAs(sheet::SheetDocument document,
                                     const std::filesystem::path& templateFile,
                                     const std::filesystem::path& target);
// Writes that document as a sheet file to `target`.
io::WriteOutcome SaveSheet(const sheet::SheetDocument& document,
                           const std::filesystem::path& target, bool sync = true);

}  // namespace kavelin::command
