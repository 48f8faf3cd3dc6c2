// The files the File menu reads and writes for the user: character sheets, patches and
// template images, and the palette swaps that travel with a sheet.
#pragma once

#include <QString>
#include <array>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string_view>
#include <vector>

#include "app/dialogs.hpp"
#include "image/raster.hpp"
#include "image/template_image.hpp"
#include "sheet/sheet_file.hpp"

namespace kavelin::app {

// Menu and dialog texts.
inline constexpr std::u16string_view kFileMenu = u"ファイル";
inline constexpr std::u16string_view kOpenSheetItem = u"キャラクターを開く…";
inline constexpr std::u16string_view kSaveSheetItem = u"キャラクターを保存…";
inline constexpr std::u16string_view kOpenPatchItem = u"パッチを開く…";
inline constexpr std::u16string_view kExportTemplateItem = u"テンプレート画像を書き出す…";
inline constexpr std::u16string_view kQuitItem = u"終了";
inline constexpr std::u16string_view kSheetFilterName = u"キャラクターファイル(*.json)";
inline constexpr std::u16string_view kPatchFilterName = u"パッチファイル(*.k7p)";

// Box texts.
inline constexpr std::u16string_view kSaveChangesQuestion = u"変更を保存しますか？";
inline constexpr std::u16string_view kSheetUnreadable =
    u"キャラクターファイルを読み込めませんでした。";
inline constexpr std::u16string_view kPatchUnreadable = u"パッチファイルを読み込めませんでした。";
inline constexpr std::u16string_view kSheetUnwritable =
    u"キャラクターファイルを保存できませんでした。";
inline constexpr std::u16string_view kTemplateUnwritable =
    u"テンプレート画像を書き出せませんでした。";
inline constexpr std::u16string_view kOwnInputInTheWay =
    u"開いているパッチやテンプレート画像と同じファイルには書き込めません。";
inline constexpr std::u16string_view kTemplateTypeNeeded =
    u"名前の最後を .gif、.bmp、.png のいずれかにしてください。";
inline constexpr std::u16string_view kTooManyColoursForGif =
    u"GIF 画像は 256 色までです。BMP か PNG を選んでください。";
inline constexpr std::u16string_view kSwapsDroppedTitle = u"注意";
inline constexpr std::u16string_view kSwapsDropped =
    u"このテンプレート画像では空のパレット番号があるため、次のパレットの入れ替えを行いませんでした"
    u"。";

// Size caps: a sheet file is a few kilobytes and a patch at most about 140; anything far
// larger is not what the user meant to open.
inline constexpr std::uintmax_t kMaxSheetFileBytes = 64u << 20;
inline constexpr std::uintmax_t kMaxPatchFileBytes = 1u << 20;

struct FileBytes {
  std::vector<std::uint8_t> bytes;
  QString error;  // why the file could not be read, ready to show; empty when read
};
// The whole of a regular file no larger than `limit`.
FileBytes ReadUserFile(const std::filesystem::path& file, std::uintmax_t limit);

// Why a write failed, from its errno, ready to show.
QString WriteFailureReason(int error);

// The template to export: the loaded raster less the trailing background that the picture
// area added around it, never smaller than the template layout. Loading the exported file
// gives the same raster, origin offset and palette again.
image::Raster RasterForExport(const image::Raster& loaded);

// The entry order a list of swaps leads to, for telling two lists apart by their effect.
std::array<int, 16> SwapArrangement(const std::vector<sheet::PaletteSwap>& swaps);

// Applies `swaps` to a freshly extracted palette as two ticks each would. Swaps naming an
// empty entry are left out; the result is the swaps that were made, in order.
std::vector<sheet::PaletteSwap> ApplyPaletteSwaps(image::TemplateImage& image,
                                                  const std::vector<sheet::PaletteSwap>& swaps);

}  // namespace kavelin::app
