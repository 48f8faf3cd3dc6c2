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

enum class BytesStage : std::uint8_t {
  kMade,      // the road ran: see `plan` (its errors, warnings and bytes)
  kSheet,     // the sheet file was refused: `sheetError`
  kTemplate,  // the template was refused: `templateStatus`
};

struct PatchFromBytes {
  BytesStage stage = BytesStage::kMade;
  std::string sheetError;  // as ReadSheetFile words it
  image::ImageStatus templateStatus = image::ImageStatus::kOk;
  SwapsApplied swaps;  // the sheet's palette swaps, as the template took them
  PatchPlan plan;
};

// `sheetJson` is a character sheet file (empty for the fresh sheet), `templateBytes` a GIF,
// BMP or PNG template, `settingsBytes` a KV7Tools.ini (empty for none). The patch is built
// whatever the warnings say: asking about them is the caller's.
PatchFromBytes MakePatchFromBytes(std::string_view sheetJson,
                                  std::span<const std::uint8_t> templateBytes,
                                  std::span<const std::uint8_t> settingsBytes,
                                  const std::filesystem::path& templateName = "template.gif");

}  // namespace kavelin::command
