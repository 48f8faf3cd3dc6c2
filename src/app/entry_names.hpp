// The user's names for the coded lists' entries, as the window shows them.
#pragma once

#include <QString>

#include "sheet/names_file.hpp"

class QWidget;

namespace kavelin::app {

// Every list under `root` that List() built shows its entries as `names` gives them. Only
// the texts change: the entries, their order and the selections stay.
void ShowEntryNames(QWidget* root, const sheet::NamesTable& names);

// The status line's note on the names files' bad lines; empty when there were none.
QString NamesNote(const std::vector<sheet::NamesProblem>& problems);

}  // namespace kavelin::app
