// The error pass: the hard errors that stop a patch.
#pragma once

#include <cstddef>

#include "sheet/character_sheet.hpp"
#include "text/code_table.hpp"
#include "validate/check_result.hpp"
#include "validate/tidy.hpp"

namespace kavelin::validate {

// Runs every check in order and gathers one message per failing check (one per group for
// the statistics, the initial levels and the growth rates), each naming the field it is
// about: the group's first failing field, or the template picture. The sheet is checked as
// Tidy leaves it (the road tidies it first; anyone else may give it untidied).
// The comment may hold sheet::kMaxCommentLength UTF-16 code units, line breaks as CR LF.
// `templateLoaded` tells whether a valid template image is current.
// Status 1 means the patch must not be written; show `report` to the user.
CheckResult CheckInputErrors(const sheet::CharacterSheet& sheet, const text::CodeTable& table,
                             bool templateLoaded);

}  // namespace kavelin::validate
