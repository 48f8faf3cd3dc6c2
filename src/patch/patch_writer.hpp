// Writing the patch of the current sheet and template beside the template.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>

#include "image/template_image.hpp"
#include "io/atomic_file.hpp"
#include "patch/patch_file.hpp"
#include "sheet/character_sheet.hpp"
#include "text/code_table.hpp"

namespace kavelin::patch {

struct WriteOptions {
  // Where to write; empty means the name derived from the template's path.
  std::filesystem::path output;
  // Flush to the disk before the patch replaces an older one.
  bool sync = true;
  // When set, the patch is only staged in the batch, which puts it in place on Commit
  // together with the others; success then means staged.
  io::AtomicBatch* batch = nullptr;
};

// Why the patch was not put in place, besides the build's own problems and the write's
// errno; the failure's `what` is the message shown, in UTF-8, and its `file` the patch's
// path whenever there is one.
enum class OutputProblem { kNone, kNoTemplate, kTemplateItself };
std::string_view ReasonText(OutputProblem problem);
inline std::error_code make_error_code(OutputProblem problem) {
  return MakeReason(problem, "output");
}
// The patch's path once it is written (or staged).
using WriteResult = Result<std::filesystem::path>;

// Builds the patch and puts it in place in one step: either the complete new file
// replaces any older patch of that name, or nothing on disk changes. A patch whose name
// would be the template's own file is refused, since writing it would destroy the template.
WriteResult WritePatchFile(const sheet::CharacterSheet& sheet, const text::CodeTable& codes,
                           const image::TemplateImage& templateImage,
                           const WriteOptions& options = {});

// The same with the bytes already built (the road builds them before it asks): the output
// named and checked first, then the build's failure, then the write.
WriteResult WritePatch(const BuildResult& built, const std::filesystem::path& templatePath,
                       const WriteOptions& options = {});

// Why a file could not be written, from the system's error number, ready to show.
std::u16string FileErrorReason(int error);

// The message for a patch that could not be written, with the system's reason (errno).
std::u16string WriteFailureMessage(const std::filesystem::path& output, int error);

}  // namespace kavelin::patch

template <>
struct std::is_error_code_enum<kavelin::patch::OutputProblem> : std::true_type {};
