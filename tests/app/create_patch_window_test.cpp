// The create-patch button end to end: the shared road behind the window's message boxes.
#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include "app/picture_area.hpp"
#include "app/qt_text.hpp"
#include "validate/messages.hpp"
#include "window_fixture.hpp"

namespace kavelin::app::testing {
namespace {

namespace messages = validate::messages;

class CreatePatchWindowTest : public LoadedWindowTest {
 protected:
  void Press() { QTest::mouseClick(Get<QPushButton>("Command1"), Qt::LeftButton); }
  QStringList Titles() const {
    QStringList titles;
    for (const Box& box : dialogs_.boxes)
      titles << box.title;
    return titles;
  }
  bool PatchWritten() const { return std::filesystem::is_regular_file(patch_); }
};

TEST_F(CreatePatchWindowTest, ErrorsEndTheRoadAfterThePreviewWentOff) {
  Get<QCheckBox>("Check2")->setChecked(true);
  const QImage poisoned = Get<PictureArea>("Picture1")->Shown();
  ASSERT_NE(poisoned, ToQImage(window_.Template().loaded));
  bool previewOffAtFirstBox = false;
  dialogs_.onBox = [&](const Box&) {
    previewOffAtFirstBox =
        !Get<QCheckBox>("Check2")->isChecked() &&
        Get<PictureArea>("Picture1")->Shown() == ToQImage(window_.Template().loaded);
  };
  Get<QLineEdit>("Text1")->setText("  ");
  // Errors and warnings together: only the errors are shown.
  Get<QCheckBox>("Check5(5)")->setChecked(true);
  Get<QComboBox>("Combo7(1)")->setCurrentIndex(1);

  Press();
  ASSERT_EQ(dialogs_.boxes.size(), 1u);
  EXPECT_EQ(dialogs_.boxes[0].title, Q(u"入力エラー"));
  EXPECT_EQ(dialogs_.boxes[0].icon, BoxIcon::kStop);
  EXPECT_TRUE(dialogs_.boxes[0].text.contains(Q(messages::kNameEmpty)));
  EXPECT_TRUE(previewOffAtFirstBox);
  EXPECT_FALSE(PatchWritten());
}

TEST_F(CreatePatchWindowTest, WarningsAnsweredNoThenYes) {
  Get<QCheckBox>("Check5(5)")->setChecked(true);
  Get<QComboBox>("Combo7(1)")->setCurrentIndex(1);
  dialogs_.answers = {false};
  Press();
  ASSERT_EQ(Titles(), QStringList({Q(u"注意")}));
  EXPECT_EQ(dialogs_.boxes[0].icon, BoxIcon::kExclamation);
  EXPECT_EQ(dialogs_.boxes[0].text,
            Q(messages::kExclusiveWithoutEquipment) + "\r\n" + Q(messages::kConfirmQuestion));
  EXPECT_FALSE(PatchWritten());

  dialogs_.boxes.clear();
  dialogs_.answers = {true};
  Press();
  EXPECT_EQ(Titles(), QStringList({Q(u"注意"), "Kavelin"}));
  EXPECT_EQ(dialogs_.boxes[1].text, Q(u"処理が終了しました"));
  EXPECT_EQ(dialogs_.boxes[1].icon, BoxIcon::kInformation);
  EXPECT_TRUE(PatchWritten());
}

TEST_F(CreatePatchWindowTest, PlainConfirmationWritesAndShowsTheNormalisedSheet) {
  Get<QLineEdit>("Text1")->setText(Q(u" ローラ "));
  Get<QCheckBox>("Check5(2)")->setChecked(true);
  const std::array<int, 4> techniques = {3, 0, 3, 7};
  for (int s = 0; s < 4; ++s)
    Get<QComboBox>(QString("Combo5(%1)").arg(s))->setCurrentIndex(techniques[s]);

  dialogs_.answers = {false};
  Press();
  ASSERT_EQ(Titles(), QStringList({Q(u"確認")}));
  EXPECT_EQ(dialogs_.boxes[0].icon, BoxIcon::kQuestion);
  EXPECT_EQ(dialogs_.boxes[0].text, Q(messages::kConfirmQuestion));
  EXPECT_FALSE(PatchWritten());
  // What the error pass normalised stays, also after a No.
  EXPECT_EQ(Get<QLineEdit>("Text1")->text(), Q(u"ローラ"));
  const sheet::InitialArts arts = window_.ReadSheet().initialArts;
  EXPECT_EQ(arts.techniques, (std::array<int, 4>{3, 7, 0, 0}));

  dialogs_.boxes.clear();
  dialogs_.answers = {true};
  Press();
  EXPECT_EQ(Titles(), QStringList({Q(u"確認"), "Kavelin"}));
  EXPECT_TRUE(PatchWritten());
}

TEST_F(CreatePatchWindowTest, WriteFailureSaysSoAndShowsNoCompletion) {
  // A folder where the patch would go: the write must fail, whoever runs the test.
  std::filesystem::create_directory(patch_);
  dialogs_.answers = {true};
  Press();
  ASSERT_EQ(Titles(), QStringList({Q(u"確認"), Q(u"書き込みエラー")}));
  EXPECT_EQ(dialogs_.boxes[1].icon, BoxIcon::kStop);
  EXPECT_TRUE(dialogs_.boxes[1].text.startsWith(Q(u"パッチファイルを作成できませんでした。")));
  EXPECT_TRUE(std::filesystem::is_directory(patch_));
}

}  // namespace
}  // namespace kavelin::app::testing
