// The user's names for the coded lists' entries, as the window shows them.
#pragma once

#include <QString>
#include <filesystem>
#include <span>
#include <vector>

#include "sheet/names_file.hpp"

class QWidget;

namespace kavelin::app {

// Every list under `root` that List() built shows its entries as `names` gives them. Only
// the texts change: the entries, their order and the selections stay.
void ShowEntryNames(QWidget* root, const sheet::NamesTable& names);

// The status line's note on the names files' bad lines; empty when there were none. The
// line and the reason come first and the file last, so that a cut-off note keeps them.
QString NamesNote(const std::vector<sheet::NamesProblem>& problems);

// The user's names from the files of `places` that exist, in order, as the command line
// reads them; a file that cannot be read gives a problem of line 0 whose reason is the
// window's own words.
sheet::NamesLoad ReadWindowNames(std::span<const std::filesystem::path> places);

}  // namespace kavelin::app
