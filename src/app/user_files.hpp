// The texts of the File menu and its boxes, and what its reads and writes share.
#pragma once

#include <QString>
#include <string_view>
#include <vector>

#include "app/dialogs.hpp"
#include "image/raster.hpp"

namespace kavelin::app {

// Menu and dialog texts.
inline constexpr std::u16string_view kFileMenu = u"ファイル";
inline constexpr std::u16string_view kOpenSheetItem = u"キャラクターを開く…";
inline constexpr std::u16string_view kSaveSheetItem = u"キャラクターを保存…";
inline constexpr std::u16string_view kOpenPatchItem = u"パッチを開く…";
inline constexpr std::u16string_view kExportTemplateItem = u"テンプレート画像を書き出す…";
inline constexpr std::u16string_view kQuitItem = u"終了";
inline constexpr std::u16string_view kSheetFilterName = u"キャラクターファイル(*.k7c *.json)";
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
