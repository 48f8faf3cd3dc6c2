// The whole road from the bytes of the three files a patch is made from to the patch's
// bytes: nothing read from disk, nothing asked, nothing written. For a front end with no
// files of its own (a web page), for tests and for fuzzing; the same bytes as `make`.
#pragma once

#include <cstdint>
#include <filesystem>
#include <span>
#include <string>
#include <string_view>

#include "command/create_patch.hpp"
#include "command/template_intake.hpp"
#include "image/status.hpp"

namespace kavelin::command {

struct PatchFromBytes {
  SwapsApplied swaps;  // the sheet's palette swaps, as the template took them
  PatchPlan plan;      // the road's errors, warnings and bytes
};
// Or the refusal of the sheet file (a reason of sheet::SheetProblemKind, `what` as the
// sheet reader words it) or of the template (a reason of image::ImageStatus, `what` its
// message).
using MadeFromBytes = Result<PatchFromBytes>;

// `sheetJson` is a character sheet file (empty for the fresh sheet), `templateBytes` a GIF,
// BMP or PNG template, `settingsBytes` a KV7Tools.ini (empty for none). The patch is built
// whatever the warnings say: asking about them is the caller's.
MadeFromBytes MakePatchFromBytes(std::string_view sheetJson,
                                 std::span<const std::uint8_t> templateBytes,
                                 std::span<const std::uint8_t> settingsBytes,
                                 const std::filesystem::path& templateName = "template.gif");

}  // namespace kavelin::command
