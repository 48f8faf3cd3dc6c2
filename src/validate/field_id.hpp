// Which input a validation message is about, so that a front end can point at it: the
// fields of the sheet's field table, whose template picture the sheet does not hold but
// the error pass checks.
#pragma once

#include "sheet/field_table.hpp"

namespace kavelin::validate {

using sheet::FieldId;
using sheet::FieldKind;
using sheet::KeyPath;

}  // namespace kavelin::validate
