// Both passes run while the user edits, for a front end that marks the fields the
// messages are about. Nothing of the user's sheet changes.
#pragma once

#include "sheet/character_sheet.hpp"
#include "text/code_table.hpp"
#include "validate/check_result.hpp"

namespace kavelin::validate {

struct LiveCheckResult {
  CheckResult errors;    // as CheckInputErrors words them
  CheckResult warnings;  // as CheckConsistencyWarnings words them, closing question included
};

// Runs the error pass on a copy of `sheet`, then the warning pass on that copy, as the
// create-patch road reads it. Unlike the road, the warning pass runs even when there are
// errors, so that the user sees every mark at once rather than warnings appearing only
// after the last error is fixed. Field identifiers name the caller's sheet as it is: a
// technique or spell slot is the one the user filled, not where normalisation moved it.
LiveCheckResult LiveCheck(const sheet::CharacterSheet& sheet, const text::CodeTable& table,
                          bool templateLoaded);

}  // namespace kavelin::validate
