// Why a sheet file or a patch could not be read, in the window's language. The readers
// word the same problems in English for the command line; the window builds its own
// sentences from their parts, keeping key paths, codes and numbers as the file has them.
#pragma once

#include <QString>
#include <cstddef>

#include "patch/patch_reader.hpp"
#include "sheet/sheet_file.hpp"

namespace kavelin::app {

// For example "キー「initialArts.spells[2]」のコード「B1」は術の一覧にありません。"
QString SheetFileReason(const sheet::SheetFileProblem& problem);

// Led by the offset of the first bad byte, for example
// "オフセット 0: パッチファイルではありません（先頭が「K7P」ではありません）。"
QString PatchFileReason(const patch::PatchProblem& problem, std::size_t offset);

}  // namespace kavelin::app
