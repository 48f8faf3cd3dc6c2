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
  // together with the others; kWritten then means staged.
  io::AtomicBatch* batch = nullptr;
};

enum class WriteStatus { kWritten, kFailed };

struct WriteResult {
  WriteStatus status = WriteStatus::kFailed;
  std::filesystem::path output;  // the patch's path, also when writing it failed
  std::u16string message;        // what went wrong, ready to show, when kFailed
};

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
