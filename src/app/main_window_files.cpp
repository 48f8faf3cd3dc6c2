// The File menu of the main window: sheet files, patches and template export.
#include <QCloseEvent>
#include <QFileInfo>
#include <string>

#include "app/file_reasons.hpp"
#include "app/main_window.hpp"
#include "app/qt_text.hpp"
#include "app/recent_files.hpp"
#include "app/user_files.hpp"
#include "command/create_patch.hpp"
#include "command/output_plan.hpp"
#include "command/save_file.hpp"
#include "command/user_file.hpp"
#include "image/intake.hpp"
#include "image/palette_panel.hpp"
#include "image/poison_preview.hpp"
#include "io/atomic_file.hpp"
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
  return BoxLines(lines);
}

// What a save dialog's name asks to be written as, told by its ending.
command::OutputKind ImageKindOf(const std::filesystem::path& file) {
  return command::ImageKindOfName(file).value_or(command::OutputKind::kGif);
}

}  // namespace

sheet::SheetDocument MainWindow::Document() const {
  return document_.Document(ReadSheet());
}

bool MainWindow::HasUnsavedChanges() const {
  return document_.HasUnsavedChanges(ReadSheet());
}

bool MainWindow::MaySetCharacterAside() {
  if (!HasUnsavedChanges()) return true;
  switch (dialogs_.AskYesNoCancel(Q(kSaveChangesQuestion), BoxIcon::kQuestion, Q(kProgramTitle))) {
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
  const image::TemplateImage& current = document_.Template();
  std::filesystem::path base = current.fromPatch ? document_.OpenedPatch() : current.path;
  // The sheet the user saved or opened is where the next save goes.
  if (std::string_view(suffix) == ".k7c" && !document_.SheetFile().empty())
    return DisplayPath(document_.SheetFile());
  if (base.empty()) return {};
  // A template's export keeps its own format (a drawn one becomes GIF).
  if (suffix[0] == '\0') {
    const std::string own = current.fromPatch ? std::string() : base.extension().string();
    base.replace_extension(own.empty() ? ".gif" : own);
  } else {
    base.replace_extension(suffix);
  }
  // Never a file that is there already, least of all the template or patch itself: a
  // number is added until the name is free.
  const std::filesystem::path stem = base.parent_path() / base.stem();
  const std::string extension = base.extension().string();
  std::error_code error;
  for (int n = 2; std::filesystem::exists(base, error) || IsOwnInput(base); ++n)
    base = stem.string() + "-" + std::to_string(n) + extension;
  return DisplayPath(base);
}

bool MainWindow::OpenSheet() {
  if (!MaySetCharacterAside()) return false;
  const QString chosen =
      dialogs_.OpenFile(Title(kOpenSheetItem), Q(kSheetFilterName), QStringLiteral("*.k7c *.json"));
  return !chosen.isEmpty() && OpenSheetFile(PathOf(chosen));
}

bool MainWindow::OpenSheetFile(const std::filesystem::path& file) {
  RecordStep();
  const command::OpenResult opened = document_.OpenSheetFile(file);
  if (!opened) {
    dialogs_.Show(Lines({Q(kSheetUnreadable), DisplayPath(file), FailureReason(opened.Why())}),
                  BoxIcon::kStop, Q(kReadErrorTitle));
    return false;
  }
  ShowSheet(opened->document.sheet);
  MirrorTemplate();
  // Swaps the template could not take stay unsaved, so closing offers to save without them.
  sheet::SheetDocument saved = opened->document;
  saved.sheet = ReadSheet();
  document_.MarkSaved(saved, file);
  NoteFileUsed(FileKind::kSheet, file);
  RecordStep();
  // The sheet's own template takes its swaps afresh; what the one before it could not
  // take is then no longer worth saying.
  if (!LoadSheetTemplate(file, opened->document)) ReportSkippedSwaps(opened->skipped);
  return true;
}

bool MainWindow::SaveSheet() {
  // Sheet files have their own type; JSON is what they hold, and older ones are named so.
  const QString chosen = dialogs_.SaveFile(
      Title(kSaveSheetItem),
      {{Q(kSheetTypeName), QStringLiteral("k7c")}, {Q(kJsonSheetTypeName), QStringLiteral("json")}},
      SuggestedName(".k7c"));
  return !chosen.isEmpty() && SaveSheetFile(PathOf(chosen));
}

std::vector<MainWindow::Input> MainWindow::InputsRead() const {
  // The opened patch first: the road may write over it on purpose.
  std::vector<Input> inputs = {{document_.OpenedPatch(), kOpenedPatchInput},
                               {document_.Template().path, kTemplateInput}};
  const std::vector<std::filesystem::path> besides = command::FilesReadBesides(settingsFile_);
  for (std::size_t i = 0; i < besides.size(); ++i)
    inputs.push_back({besides[i], i == 0 && !settingsFile_.empty() ? kSettingsInput : kNamesInput});
  return inputs;
}

const MainWindow::Input* MainWindow::InputInTheWay(const std::filesystem::path& output,
                                                   const std::vector<Input>& inputs) {
  std::vector<std::filesystem::path> files;
  for (const Input& input : inputs)
    files.push_back(input.file);
  const std::filesystem::path outputs[] = {output};
  const command::OutputCheck check = command::CheckPlannedOutputs(outputs, files);
  return check ? nullptr : &inputs[check.other];
}

QString MainWindow::OwnInputReason(const std::filesystem::path& file) const {
  const std::vector<Input> inputs = InputsRead();
  const Input* input = InputInTheWay(file, inputs);
  if (input == nullptr) return {};
  // The patch or picture the character came from, in the words the saves always had.
  if (input == &inputs[0] || input == &inputs[1]) return Q(kOwnInputInTheWay);
  return Q(kOutputIsAnInput).arg(Q(input->what), DisplayPath(input->file));
}

bool MainWindow::IsOwnInput(const std::filesystem::path& file) const {
  return !OwnInputReason(file).isEmpty();
}

bool MainWindow::SaveSheetFile(const std::filesystem::path& file) {
  // The patch or picture the character came from is the user's; a sheet never replaces it.
  if (const QString reason = OwnInputReason(file); !reason.isEmpty()) {
    dialogs_.Show(Lines({Q(kSheetUnwritable), DisplayPath(file), reason}), BoxIcon::kStop,
                  Q(kWriteErrorTitle));
    return false;
  }
  const auto target = ConfirmOutput(dialogs_, file, command::OutputKind::kSheet, kSheetUnwritable);
  if (!target) return false;
  // The template comes back with the sheet; one drawn from a patch has no file to name.
  const sheet::SheetDocument document = command::DocumentSavedAs(
      Document(), Template().fromPatch ? std::filesystem::path() : Template().path, *target);
  const io::WriteOutcome written = command::SaveSheet(document, *target, writeOptions_.sync);
  if (!written) {
    dialogs_.Show(
        Lines({Q(kSheetUnwritable), DisplayPath(file), WriteFailureReason(written.Why().error)}),
        BoxIcon::kStop, Q(kWriteErrorTitle));
    return false;
  }
  // The name the user chose, link or not, is where the next save goes.
  document_.MarkSaved(document, file);
  NoteFileUsed(FileKind::kSheet, file);
  RecordStep();
  UpdateTitle();
  return true;
}

bool MainWindow::OpenPatch() {
  if (!MaySetCharacterAside()) return false;
  const QString chosen =
      dialogs_.OpenFile(Title(kOpenPatchItem), Q(kPatchFilterName), QStringLiteral("*.k7p"));
  return !chosen.isEmpty() && OpenPatchFile(PathOf(chosen));
}

bool MainWindow::OpenPatchFile(const std::filesystem::path& file) {
  RecordStep();
  const command::OpenResult opened = document_.OpenPatchFile(file, codes_);
  if (!opened) {
    dialogs_.Show(Lines({Q(kPatchUnreadable), DisplayPath(file), FailureReason(opened.Why())}),
                  BoxIcon::kStop, Q(kReadErrorTitle));
    return false;
  }
  ShowSheet(opened->document.sheet);
  MirrorTemplate();
  RecordStep();
  document_.MarkSaved(Document(), {});
  NoteFileUsed(FileKind::kPatch, file);
  return true;
}

bool MainWindow::ExportTemplate() {
  if (!document_.Template().Loaded()) return false;
  const QString chosen =
      dialogs_.SaveFile(Title(kExportTemplateItem), ImageFileTypes(), SuggestedName(""));
  return !chosen.isEmpty() && ExportTemplateFile(PathOf(chosen));
}

bool MainWindow::ExportTemplateFile(const std::filesystem::path& file) {
  if (!document_.Template().Loaded()) return false;
  return WriteImageFile(file, command::ExportedPicture(document_.Template().loaded),
                        kTemplateUnwritable);
}

bool MainWindow::WriteImageFile(const std::filesystem::path& file, const image::Raster& raster,
                                std::u16string_view unwritable, bool sameKindReplaces) {
  QString reason = OwnInputReason(file);
  std::optional<std::vector<std::uint8_t>> bytes;
  if (reason.isEmpty()) {
    // Encoded by the name the user gave, whatever a link's target is called, and before
    // any question, so that a picture the name cannot hold is said at once.
    auto encoded = command::EncodeImageAs(raster, file);
    if (encoded)
      bytes = std::move(*encoded);
    else
      reason = EncodeReason(encoded.Why());
  }
  if (bytes) {
    const auto target =
        ConfirmOutput(dialogs_, file, ImageKindOf(file), unwritable, sameKindReplaces);
    if (!target) return false;
    const auto written = io::WriteFileAtomically(*target, *bytes, writeOptions_.sync);
    if (!written) reason = WriteFailureReason(written.Why().error);
  }
  if (reason.isEmpty()) return true;
  dialogs_.Show(Lines({Q(unwritable), DisplayPath(file), reason}), BoxIcon::kStop,
                Q(kWriteErrorTitle));
  return false;
}

}  // namespace kavelin::app
