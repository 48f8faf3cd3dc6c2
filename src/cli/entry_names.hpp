// The names of the coded lists' entries for this run of kavelin-cli.
#pragma once

#include <string>

#include "sheet/catalogue.hpp"
#include "sheet/names_file.hpp"

namespace kavelin::cli {

// The names files beside the program and in the user's configuration folder, read at the
// first call; their bad lines go to stderr then, and never change the exit code.
const sheet::NamesTable& EntryNames();

// What a list shows at `position`, as UTF-8: "【0F】" and the user's name, or the built-in
// entry.
std::string EntryText(sheet::ListId list, int position);

}  // namespace kavelin::cli
