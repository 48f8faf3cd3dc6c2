// The error pass: the hard errors that stop a patch, and the normalisation of the inputs
// the patch writer reads (name, job name and the technique and spell slots).
#pragma once

#include <cstddef>

#include "sheet/character_sheet.hpp"
#include "text/code_table.hpp"
#include "validate/check_result.hpp"

namespace kavelin::validate {

// Runs every check in order and gathers one message per failing check (one per group for
// the statistics, the initial levels and the growth rates), each naming the field it is
// about: the group's first failing field, or the template picture. Changes the sheet in place,
// whatever it finds: `name` and `jobName` are trimmed of U+0020 at both ends and widened,
// and the technique and spell slots are normalised when their section is enabled.
// The comment may hold sheet::kMaxCommentLength UTF-16 code units, line breaks as CR LF.
// `templateLoaded` tells whether a valid template image is current.
// Status 1 means the patch must not be written; show `report` to the user.
CheckResult CheckInputErrors(sheet::CharacterSheet& sheet, const text::CodeTable& table,
                             bool templateLoaded);

// Keeps the first occurrence of each chosen technique and of each chosen spell, in their
// order, packed into the lowest slots; position 0 ("【FF】なし") is an empty slot.
// (A, none, A, B) becomes (A, B, none, none).
void NormaliseArtSlots(sheet::InitialArts& arts);

}  // namespace kavelin::validate
