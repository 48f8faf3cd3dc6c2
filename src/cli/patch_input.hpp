// Reading the patch a command was given, for inspect, sheet and export.
#pragma once

#include <optional>
#include <string>

#include "patch/patch_reader.hpp"

namespace kavelin::cli {

// The patch's contents; when it cannot be read or is malformed, says why on stderr (with
// the offset of the first bad byte) and returns nothing.
std::optional<patch::PatchContents> ReadPatch(const std::string& path);

}  // namespace kavelin::cli
