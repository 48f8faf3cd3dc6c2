// Why a file could not be read, in the window's language. The readers word the same
// problems in English for the command line; the window builds its own sentences from
// their parts, keeping key paths, codes and numbers as the file has them.
#pragma once

#include <QString>
#include <cstddef>
#include <cstdint>

#include "io/read_file.hpp"
#include "patch/patch_reader.hpp"
#include "sheet/sheet_file.hpp"

namespace kavelin::app {

// Why the one reader could not read a file whole, as a sentence without the file's name,
// for example "ファイルが大きすぎます（上限 1 MiB）。"; `limit` is the cap it was read under.
// Every box and note of the window about an unreadable file says it this way.
QString ReadProblemReason(const Failure& read);
// Any failure of opening a file in the window's words: the one reader's, a sheet file's or a
// patch's problem as below, or the message the failure carries (an image's, the road's).
QString FailureReason(const Failure& failure);
// Why a picture could not be encoded for the name it is saved under: no picture's name, or
// more colours than a GIF holds.
QString EncodeReason(const Failure& failure);

// A size as the reasons give it: "1 MiB", "64 KiB", "100 バイト".
QString SizeText(std::uintmax_t bytes);

// For example "キー「initialArts.spells[2]」のコード「B1」は術の一覧にありません。"
QString SheetFileReason(const sheet::SheetFileProblem& problem);

// Led by the offset of the first bad byte, for example
// "オフセット 0: パッチファイルではありません（先頭が「K7P」ではありません）。"
QString PatchFileReason(const patch::PatchProblem& problem, std::size_t offset);

}  // namespace kavelin::app
