// The one window, Form1: the menu, the sheet's form and the template's panel side by side,
// the create-patch button, and the character document behind them. It runs the road and
// the File menu; the parts show and read what the document and the road decide.
#pragma once

#include <QPoint>
#include <QPointer>
#include <QWidget>
#include <filesystem>

#include "app/character_history.hpp"
#include "app/dialogs.hpp"
#include "app/window_texts.hpp"
#include "command/character_document.hpp"
#include "image/decoder.hpp"
#include "image/raster.hpp"
#include "image/status.hpp"
#include "image/template_image.hpp"
#include "patch/patch_writer.hpp"
#include "sheet/character_sheet.hpp"
#include "sheet/sheet_file.hpp"
#include "text/code_table.hpp"
#include "text/settings_file.hpp"
#include "validate/field_id.hpp"

class QAction;
class QCloseEvent;
class QMenu;
class QLabel;
class QMenuBar;
class QPushButton;
class QStatusBar;
class QScrollArea;
class QShowEvent;
class QTimer;

namespace kavelin::app {

class GamePreviewWindow;
class NameEditor;
class RecentFiles;
class SheetForm;
class TemplatePanel;
class TemplateWatch;
enum class FileKind;

// Stand-ins for the window's font where the face itself is missing.
void InstallFontSubstitutions();

class MainWindow : public QWidget {
  Q_OBJECT

 public:
  // Builds the menu bar and every control and runs the start-up sequence, all before the
  // window is shown.
  // `settingsFile` is the family settings file; the default is the one beside the program.
  MainWindow(Dialogs& dialogs, image::ImageDecoder decoder,
             const std::filesystem::path& settingsFile, QWidget* parent = nullptr);
  ~MainWindow() override;

  // The whole sheet as the controls hold it, comment line breaks as CR LF.
  sheet::CharacterSheet ReadSheet() const;
  // Puts a whole sheet into the controls; reading it back gives the same sheet. List
  // positions outside their list select the first entry.
  void ShowSheet(const sheet::CharacterSheet& sheet);

  // The template step of start-up: no signature check, errors shown over the window.
  void LoadCommandLineTemplate(const std::filesystem::path& file);
  // The file of the command line, as a file manager hands it over: a patch or a sheet
  // file, told by its first bytes, is opened as the File menu opens it; anything else is
  // loaded as the template of start-up.
  void OpenCommandLineFile(const std::filesystem::path& file);
  // Browse and drop: the signature check, then the load.
  void TakeInFile(const std::filesystem::path& file);
  // The browse button.
  void Browse();
  // The create-patch button. With the template drawn from an opened patch, the patch is
  // written over that patch, after asking.
  void CreatePatch();

  // The File menu. Opening asks first whether to save unsaved changes; a file that cannot
  // be read is reported and leaves the window as it was. False when nothing was done.
  bool OpenSheet();
  bool OpenSheetFile(const std::filesystem::path& file);
  bool SaveSheet();
  bool SaveSheetFile(const std::filesystem::path& file);
  bool OpenPatch();
  bool OpenPatchFile(const std::filesystem::path& file);
  bool ExportTemplate();
  bool ExportTemplateFile(const std::filesystem::path& file);
  // Whether `file` is the opened patch or the loaded template's file, which the window
  // reads from and so never writes over.
  bool IsOwnInput(const std::filesystem::path& file) const;
  // A blank template to draw into, written where the user chooses.
  bool ExportBlankTemplate();
  bool ExportBlankTemplateFile(const std::filesystem::path& file);

  // What a sheet file would hold now: the sheet and the palette swaps, which belong to the
  // character and are applied to every template the window loads, as kavelin-cli does.
  sheet::SheetDocument Document() const;
  // Whether the document differs from the one last saved or opened; swap lists count by
  // the entry order they lead to.
  bool HasUnsavedChanges() const;

  const image::TemplateImage& Template() const { return document_.Template(); }
  // The patch whose drawn template is current, if any.
  const std::filesystem::path& OpenedPatch() const { return document_.OpenedPatch(); }
  const text::CodeTable& Codes() const { return codes_; }
  // The settings file the window was made with, and what reading it found: read once, so
  // that start-up's reports and the table tell of the same reading.
  const std::filesystem::path& SettingsFile() const { return settingsFile_; }
  const text::SettingsFileRead& SettingsRead() const { return settingsRead_; }
  void SetWriteOptions(const patch::WriteOptions& options) { writeOptions_ = options; }
  // A line in the status bar, kept until the next one: what the window did or found. The
  // whole text is the bar's tooltip and accessible description too, for a line too long
  // to show.
  void ShowNote(const QString& text);
  // The character's file name and "*" while it has unsaved changes, then the program's.
  void UpdateTitle();
  // Focuses a marked control and says its messages in the status bar.
  void ReachMark(QWidget* marked);
  // The Edit menu: the step before, and the step undone again.
  void Undo();
  void Redo();
  // The live check now, rather than a moment after the last edit.
  void RunLiveCheck();
  // Moves the focus to the next control that carries a mark (F8, or the status bar).
  void FocusNextMarked();

