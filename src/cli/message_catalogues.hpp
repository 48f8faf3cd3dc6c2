// Where kavelin-cli finds the catalogues of its messages (FOLDER/ja/LC_MESSAGES/kavelin.mo).
#pragma once

#include <filesystem>

namespace kavelin::cli {

// The one rule, in this order:
//  1. the installed program (run from the install's bin folder) reads the install's
//     share/locale, where the catalogues were installed with it;
//  2. any other copy reads a "locale" folder beside the program, when there is one, so
//     that a program carried along with its catalogues finds them;
//  3. else the build tree's locale folder, where the build puts the catalogues it makes
//     (tests run copies of the program from their own folders);
//  4. else the install's share/locale.
// The catalogues that come with the program win over any other, so a build never reads an
// older install's words, nor an install a build's.
std::filesystem::path CatalogueFolder();

}  // namespace kavelin::cli
