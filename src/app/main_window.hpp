// The one window, Form1: every input of the character sheet, the template picture with its
// palette panel, the comment and the create-patch button.
#pragma once

#include <QWidget>
#include <array>
#include <filesystem>
#include <vector>

#include "app/dialogs.hpp"
#include "image/decoder.hpp"
#include "image/status.hpp"
#include "image/template_image.hpp"
#include "patch/patch_writer.hpp"
#include "sheet/character_sheet.hpp"
#include "sheet/sheet_file.hpp"
#include "text/code_table.hpp"

class QAction;
class QCheckBox;
class QCloseEvent;
class QComboBox;
class QLabel;
class QMenuBar;
class QPlainTextEdit;
class QPushButton;
class QRadioButton;

namespace kavelin::app {

class PictureArea;
class TextBox;

// The font every control gets, and its stand-ins where the face itself is missing.
inline constexpr char16_t kWindowFontFamily[] = u"ＭＳ Ｐゴシック";
inline constexpr int kWindowFontPoints = 9;
void InstallFontSubstitutions();

class MainWindow : public QWidget {
  Q_OBJECT

 public:
  // Builds the menu bar and every control and runs the start-up sequence, all before the
  // window is shown.
  // `settingsFile` is the family settings file; the default is the one beside the program.
  MainWindow(Dialogs& dialogs, image::ImageDecoder decoder,
             const std::filesystem::path& settingsFile, QWidget* parent = nullptr);

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

  const image::TemplateImage& Template() const { return template_; }
  // The patch whose drawn template is current, if any.
  const std::filesystem::path& OpenedPatch() const { return openedPatch_; }
  const text::CodeTable& Codes() const { return codes_; }
  void SetWriteOptions(const patch::WriteOptions& options) { writeOptions_ = options; }

 protected:
  void closeEvent(QCloseEvent* event) override;

 private:
  void BuildMenu();
  void BuildLeftColumn();
  void BuildBasicStatus();
  void BuildInitialLevels();
  void BuildArtsAndEquipment();
  void BuildGrowthRates();
  void BuildForbiddenAndOther();
  void BuildSectionTop(QWidget* frame, std::size_t section);
  void Connect();
  void FormLoad(const std::filesystem::path& settingsFile);

  void SectionToggled(std::size_t section, bool on);
  void RecomputeStats();
  void TidyNumberBox(TextBox* box);
  void PaletteToggled(int entry, bool ticked);
  void PreviewToggled(bool ticked);
  // The core decides the toggles, the palette and the picture; the controls follow it.
  void MirrorTemplate();
  void ReportImage(image::ImageStatus status);
  // After a template load: the sheet's swaps on the fresh palette.
  void ApplySheetSwaps();
  // Yes saves, No goes on, Cancel stops; true when the window may take another character.
  bool MaySetCharacterAside();
  QString SuggestedName(const char* suffix) const;

  QString CommentText() const;

  Dialogs& dialogs_;
  image::ImageDecoder decoder_;
  text::CodeTable codes_;
  image::TemplateImage template_;
  patch::WriteOptions writeOptions_;
  std::vector<sheet::PaletteSwap> paletteSwaps_;
  sheet::SheetDocument saved_;         // as last saved or opened
  std::filesystem::path sheetFile_;    // the sheet file last saved or opened
  std::filesystem::path openedPatch_;  // the patch last opened

  QMenuBar* menuBar_ = nullptr;
  QWidget* client_ = nullptr;  // every control, below the menu bar
  QAction* exportTemplate_ = nullptr;

  // Left column.
  PictureArea* picture_ = nullptr;                            // Picture1
  QPushButton* browse_ = nullptr;                             // Command2
  std::array<QPushButton*, 16> paletteToggles_{};             // Check1(i)
  std::array<std::array<QLabel*, 4>, 16> paletteCaptions_{};  // Label2, Label3, Label4, Label1
  QCheckBox* preview_ = nullptr;                              // Check2
  TextBox* name_ = nullptr;                                   // Text1
  TextBox* jobName_ = nullptr;                                // Text2
  QComboBox* gender_ = nullptr;                               // Combo1

  // Every section frame's top row and the inputs its Check5 switches, in switching order.
  std::array<QCheckBox*, sheet::kSectionCount> sectionOn_{};      // Check5(i)
  std::array<QCheckBox*, sheet::kSectionCount> sectionLocked_{};  // Check6(i)
  std::array<std::vector<QWidget*>, sheet::kSectionCount> sectionInputs_;

  std::array<TextBox*, 7> stats_{};         // Text3(k)
  std::array<QLabel*, 7> starShift_{};      // Label11(k)
  std::array<QLabel*, 7> weaponShift_{};    // Label13(k)
  std::array<QLabel*, 7> shifted_{};        // Label18(k)
  QLabel* total_ = nullptr;                 // Label20
  TextBox* lp_ = nullptr;                   // Text4
  QComboBox* destinyStar_ = nullptr;        // Combo2
  QComboBox* favouriteWeapon_ = nullptr;    // Combo3
  QComboBox* inspirationType_ = nullptr;    // Combo4
  std::array<TextBox*, 9> levels_{};        // Text5(j)
  std::array<QCheckBox*, 9> grows_{};       // Check3(j)
  std::array<QRadioButton*, 4> earth_{};    // Option1(i)
  std::array<QRadioButton*, 2> heaven_{};   // Option2(i)
  std::array<QComboBox*, 8> arts_{};        // Combo5(s)
  std::array<QComboBox*, 8> equipment_{};   // Combo6(s)
  std::array<QCheckBox*, 6> forbidden_{};   // Check4(i)
  std::array<QComboBox*, 3> traits_{};      // Combo7(i)
  std::array<TextBox*, 15> growthRates_{};  // Text6(n)

  QPlainTextEdit* comment_ = nullptr;  // Text7
  QPushButton* create_ = nullptr;      // Command1
};

}  // namespace kavelin::app