  // Recent work: the File menu's list is kept in `recent`, which outlives the window.
  // Without it the list stays empty and nothing is recorded.
  void SetRecentFiles(RecentFiles* recent);
  // Opens a file of the list as its kind is opened; one that is gone is said and dropped.
  bool OpenRecentFile(FileKind kind, const std::filesystem::path& file);
  // The in-game preview window, made and shown when first asked for.
  GamePreviewWindow* ShowGamePreview();
  // The template's file read again (F5, or the watch when another program saved it): a
  // file that cannot be taken keeps the picture and palette, and says why in the status
  // bar. By hand, swaps the new picture cannot take are dropped as a load drops them; the
  // watch keeps the picture instead.
  void ReloadTemplate(bool byHand);
  // The status bar's line about a pixel of the picture, in the picture's own coordinates.
  QString PixelNote(QPoint pixel) const;
  // The names the lists show, given in place from their context menus.
  NameEditor& EntryNames() { return *nameEditor_; }

  // Sizes and moves the window to fit the given part of a screen, scrolling the client
  // area where it does not fit; done on first showing with the screen's free area.
  QSize FitInto(const QRect& available);

 protected:
  void closeEvent(QCloseEvent* event) override;
  void showEvent(QShowEvent* event) override;

 private:
  void BuildMenu();
  void BuildEditMenu();
  Character CurrentCharacter() const;
  // Ends a step when the character differs from the last one recorded.
  void RecordStep();
  // Takes the character as it is now as the start of the next step (after a template load).
  void RecordWithoutStep();
  void Restore(const Character& character);
  void BuildStatusBar();
  void ScheduleLiveCheck();
  QWidget* FieldWidget(validate::FieldId field) const;
  void FormLoad(const std::filesystem::path& settingsFile);

  void PaletteToggled(int entry, bool ticked);
  void PreviewToggled(bool ticked);
  // The core decides the toggles, the palette and the picture; the controls follow it.
  void MirrorTemplate();
  void BuildWorkMenus(QMenu* file, QAction* before);
  // The watch and F5 follow the current template's file.
  void FollowTemplateFile();
  void ConnectTemplateWatch();
  void FillRecentMenu();
  void NoteFileUsed(FileKind kind, const std::filesystem::path& file);
  // Says, once, that the recent files are no longer kept, when the record just said so.
  void ShowRecentNote();
  // The files the window reads from, each with what it is, which no write of it replaces.
  struct Input {
    std::filesystem::path file;
    std::u16string_view what;
  };
  std::vector<Input> InputsRead() const;
  // The first of `inputs` that `output` is (links and other spellings meet), or nullptr.
  static const Input* InputInTheWay(const std::filesystem::path& output,
                                    const std::vector<Input>& inputs);
  // Why a save or export may not write `file`: it is a file the window reads. Empty when
  // it is none.
  QString OwnInputReason(const std::filesystem::path& file) const;
  // The create-patch road's last step before the write: the patch must not land on a file
  // the window reads, and what is in its place is asked about; false stops the road.
  bool MayWritePatch(patch::WriteOptions& options, const std::filesystem::path& replaced);
  // The template a sheet file names, loaded as a browsed one with the sheet's swaps, when
  // it is there; false when the sheet names none or it is gone (which is said).
  bool LoadSheetTemplate(const std::filesystem::path& sheetFile,
                         const sheet::SheetDocument& opened);
  void LoadTemplate(const std::filesystem::path& file, command::IntakeMode mode);
  // Says which of the character's swaps the template could not take.
  void ReportSkippedSwaps(const std::vector<sheet::PaletteSwap>& skipped);
  // "5 ⇔ 9、2 ⇔ 4", as the box above and the status bar name swaps.
  static QString SwapsText(const std::vector<sheet::PaletteSwap>& swaps);
  // `limit` is the cap the file was read under.
  // Yes saves, No goes on, Cancel stops; true when the window may take another character.
  bool MaySetCharacterAside();
  // The name a save dialog proposes, ending in `suffix` ("" for the template's own type).
  QString SuggestedName(const char* suffix) const;
  // Writes `raster` as the image type `file` names, or says why not under `unwritable`.
  // `sameKindReplaces` false asks before any file there is replaced.
  bool WriteImageFile(const std::filesystem::path& file, const image::Raster& raster,
                      std::u16string_view unwritable, bool sameKindReplaces = true);

  Dialogs& dialogs_;
  image::ImageDecoder decoder_;
  std::filesystem::path settingsFile_;
  text::SettingsFileRead settingsRead_ = text::FamilySettings{};
  text::CodeTable codes_;
  command::CharacterDocument document_;
  patch::WriteOptions writeOptions_;

  QMenuBar* menuBar_ = nullptr;
  QStatusBar* statusBar_ = nullptr;
  QPushButton* checkStatus_ = nullptr;  // the live check's counts
  QLabel* settingsStatus_ = nullptr;    // which KV7Tools.ini gave the extended characters
  QTimer* liveCheckTimer_ = nullptr;
  std::vector<QPointer<QWidget>> marked_;
  CharacterHistory history_;
  QWidget* client_ = nullptr;      // every control, below the menu bar
  QScrollArea* scroll_ = nullptr;  // around the client area, for screens smaller than it
  bool fitted_ = false;            // fitted to its screen when first shown
  QAction* exportTemplate_ = nullptr;
  SheetForm* form_ = nullptr;
  TemplatePanel* templatePanel_ = nullptr;
  QPushButton* create_ = nullptr;  // Command1
  RecentFiles* recent_ = nullptr;
  QMenu* recentMenu_ = nullptr;
  GamePreviewWindow* gamePreview_ = nullptr;
  TemplateWatch* templateWatch_ = nullptr;
  QAction* reloadTemplate_ = nullptr;
  NameEditor* nameEditor_ = nullptr;
};

}  // namespace kavelin::app
