// What the File menu's reads and writes share.
#pragma once

#include <QString>
#include <filesystem>
#include <optional>
#include <string_view>
#include <vector>

#include "app/dialogs.hpp"
#include "app/window_texts.hpp"
#include "command/output_plan.hpp"
#include "image/raster.hpp"

namespace kavelin::app {

// The image types a template can be written as, for a save dialog; GIF first, as the
// sample and most templates are.
std::vector<FileType> ImageFileTypes();

// Why a write failed, from its errno, ready to show.
QString WriteFailureReason(int error);

// Lines of a box, joined as the window's boxes join them.
QString BoxLines(std::initializer_list<QString> lines);

// The kinds as the questions about an output's place name them: "パッチファイル", "GIF 画像".
QString ExistingKindName(command::ExistingKind kind);
QString WrittenKindName(command::OutputKind kind);

// Where a write of `kind` the user asked for goes, once what is in the place of `file` has
// been looked at: the file itself when nothing is there or a file of the same kind (which
// the save dialogs asked about already), or anything else the user agrees to replace; the
// file a link names when the user agrees to write through it. Nothing when the user says
// No, or when a link leads to no place a file can be written (said in a stop box headed
// `unwritable`). A folder, pipe or device there is left to the writer, which refuses it
// with its own reason. `sameKindReplaces` false asks before any file is replaced.
std::optional<std::filesystem::path> ConfirmOutput(Dialogs& dialogs,
                                                   const std::filesystem::path& file,
                                                   command::OutputKind kind,
                                                   std::u16string_view unwritable,
                                                   bool sameKindReplaces = true);

}  // namespace kavelin::app
