// The warning pass: choices the target game does not support together, or that tie the
// patch to the extended cartridge. The user may still create the patch.
#pragma once

#include "sheet/character_sheet.hpp"
#include "text/code_table.hpp"
#include "validate/check_result.hpp"

namespace kavelin::validate {

// Reads the name, job name and slots as Tidy leaves them; the road runs it only
// when that pass found nothing. At most six warnings; when there is any, `report` ends with the
// line messages::kConfirmQuestion (which `messages` leaves out), to be answered yes or no. Each
// warning names the fields it is about: both of a pair that cannot go together (two shields,
// clashing armour, spells of two schools, a spell and its missing level, the exclusive weapon and
// what contradicts it), else the name or job name. Changes nothing.
CheckResult CheckConsistencyWarnings(const sheet::CharacterSheet& sheet,
                                     const text::CodeTable& table);

}  // namespace kavelin::validate
