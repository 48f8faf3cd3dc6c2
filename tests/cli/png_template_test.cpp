// PNG templates through kavelin-cli, as a user brings them: every example template saved as
// PNG makes the very patch its GIF makes, and so do the templates the program writes as
// PNG itself; a partly transparent cell pixel is refused with where it is.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "cli_fixture.hpp"
#include "image/decoder.hpp"
#include "image/encoder.hpp"
#include "image/png_files.hpp"
#include "support/file_io.hpp"

namespace {

namespace fs = std::filesystem;
using namespace kavelin;
using image::testing::PngLayout;
using test_support::ReadAll;

class PngTemplates : public test_support::ProgramFolder {
 protected:
  // The patch `make` writes from `templateFile` with the sample sheet.
  test_support::Bytes PatchOf(const std::string& templateFile) const {
    const std::string patch = templateFile + ".k7p";
    const auto r = Run("make '" + templateFile + "' --sheet hero.json --yes -o '" + patch + "'");
    EXPECT_EQ(r.exitCode, 0) << templateFile << ": " << r.err;
    return ReadAll(folder_ / patch);
  }
  void WriteBytes(const std::string& name, const test_support::Bytes& bytes) const {
    Write(name, std::string(bytes.begin(), bytes.end()));
  }
};

// The picture as truecolour samples, at 8 or 16 bits, with an opaque alpha if asked.
PngLayout Truecolour(const image::Raster& picture, int bitDepth, bool alpha, bool interlaced) {
  PngLayout l;
  l.width = picture.Width(), l.height = picture.Height(), l.bitDepth = bitDepth;
  l.colourType = alpha ? image::testing::kPngTruecolourAlpha : image::testing::kPngTruecolour;
  l.interlaced = interlaced;
  const unsigned scale = bitDepth == 16 ? 257 : 1;
  for (const image::Colour c : picture.Pixels()) {
    for (const unsigned v :
         {unsigned{image::Red(c)}, unsigned{image::Green(c)}, unsigned{image::Blue(c)}})
      l.samples.push_back(static_cast<std::uint16_t>(v * scale));
    if (alpha) l.samples.push_back(static_cast<std::uint16_t>(255 * scale));
  }
  return l;
}

TEST_F(PngTemplates, EveryExampleAsPngMakesThePatchItsGifMakes) {
  int seen = 0;
  for (const auto& entry : fs::directory_iterator(fs::path(KAVELIN_SOURCE_DIR) / "examples")) {
    if (entry.path().extension() != ".gif") continue;
    ++seen;
    const std::string stem = entry.path().stem().string();
    SCOPED_TRACE(stem);
    fs::copy_file(entry.path(), folder_ / (stem + ".gif"), fs::copy_options::overwrite_existing);
    const auto gifPatch = PatchOf(stem + ".gif");
    ASSERT_FALSE(gifPatch.empty());

    // The picture saved as PNG the ways paint programs save it.
    const auto picture = image::DecodeImageFile(entry.path());
    ASSERT_TRUE(picture);
    WriteBytes(stem + "-palette.png", *image::EncodePng(*picture));
    WriteBytes(stem + "-rgb.png", PngFile(Truecolour(*picture, 8, false, false)));
    WriteBytes(stem + "-rgba16-interlaced.png", PngFile(Truecolour(*picture, 16, true, true)));
    for (const char* kind : {"-palette.png", "-rgb.png", "-rgba16-interlaced.png"})
      EXPECT_EQ(PatchOf(stem + kind), gifPatch) << kind;

    // The patch drawn back into a template by export, as PNG and as GIF.
    ASSERT_EQ(Run("export '" + stem + ".gif.k7p' -o '" + stem + "-export.png'").exitCode, 0);
    ASSERT_EQ(Run("export '" + stem + ".gif.k7p' -o '" + stem + "-export.gif'").exitCode, 0);
    EXPECT_EQ(PatchOf(stem + "-export.png"), PatchOf(stem + "-export.gif"));
    EXPECT_EQ(PatchOf(stem + "-export.png"), gifPatch);
  }
  EXPECT_GT(seen, 0);
}

TEST_F(PngTemplates, TheBlankTemplateAsPngMakesThePatchItsGifMakes) {
  ASSERT_EQ(Run("template -o blank.png").exitCode, 0);
  ASSERT_EQ(Run("template -o blank.gif").exitCode, 0);
  const auto fromPng = PatchOf("blank.png");
  EXPECT_FALSE(fromPng.empty());
  EXPECT_EQ(fromPng, PatchOf("blank.gif"));
}

TEST_F(PngTemplates, APartlyTransparentCellPixelIsRefusedWithWhereItIs) {
  const auto picture = image::DecodeImageFile(folder_ / "hero.gif");
  ASSERT_TRUE(picture);
  PngLayout l = Truecolour(*picture, 8, true, false);
  const auto alphaOf = [&l](int x, int y) -> std::uint16_t& {
    return l.samples[static_cast<std::size_t>((y * l.width + x) * 4 + 3)];
  };
  alphaOf(0, 0) = 90;  // the margin: no cell's, so no matter
  WriteBytes("margin.png", PngFile(l));
  EXPECT_EQ(Run("make margin.png --sheet hero.json --yes -o margin.k7p").exitCode, 0);

  alphaOf(30, 50) = 200;
  WriteBytes("cell.png", PngFile(l));
  const auto r = Run("make cell.png --sheet hero.json --yes -o cell.k7p");
  EXPECT_EQ(r.exitCode, 2);  // an unusable template
  EXPECT_EQ(r.err,
            "kavelin-cli: cell.png: ファイルが不正です。 (partly transparent pixel at (30, 50) "
            "inside cell 9)\n");
  EXPECT_FALSE(fs::exists(folder_ / "cell.k7p"));
}

}  // namespace
