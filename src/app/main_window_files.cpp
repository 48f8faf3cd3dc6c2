// The File menu of the main window: sheet files, patches and template export.
#include <QCloseEvent>
#include <QFileInfo>
#include <string>

#include "app/main_window.hpp"
#include "app/qt_text.hpp"
#include "app/user_files.hpp"
#include "command/create_patch.hpp"
#include "command/output_plan.hpp"
#include "image/encoder.hpp"
#include "image/intake.hpp"
#include "image/palette_panel.hpp"
#include "image/poison_preview.hpp"
#include "patch/atomic_file.hpp"
#include "patch/patch_reader.hpp"
#include "patch/template_export.hpp"

namespace kavelin::app {
namespace {

QString Title(std::u16string_view menuItem) {
  // The dialog is titled as the item that opened it, less the ellipsis.
  QString title = Q(menuItem);
  if (title.endsWith(QChar(u'…'))) title.chop(1);
  return title;
}

QString Lines(std::initializer_list<QString> lines) {
  return QStringList(lines).join(QStringLiteral("\r\n"));
}

std::string_view Text(const std::vector<std::uint8_t>& bytes) {
  return {reinterpret_cast<const char*>(bytes.data()), bytes.size()};
}

}  // namespace

sheet::SheetDocument MainWindow::Document() const {
  return {ReadSheet(), paletteSwaps_};
}

bool MainWindow::HasUnsavedChanges() const {
  const sheet::SheetDocument now = Document();
  return now.sheet != saved_.sheet ||
         SwapArrangement(now.paletteSwaps) != SwapArrangement(saved_.paletteSwaps);
}

bool MainWindow::MaySetCharacterAside() {
  if (!HasUnsavedChanges()) return true;
  switch (dialogs_.AskYesNoCancel(Q(kSaveChangesQuestion), BoxIcon::kQuestion,
                                  Q(command::kProgramTitle))) {
    case Answer::kYes:
      return SaveSheet();
    case Answer::kNo:
      return true;
    case Answer::kCancel:
      break;
  }
  return false;
}

void MainWindow::closeEvent(QCloseEvent* event) {
  if (MaySetCharacterAside())
    event->accept();
  else
    event->ignore();
}

QString MainWindow::SuggestedName(const char* suffix) const {
  // Beside the file the character or its picture came from, named after it.
  std::filesystem::path base = template_.fromPatch ? openedPatch_ : template_.path;
  if (std::string_view(suffix) == ".json" && !sheetFile_.empty()) base = sheetFile_;
  if (base.empty()) return {};
  base.replace_extension(suffix);
  // Never offer the current template's own file as the place to write.
  if (base == template_.path) base.replace_extension(".bmp");
  return DisplayPath(base);
}

bool MainWindow::OpenSheet() {
  if (!MaySetCharacterAside()) return false;
  const QString chosen =
      dialogs_.OpenFile(Title(kOpenSheetItem), Q(kSheetFilterName), QStringLiteral("*.json"));
  return !chosen.isEmpty() && OpenSheetFile(PathOf(chosen));
}

bool MainWindow::OpenSheetFile(const std::filesystem::path& file) {
  const FileBytes read = ReadUserFile(file, kMaxSheetFileBytes);
  QString reason = read.error;
  sheet::SheetFileResult parsed;
  if (reason.isEmpty()) {
    parsed = sheet::ReadSheetFile(Text(read.bytes));
    if (!parsed.ok) reason = Q(parsed.error);
  }
  if (!reason.isEmpty()) {
    dialogs_.Show(Lines({Q(kSheetUnreadable), DisplayPath(file), reason}), BoxIcon::kStop,
                  Q(image::kReadErrorTitle));
    return false;
  }
  ShowSheet(parsed.document.sheet);
  paletteSwaps_ = parsed.document.paletteSwaps;
  if (template_.Loaded()) {
    // The current template takes the opened sheet's palette order, not the one before.
    image::SetPoisonPreview(template_, false);
    image::ExtractPalette(template_);
    MirrorTemplate();
    ApplySheetSwaps();
  }
  sheetFile_ = file;
  // Swaps the template could not take stay unsaved, so closing offers to save without them.
  saved_ = {ReadSheet(), parsed.document.paletteSwaps};
  return true;
}

bool MainWindow::SaveSheet() {
  const QString chosen = dialogs_.SaveFile(Title(kSaveSheetItem),
                                           {{Q(u"キャラクターファイル"), QStringLiteral("json")}},
                                           SuggestedName(".json"));
  return !chosen.isEmpty() && SaveSheetFile(PathOf(chosen));
}

bool MainWindow::IsOwnInput(const std::filesystem::path& file) const {
  const std::filesystem::path outputs[] = {file}, inputs[] = {openedPatch_, template_.path};
  return !command::CheckPlannedOutputs(outputs, inputs);
}

bool MainWindow::SaveSheetFile(const std::filesystem::path& file) {
  // The patch or picture the character came from is the user's; a sheet never replaces it.
  if (IsOwnInput(file)) {
    dialogs_.Show(Lines({Q(kSheetUnwritable), DisplayPath(file), Q(kOwnInputInTheWay)}),
                  BoxIcon::kStop, Q(command::kWriteErrorTitle));
    return false;
  }
  const sheet::SheetDocument document = Document();
  const std::string json = sheet::WriteSheetFile(document);
  const auto written = patch::WriteFileAtomically(
      file, {reinterpret_cast<const std::uint8_t*>(json.data()), json.size()}, writeOptions_.sync);
  if (!written.ok) {
    dialogs_.Show(
        Lines({Q(kSheetUnwritable), DisplayPath(file), WriteFailureReason(written.error)}),
        BoxIcon::kStop, Q(command::kWriteErrorTitle));
    return false;
  }
  sheetFile_ = file;
  saved_ = document;
  return true;
}

bool MainWindow::OpenPatch() {
  if (!MaySetCharacterAside()) return false;
  const QString chosen =
      dialogs_.OpenFile(Title(kOpenPatchItem), Q(kPatchFilterName), QStringLiteral("*.k7p"));
  return !chosen.isEmpty() && OpenPatchFile(PathOf(chosen));
}

bool MainWindow::OpenPatchFile(const std::filesystem::path& file) {
  const FileBytes read = ReadUserFile(file, kMaxPatchFileBytes);
  QString reason = read.error;
  patch::ReadResult parsed;
  if (reason.isEmpty()) {
    parsed = patch::ReadPatchFile(read.bytes, codes_);
    if (!parsed.ok)
      reason = Q(u"オフセット %1: ").arg(parsed.offset) + Q(std::string_view(parsed.reason));
  }
  // Drawn aside first: the window changes only once the whole patch has been taken in.
  image::TemplateImage drawn;
  patch::ExportedTemplate exported;
  if (reason.isEmpty()) {
    exported = patch::ExportTemplate(parsed.contents.paletteWords, parsed.contents.tiles);
    const image::ImageStatus status = image::LoadDrawnTemplate(drawn, exported.raster);
    if (status != image::ImageStatus::kOk) reason = Q(image::MessageFor(status));
  }
  if (!reason.isEmpty()) {
    dialogs_.Show(Lines({Q(kPatchUnreadable), DisplayPath(file), reason}), BoxIcon::kStop,
                  Q(image::kReadErrorTitle));
    return false;
  }
  paletteSwaps_ = ApplyPaletteSwaps(drawn, exported.paletteSwaps);
  template_ = std::move(drawn);
  ShowSheet(parsed.contents.sheet);
  MirrorTemplate();
  openedPatch_ = file;
  // The character now lives in the patch, not in the sheet file opened before.
  sheetFile_.clear();
  saved_ = Document();
  return true;
}

bool MainWindow::ExportTemplate() {
  if (!template_.Loaded()) return false;
  const QString chosen = dialogs_.SaveFile(Title(kExportTemplateItem),
                                           {{Q(u"GIF 画像"), QStringLiteral("gif")},
                                            {Q(u"BMP 画像"), QStringLiteral("bmp")},
                                            {Q(u"PNG 画像"), QStringLiteral("png")}},
                                           SuggestedName(".gif"));
  return !chosen.isEmpty() && ExportTemplateFile(PathOf(chosen));
}

bool MainWindow::ExportTemplateFile(const std::filesystem::path& file) {
  if (!template_.Loaded()) return false;
  const QString suffix = QFileInfo(DisplayPath(file)).suffix().toLower();
  QString reason;
  std::optional<std::vector<std::uint8_t>> bytes;
  if (IsOwnInput(file)) {
    reason = Q(kOwnInputInTheWay);
  } else if (suffix != "gif" && suffix != "bmp" && suffix != "png") {
    reason = Q(kTemplateTypeNeeded);
  } else {
    bytes = image::EncodeImageFile(RasterForExport(template_.loaded), file);
    if (!bytes) reason = Q(kTooManyColoursForGif);
  }
  if (bytes) {
    const auto written = patch::WriteFileAtomically(file, *bytes, writeOptions_.sync);
    if (!written.ok) reason = WriteFailureReason(written.error);
  }
  if (!reason.isEmpty()) {
    dialogs_.Show(Lines({Q(kTemplateUnwritable), DisplayPath(file), reason}), BoxIcon::kStop,
                  Q(command::kWriteErrorTitle));
    return false;
  }
  return true;
}

}  // namespace kavelin::app
