// Every text of the window's own, in one place: captions, menus, boxes and the tooltips
// that explain each control. Texts of the road and of the core's lists come from the core.
#pragma once

#include <array>
#include <string_view>

namespace kavelin::app {

// Box titles and texts of the create-patch road, exactly as the user reads them.
inline constexpr std::u16string_view kProgramTitle = u"Kavelin";
inline constexpr std::u16string_view kInputErrorTitle = u"入力エラー";
inline constexpr std::u16string_view kCautionTitle = u"注意";
inline constexpr std::u16string_view kConfirmTitle = u"確認";
inline constexpr std::u16string_view kDoneMessage = u"処理が終了しました";
// A failed write has no text of its own in the road; the writer's message is shown under
// this title with the stop icon.
inline constexpr std::u16string_view kWriteErrorTitle = u"書き込みエラー";
// A template that could not be taken in: the intake's message under this title.
inline constexpr std::u16string_view kReadErrorTitle = u"読み込みエラー";
// The open-file dialog of the browse button: its title and its one filter pair.
inline constexpr std::u16string_view kOpenDialogTitle = u"ファイルを開く";
inline constexpr std::u16string_view kOpenDialogFilterName = u"画像ファイル(*.gif,*.bmp,*.png)";
inline constexpr std::u16string_view kOpenDialogFilterPatterns = u"*.gif;*.bmp;*.png";

// The font every control gets; the face itself ships with Windows only, and stand-ins are
// installed where it is missing.
inline constexpr char16_t kWindowFontFamily[] = u"ＭＳ Ｐゴシック";
inline constexpr int kWindowFontPoints = 9;

// Menu and dialog texts.
inline constexpr std::u16string_view kFileMenu = u"ファイル(&F)";
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

inline constexpr std::u16string_view kEditMenu = u"編集(&E)";
inline constexpr std::u16string_view kUndoItem = u"元に戻す";
inline constexpr std::u16string_view kRedoItem = u"やり直し";
inline constexpr std::u16string_view kBlankTemplateItem = u"テンプレートの雛形を書き出す…";
inline constexpr std::u16string_view kBlankTemplateUnwritable =
    u"テンプレートの雛形を書き出せませんでした。";
// Asked after the confirmation when the patch would replace the one the user opened.
inline constexpr std::u16string_view kOverwriteOpenedPatchQuestion =
    u"開いたパッチファイルを上書きします。よろしいですか？";

// What is in the place of a file about to be written: asked before anything but a file of
// the kind being written is replaced, and before a write goes through a link.
inline constexpr std::u16string_view kReplaceOtherKindQuestion =
    u"「%1」は%2ではなく%3です。置き換えますか？";
inline constexpr std::u16string_view kReplaceExistingQuestion =
    u"すでにある%1「%2」を置き換えますか？";
inline constexpr std::u16string_view kWriteThroughLinkQuestion =
    u"「%1」はシンボリックリンクです。リンク先の「%2」に書き込みますか？";
inline constexpr std::u16string_view kLinkTargetKindNote = u"リンク先のファイルは%1です。";
inline constexpr std::u16string_view kLinkTargetUnwritable =
    u"リンク先の「%1」は通常のファイルではないため、書き込めません。";
inline constexpr std::u16string_view kPatchUnwritable = u"パッチファイルを作成できませんでした。";
// A write refused because it would land on a file the window reads: what that file is,
// then its name.
inline constexpr std::u16string_view kOutputIsAnInput =
    u"%1「%2」と同じファイルのため、書き込めません。";
inline constexpr std::u16string_view kOpenedSheetInput = u"開いているキャラクターファイル";
inline constexpr std::u16string_view kOpenedPatchInput = u"開いているパッチファイル";
inline constexpr std::u16string_view kTemplateInput = u"読み込んでいるテンプレート画像";
inline constexpr std::u16string_view kSettingsInput = u"設定ファイル";
inline constexpr std::u16string_view kNamesInput = u"名前ファイル";
// The kinds of file the questions above name, besides the image types below.
inline constexpr std::u16string_view kPatchKindName = u"パッチファイル";
inline constexpr std::u16string_view kOtherKindName = u"別の種類のファイル";

// The recent files under the File menu, and the View menu.
inline constexpr std::u16string_view kRecentMenu = u"最近使ったファイル";
inline constexpr std::u16string_view kNoRecentItem = u"（なし）";
inline constexpr std::u16string_view kViewMenu = u"表示(&V)";
inline constexpr std::u16string_view kGamePreviewItem = u"ゲーム内プレビュー";

// File types the open and save dialogs offer.
inline constexpr std::u16string_view kSheetTypeName = u"キャラクターファイル";
inline constexpr std::u16string_view kJsonSheetTypeName = u"キャラクターファイル (JSON)";
inline constexpr std::u16string_view kGifTypeName = u"GIF 画像";
inline constexpr std::u16string_view kBmpTypeName = u"BMP 画像";
inline constexpr std::u16string_view kPngTypeName = u"PNG 画像";

// Boxes about files: a recent one gone, the settings file. Why a file could not be read is
// worded with the window's other reasons (file_reasons.hpp).
inline constexpr std::u16string_view kRecentFileMissing =
    u"ファイルが見つかりません。最近使ったファイルの一覧から外しました。";
inline constexpr std::u16string_view kSettingsUnreadable = u"設定ファイルが読み込めません。";
inline constexpr std::u16string_view kSettingsLineNotShiftJis =
    u"設定ファイルの %1 行目が Shift_JIS ではありません。UTF-8 などで保存されて"
    u"いないか確かめてください。";
inline constexpr std::u16string_view kSettingsCautionTitle = u"注意";

// Captions of the window's own.
inline constexpr std::u16string_view kCreateCaption = u"パッチ作成";
inline constexpr std::u16string_view kCommentCaption = u"コメント";
inline constexpr std::u16string_view kPictureCaption = u"テンプレ画像";
inline constexpr std::u16string_view kBrowseName = u"参照...";
inline constexpr std::u16string_view kPreviewCaption = u"毒状態確認";
inline constexpr std::u16string_view kSectionOnCaption = u"設定する";
inline constexpr std::u16string_view kSectionLockedCaption = u"変更禁止";
inline constexpr std::u16string_view kGrowsCaption = u"成長";
inline constexpr std::u16string_view kPaletteEntryName = u"パレット%1";

// A box's icon as screen readers name it.
inline constexpr std::u16string_view kStopIconName = u"エラー";
inline constexpr std::u16string_view kQuestionIconName = u"質問";
inline constexpr std::u16string_view kExclamationIconName = u"警告";
inline constexpr std::u16string_view kInformationIconName = u"情報";

// The live check in the status bar.
inline constexpr std::u16string_view kCheckStatus = u"入力エラー %1件・注意 %2件";
// With hints about the template: entries 1 or 2 that the game shows in its own colours,
// cells past the picture's edge, too many colours.
inline constexpr std::u16string_view kCheckStatusWithHints =
    u"入力エラー %1件・注意 %2件・ヒント %3件";
inline constexpr std::u16string_view kAllWellStatus = u"入力内容に問題はありません。";
inline constexpr std::u16string_view kCheckStatusName = u"入力チェック";
inline constexpr std::u16string_view kCheckStatusTip =
    u"押すか F8 キーで、印の付いた次の欄へ移ります。";

inline constexpr std::u16string_view kPatchWrittenNote = u"パッチを書き込みました：%1";
inline constexpr std::u16string_view kSettingsReadStatus = u"設定ファイル %1（拡張文字 %2字）";
inline constexpr std::u16string_view kNoSettingsStatus = u"設定ファイルなし（拡張文字なし）";
inline constexpr std::u16string_view kSettingsUnreadableStatus =
    u"設定ファイルを読めません（拡張文字なし）";

// Notes in the status bar about what could not be used of the user's files.
inline constexpr std::u16string_view kRecentUnusableNote =
    u"最近使ったファイルの記録の %1 件が読めないため、飛ばしました。";
// Each says what and why first and names the file last, so that a note cut off at the
// window's edge loses only the end of a path; the whole note is the status bar's tooltip.
inline constexpr std::u16string_view kNamesSkippedNote =
    u"名前ファイルの %1 行目を飛ばしました（%2）: %3";
inline constexpr std::u16string_view kNamesFileSkippedNote =
    u"名前ファイルを読み込みませんでした: %1 %2";
inline constexpr std::u16string_view kMoreNamesSkippedNote = u"（ほか %1 件）";
inline constexpr std::u16string_view kSettingsUnreadableNote =
    u"設定ファイルを読み込めないため、拡張文字なしで始めました: %1 %2";
inline constexpr std::u16string_view kRecentNotKeptNote =
    u"最近使ったファイルは保存されません: %1 %2";
inline constexpr std::u16string_view kRecentRecordIsLink =
    u"記録のファイルがシンボリックリンクです。";
inline constexpr std::u16string_view kRecentRecordNotOwn =
    u"記録のファイルがほかのユーザーのものです。";
inline constexpr std::u16string_view kRecentRecordBadLine = u"記録の %1 行目が読み取れません。";
inline constexpr std::u16string_view kRecentRecordNowhere =
    u"記録を置くフォルダがわかりません（HOME が設定されていません）。";
inline constexpr std::u16string_view kSheetTemplateNote = u"テンプレート: %1";
inline constexpr std::u16string_view kSheetTemplateMissingNote =
    u"キャラクターファイルのテンプレート画像が見つかりません: ";

// Captions of the form and the template panel, and the names a screen reader gives the
// boxes that have none.
inline constexpr std::array<std::u16string_view, 3> kIdentityCaptions = {u"名前", u"職業名",
                                                                         u"性別"};
inline constexpr std::array<std::u16string_view, 3> kBasicHeadings = {u"宿星", u"得意武器",
                                                                      u"合計"};
inline constexpr std::array<std::u16string_view, 3> kBasicSigns = {u"+", u"+", u"="};
inline constexpr std::u16string_view kLpCaption = u"LP";
inline constexpr std::u16string_view kInspirationCaption = u"閃きタイプ";
// After the stat's caption: "腕力 宿星".
inline constexpr std::u16string_view kStarShiftName = u" 宿星";
inline constexpr std::u16string_view kWeaponShiftName = u" 得意武器";
inline constexpr std::u16string_view kShiftedName = u" 合計";
inline constexpr std::u16string_view kDestinyStarName = u"宿星";
inline constexpr std::u16string_view kFavouriteWeaponName = u"得意武器";
inline constexpr std::u16string_view kTotalName = u"基本ステータス 合計";
inline constexpr std::u16string_view kEarthFrameCaption = u"地術LV";
inline constexpr std::u16string_view kHeavenFrameCaption = u"天術LV";
// A slot's caption is these with its number: "技1", "防具8".
inline constexpr std::array<std::u16string_view, 2> kArtSlotCaptions = {u"技", u"術"};
inline constexpr std::array<std::u16string_view, 2> kEquipmentSlotCaptions = {u"武器", u"防具"};
inline constexpr std::array<std::u16string_view, 3> kTraitCaptions = {u"固有陣形", u"専用武器",
                                                                      u"コマンダー"};
inline constexpr std::array<std::u16string_view, 4> kPaletteHeadings = {u"R", u"G", u"B",
                                                                        u"SNES形式"};
inline constexpr std::u16string_view kGamePreviewButton = u"ゲーム内プレビュー";

// The in-game preview window.
inline constexpr std::u16string_view kGamePreviewTitle = u"ゲーム内プレビュー";
inline constexpr std::u16string_view kPreviewBackgroundCaption = u"背景";
inline constexpr std::array<std::u16string_view, 3> kPreviewBackgroundNames = {u"黒", u"白",
                                                                               u"市松模様"};
inline constexpr std::u16string_view kPreviewZoomCaption = u"倍率";
inline constexpr std::u16string_view kSavePreviewButton = u"PNG で保存…";
inline constexpr std::u16string_view kPreviewPictureName = u"ゲーム内での表示";
inline constexpr std::u16string_view kPreviewNoTemplateNote =
    u"テンプレート画像を読み込むと、ゲーム内での見え方がここに出ます。";
inline constexpr std::u16string_view kSavePreviewTitle = u"ゲーム内プレビューを保存";
inline constexpr std::u16string_view kPreviewUnwritable =
    u"ゲーム内プレビューを保存できませんでした。";

// The search line over a long list.
inline constexpr std::u16string_view kListSearchHint = u"名前か番号の一部を入力";
inline constexpr std::u16string_view kListSearchName = u"一覧の検索";

// Tooltips: what a control does, and for a number box the values it takes.
inline constexpr std::u16string_view kNameTip = u"キャラクターの名前です。";
inline constexpr std::u16string_view kJobNameTip = u"職業名です。";
inline constexpr std::u16string_view kGenderTip = u"性別を選びます。";
inline constexpr std::u16string_view kSectionOnTip =
    u"この項目をパッチに含めます。外すと入力できなくなり、パッチにも書き込まれません。";
inline constexpr std::u16string_view kSectionLockedTip =
    u"この項目を変更禁止としてパッチに書き込みます。";
inline constexpr std::u16string_view kStatTip = u"%1の初期値（%2）。";
inline constexpr std::u16string_view kStarShiftTip = u"%1に宿星が加える値です。";
inline constexpr std::u16string_view kWeaponShiftTip = u"%1に得意武器が加える値です。";
inline constexpr std::u16string_view kShiftedTip = u"宿星と得意武器を加えた%1です。";
inline constexpr std::u16string_view kTotalTip =
    u"宿星と得意武器を加えた基本ステータスの合計です。";
inline constexpr std::u16string_view kLpTip = u"LP（%1）。";
inline constexpr std::u16string_view kDestinyStarTip =
    u"宿星を選びます。基本ステータスに加わる値が「宿星」の列に出ます。";
inline constexpr std::u16string_view kFavouriteWeaponTip =
    u"得意武器を選びます。基本ステータスに加わる値が「得意武器」の列に出ます。";
inline constexpr std::u16string_view kInspirationTip = u"閃きタイプを選びます。";
inline constexpr std::u16string_view kLevelTip = u"%1の初期レベル（%2）。";
inline constexpr std::u16string_view kInitialHpTip = u"初期HP（%1）。";
inline constexpr std::u16string_view kGrowsTip = u"%1が成長するようにします。";
inline constexpr std::u16string_view kEarthSchoolTip = u"地術LVの術の系統です。";
inline constexpr std::u16string_view kHeavenSchoolTip = u"天術LVの術の系統です。";
inline constexpr std::u16string_view kSlotTip = u"%1を選びます。";
inline constexpr std::u16string_view kForbiddenTip = u"%1の術を購入できないようにします。";
inline constexpr std::u16string_view kTraitTip = u"%1を選びます。";
inline constexpr std::u16string_view kGrowthRateTip = u"%1の成長率（%2）。";
inline constexpr std::u16string_view kCommentTip = u"パッチに添えるコメントです。";
inline constexpr std::u16string_view kCommentLacksTip =
    u"次の文字はパッチに書き込めないため「?」になります：%1";
inline constexpr std::u16string_view kPictureTip =
    u"テンプレート画像です。GIF、BMP か PNG のファイルをここへドロップするか、「...」で選びます。";
inline constexpr std::u16string_view kNoTemplateHint =
    u"ここへテンプレート画像をドロップするか、「...」を押して選んでください。";
inline constexpr std::u16string_view kBrowseTip = u"テンプレート画像のファイルを選びます。";
inline constexpr std::u16string_view kPaletteToggleTip =
    u"パレット番号 "
    u"%1。2つ押すとその2色を入れ替えます。絵の色の並びを変えずに番号だけを揃えるときに使います。";
inline constexpr std::u16string_view kPaletteValueTip = u"%1 の値です。";
inline constexpr std::u16string_view kEmptyEntryName = u"空き";
inline constexpr std::u16string_view kFixedEntryTip =
    u"ゲームではこの番号に固定色 %1 が使われます（右の色）。テンプレートの色は %2 です。";
inline constexpr std::u16string_view kFixedColourHintTip =
    u"パレット%1: テンプレートの色 %2 は、ゲームでは固定色 %3（%4）で表示されます。"
    u"セルの %5 ピクセルの色が変わります。この番号の色はテンプレートの (%6, %7) "
    u"のピクセルで決まります。";
inline constexpr std::u16string_view kEdgeHintTip =
    u"絵の大きさは %1×%2 ですが、セルには %3×%4 が必要です。"
    u"絵の外にはみ出したセル（%5）の %6 ピクセルは背景色 %7 になります。";
inline constexpr std::u16string_view kColourOverflowTip =
    u"セルには %1 色あります。使えるのは背景色を含めて %2 色までです。"
    u"入りきらなかった最初の色は (%3, %4) の %5 です（赤い丸の中）。";
inline constexpr std::u16string_view kCellListSeparator = u"、";
inline constexpr std::u16string_view kSameSnesColourTip =
    u"パレット%1と%2はSNES形式が同じ %3 になり、ゲームでは見分けられません。";
inline constexpr std::u16string_view kPreviewTip =
    u"毒状態のときの色で表示します。パッチには影響しません。";
inline constexpr std::u16string_view kCreateTip = u"入力内容を確かめてパッチを作成します。";
// The picture's zoom, what a click on it finds, and the template read again when another
// program saves it.
inline constexpr std::u16string_view kPictureZoomName = u"テンプレ画像の倍率";
inline constexpr std::u16string_view kPictureZoomTip =
    u"テンプレート画像の表示倍率です。画像の上で Ctrl キーを押しながらホイールを回しても"
    u"変えられます。";
// Where, in the picture's own pixels as a paint program counts them, and what is there.
inline constexpr std::u16string_view kPixelNote = u"ピクセル (%1, %2): %3、%4";
inline constexpr std::u16string_view kPixelEntry = u"セル%1・パレット%2";
inline constexpr std::u16string_view kPixelNotInPalette = u"セル%1・パレットにない色";
inline constexpr std::u16string_view kPixelOutsideCells = u"セルの外";
inline constexpr std::u16string_view kPixelOutsidePicture = u"ピクセル (%1, %2): 絵の外です";
inline constexpr std::u16string_view kReloadTemplateItem = u"テンプレートを再読み込み";
inline constexpr std::u16string_view kTemplateReloadedNote =
    u"テンプレートを再読み込みしました: %1";
// %1 is why, as the load's box says it, with the pixel where there is one.
inline constexpr std::u16string_view kTemplateReloadFailedNote =
    u"テンプレートを再読み込みできませんでした。%1前の画像のままです: %2";
inline constexpr std::u16string_view kReloadOverflowPixel =
    u"(%1, %2) のピクセルの色が入りきりません。";
inline constexpr std::u16string_view kReloadPartlyTransparentPixel =
    u"(%1, %2) のピクセルが半透明です。";
inline constexpr std::u16string_view kTemplateReloadKeptSwapsNote =
    u"テンプレートを再読み込みしませんでした。パレットの入れ替え %1 ができない絵のため、"
    u"前の画像のままです。F5 で読み込むと、この入れ替えを外します: %2";
inline constexpr std::u16string_view kTemplateGoneNote =
    u"テンプレート画像が見つかりません。削除されたか移動されたようです。表示中の画像は"
    u"そのまま使えます: %1";
// The Help menu: the guide shipped with the program and the about box.
inline constexpr std::u16string_view kHelpMenu = u"ヘルプ(&H)";
// The title: the character's file, "*" while it has unsaved changes.
inline constexpr std::u16string_view kTitleWithFile = u"%1%2 – %3";
// Palette row 03, which no swap may move.
inline constexpr std::u16string_view kReservedEntryNote =
    u"パレット03 はゲームがいつも黒として使う予約の番号のため、入れ替えられません。";
inline constexpr std::u16string_view kHelpItem = u"使い方";
inline constexpr std::u16string_view kAboutItem = u"Kavelin について";
inline constexpr std::u16string_view kHelpWindowTitle = u"Kavelin の使い方";
inline constexpr std::u16string_view kAboutTitle = u"Kavelin について";
inline constexpr std::u16string_view kCloseButton = u"閉じる";
// %1 the version; %2 to %5 the versions of Qt, ICU, zlib and nlohmann/json.
inline constexpr std::u16string_view kAboutText =
    u"<h3>Kavelin %1</h3>"
    u"<p>スーパーファミコンのロールプレイングゲームに加えるオリジナルキャラクターの"
    u"パッチ（.k7p）を作るツールです。</p>"
    u"<p>MIT ライセンス。Copyright © 2026 The Kavelin developers</p>"
    u"<p>使っているライブラリ：</p><ul>"
    u"<li>Qt %2（LGPL-3.0）</li>"
    u"<li>ICU %3（Unicode License）</li>"
    u"<li>zlib %4（zlib License）</li>"
    u"<li>nlohmann/json %5（MIT）</li>"
    u"<li>stb_image（パブリックドメインまたは MIT）</li></ul>";

// A range as the tooltips give it: "5～90", "3～99 または 128".
inline constexpr std::u16string_view kRangeText = u"%1～%2";
inline constexpr std::u16string_view kRangeOrText = u"%1～%2 または %3";

// Names given in place: the lists' context menu, the box that asks for a name, the File
// menu's names items and what the status bar says of names read and written.
inline constexpr std::u16string_view kNameEntryItem = u"名前を付ける…";
inline constexpr std::u16string_view kUnnameEntryItem = u"名前を消す";
inline constexpr std::u16string_view kNameEntryTitle = u"名前を付ける";
// %1 the entry as the list shows it, %2 the most characters a name may have.
inline constexpr std::u16string_view kNameEntryQuestion = u"%1 の名前（%2 文字まで）：";
inline constexpr std::u16string_view kNameRefused = u"この名前は付けられません。";
inline constexpr std::u16string_view kNamesUnwritable = u"名前ファイルに書き込めませんでした。";
inline constexpr std::u16string_view kNamesBusy =
    u"ほかの Kavelin が名前ファイルを書き込み中のため、待ちきれませんでした。"
    u"もう一度お試しください。";
inline constexpr std::u16string_view kNamesLockUnusable = u"ロックファイルを使えません（%1）: %2";
inline constexpr std::u16string_view kNamesNowhere =
    u"名前ファイルを置くフォルダがわかりません（HOME が設定されていません）。";
inline constexpr std::u16string_view kOpenNamesItem = u"名前ファイルを開く…";
inline constexpr std::u16string_view kOpenNamesTitle = u"名前ファイルを開く";
inline constexpr std::u16string_view kNamesFolderItem = u"名前ファイルの場所を開く";
inline constexpr std::u16string_view kNamesFilterName = u"名前ファイル(*.tsv *.txt)";
inline constexpr std::u16string_view kNamesUnreadable = u"名前ファイルを読み込めませんでした。";
inline constexpr std::u16string_view kNamesFolderUnmade =
    u"名前ファイルのフォルダを作れませんでした。";
inline constexpr std::u16string_view kNamesFolderNotOpened =
    u"名前ファイルのフォルダを開けませんでした。";
inline constexpr std::u16string_view kNamesReadNote = u"名前を %1 件読み込みました：%2";
inline constexpr std::u16string_view kNameGivenNote = u"%1 に名前「%2」を付けました。";
inline constexpr std::u16string_view kNameTakenNote = u"%1 の名前を消しました。";

// What screen readers hear beyond the captions: an item whose text changes is named by its
// caption and then its text ("入力チェック：入力エラー 1件・注意 0件"). The in-game preview
// button's tooltip.
inline constexpr std::u16string_view kNamedValue = u"%1：%2";
inline constexpr std::u16string_view kGamePreviewTip =
    u"ゲームの中での見え方を別のウィンドウで確かめます。";

// A file past its kind's cap, %1 the cap ("80 MiB").
inline constexpr std::u16string_view kFileTooLargeReason = u"ファイルが大きすぎます（上限 %1）。";

// The web page's own items and buttons, beside the window's.
inline constexpr std::u16string_view kOpenTemplateItem = u"テンプレート画像を開く…";
inline constexpr std::u16string_view kOpenSettingsItem = u"設定ファイル (KV7Tools.ini) を開く…";
inline constexpr std::u16string_view kClearStoredItem = u"保存データを消す";
inline constexpr std::u16string_view kYesButton = u"はい";
inline constexpr std::u16string_view kNoButton = u"いいえ";
inline constexpr std::u16string_view kOkButton = u"OK";
inline constexpr std::u16string_view kSettingsRead = u"設定ファイルを読み込みました: %1";
inline constexpr std::u16string_view kStoredCleared = u"保存データを消しました。";
// The web page keeps the names given in place in the browser; this downloads them as a file.
inline constexpr std::u16string_view kSaveNamesItem = u"名前ファイルを保存…";

}  // namespace kavelin::app
