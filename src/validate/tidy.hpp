// Tidying a sheet before the checks and the patch: what the player typed, in the form the
// game stores it. A pure step: the sheet given is left as it is.
#pragma once

#include "sheet/character_sheet.hpp"

namespace kavelin::validate {

// `name` and `jobName` trimmed of U+0020 at both ends and widened, and, when their section
// is enabled, the technique and spell slots packed (NormaliseArtSlots). Tidying a tidied
// sheet changes nothing.
sheet::CharacterSheet Tidy(sheet::CharacterSheet sheet);

// Keeps the first occurrence of each chosen technique and of each chosen spell, in their
// order, packed into the lowest slots; position 0 ("【FF】なし") is an empty slot.
// (A, none, A, B) becomes (A, B, none, none).
void NormaliseArtSlots(sheet::InitialArts& arts);

}  // namespace kavelin::validate
