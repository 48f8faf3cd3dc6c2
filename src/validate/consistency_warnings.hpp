// The warning pass: choices the target game does not support together, or that tie the
// patch to the extended cartridge. The user may still create the patch.
#pragma once

#include "sheet/character_sheet.hpp"
#include "text/code_table.hpp"
#include "validate/check_result.hpp"

namespace kavelin::validate {

// Run only after CheckInputErrors found nothing: it reads the name, job name and slots that
// pass normalised. At most six warnings; when there is any, `report` ends with the line
// messages::kConfirmQuestion (which `messages` leaves out), to be answered yes or no.
// Changes nothing.
CheckResult CheckConsistencyWarnings(const sheet::CharacterSheet& sheet,
                                     const text::CodeTable& table);

}  // namespace kavelin::validate
