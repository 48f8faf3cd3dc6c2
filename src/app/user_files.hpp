// What the File menu's reads and writes share.
#pragma once

#include <QString>
#include <string_view>
#include <vector>

#include "app/dialogs.hpp"
#include "app/window_texts.hpp"
#include "image/raster.hpp"

namespace kavelin::app {

// The image types a template can be written as, for a save dialog; GIF first, as the
// sample and most templates are.
std::vector<FileType> ImageFileTypes();

// Why a write failed, from its errno, ready to show.
QString WriteFailureReason(int error);

// The template to export: the loaded raster less the trailing background that the picture
// area added around it, never smaller than the template layout. Loading the exported file
// gives the same raster, origin offset and palette again.
image::Raster RasterForExport(const image::Raster& loaded);

}  // namespace kavelin::app
