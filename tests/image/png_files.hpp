// A writer of PNG files of every kind, field by field, so that the PNG reader's fixtures
// are made by the tests themselves; the encoder's zlib stream holds the image data (zlib's
// compression, or stored blocks in a build without zlib).
#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "image/raster.hpp"
#include "image_files.hpp"

namespace kavelin::image::testing {

enum PngColourType : int {
  kPngGrey = 0,
  kPngTruecolour = 2,
  kPngIndexed = 3,
  kPngGreyAlpha = 4,
  kPngTruecolourAlpha = 6,
};
int PngChannels(int colourType);

struct PngLayout {
  int width = 0, height = 0;
  int colourType = kPngTruecolour;
  int bitDepth = 8;
  bool interlaced = false;
  // Each pixel's samples, channel after channel, row by row from the top; indices for an
  // indexed picture. Values must fit the bit depth.
  std::vector<std::uint16_t> samples;
  std::vector<Colour> palette;  // PLTE, written when not empty
  bool hasTransparency = false;
  Bytes transparency;  // tRNS's data as stored
  // Written after IHDR, before PLTE: colour chunks, text, anything.
  std::vector<std::pair<std::string, Bytes>> extraChunks;
  // Each row's filter, 0 to 4; -1 takes them in turn row after row.
  int filter = -1;
  // The zlib stream split into IDAT chunks of this size; 0 writes one.
  std::size_t dataChunkSize = 0;
};

// The whole file.
Bytes PngFile(const PngLayout& layout);

// Its parts, for files put together by hand.
Bytes PngSignature();
Bytes PngChunk(const std::string& type, const Bytes& data);  // length, type, data and CRC
Bytes PngHeaderData(const PngLayout& layout);                // IHDR's 13 bytes
Bytes PngImageData(const PngLayout& layout);                 // the zlib stream of the rows
Bytes Compressed(const Bytes& raw);                          // any bytes as a zlib stream

Bytes Big16(unsigned value);

}  // namespace kavelin::image::testing
