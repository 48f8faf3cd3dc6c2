// The help inside the window: the guide opens with F1 from the Help menu, shows the layout
// picture from the program itself, and every link in it leads somewhere; the about box
// names the version, the licence and the libraries.
#include <QAction>
#include <QApplication>
#include <QFile>
#include <QImage>
#include <QMenuBar>
#include <QRegularExpression>
#include <QTextBrowser>
#include <QTextDocument>

#include "app/help_window.hpp"
#include "app/qt_text.hpp"
#include "window_fixture.hpp"

namespace kavelin::app::testing {
namespace {

class HelpTest : public WindowTest {
 protected:
  HelpWindow* OpenGuide() {
    QAction* help = Get<QAction>("Help");
    EXPECT_EQ(help->shortcut(), QKeySequence(Qt::Key_F1));
    help->trigger();
    return window_.findChild<HelpWindow*>("HelpWindow");
  }
};

TEST_F(HelpTest, TheGuideOpensOnceAndCoversWhatAPlayerNeeds) {
  HelpWindow* guide = OpenGuide();
  ASSERT_NE(guide, nullptr);
  EXPECT_TRUE(guide->isVisible());
  // A second F1 brings the same window forward.
  OpenGuide();
  EXPECT_EQ(window_.findChildren<HelpWindow*>().size(), 1);

  const QString text = guide->Browser()->toPlainText();
  for (const char16_t* topic :
       {u"テンプレート画像", u"(10, 13)", u"(11, 32)", u"(13, 15)", u"パレット", u"F8",
        u"kavelin-names.tsv", u"KV7Tools.ini", u"ほとんどのプレイヤーには要りません", u"Ctrl+Z",
        u"基本ステータス", u"成長率"}) {
    EXPECT_TRUE(text.contains(QString::fromUtf16(topic)))
        << QString::fromUtf16(topic).toStdString();
  }
  // The picture comes from the program's resources, not from an installed file.
  const QVariant picture = guide->Browser()->document()->resource(
      QTextDocument::ImageResource, QUrl(QStringLiteral("qrc:/help/cell_layout.png")));
  ASSERT_TRUE(picture.isValid());
  EXPECT_GT(picture.value<QImage>().width(), 400);

  // Every link of the contents names a part of the page.
  QFile source(QStringLiteral(":/help/help.html"));
  ASSERT_TRUE(source.open(QIODevice::ReadOnly));
  const QString page = QString::fromUtf8(source.readAll());
  const QRegularExpression link(QStringLiteral("href=\"#([^\"]+)\""));
  int links = 0;
  for (auto match = link.globalMatch(page); match.hasNext(); ++links) {
    const QString anchor = match.next().captured(1);
    EXPECT_TRUE(page.contains(QStringLiteral("id=\"%1\"").arg(anchor))) << anchor.toStdString();
  }
  EXPECT_GE(links, 8);
}

TEST_F(HelpTest, TheAboutBoxNamesVersionLicenceAndLibraries) {
  Get<QAction>("About")->trigger();
  QApplication::processEvents();
  ASSERT_EQ(dialogs_.boxes.size(), 1u);
  const Box& box = dialogs_.boxes[0];
  EXPECT_EQ(box.title, Q(u"Kavelin について"));
  EXPECT_EQ(box.icon, BoxIcon::kInformation);
  for (const QString& part :
       {QStringLiteral("Kavelin " KAVELIN_VERSION), QStringLiteral("MIT"),
        QStringLiteral("Qt ") + qVersion(), QStringLiteral("ICU"), QStringLiteral("zlib"),
        QStringLiteral("nlohmann/json"), QStringLiteral("stb_image")})
    EXPECT_TRUE(box.text.contains(part)) << part.toStdString();
  // Nothing left unfilled.
  EXPECT_FALSE(box.text.contains(QRegularExpression(QStringLiteral("%\\d"))));
}

TEST_F(HelpTest, TheHelpMenuComesLast) {
  const QList<QAction*> menus = window_.findChild<QMenuBar*>()->actions();
  ASSERT_FALSE(menus.isEmpty());
  EXPECT_EQ(menus.back()->menu()->objectName(), QStringLiteral("HelpMenu"));
}

}  // namespace
}  // namespace kavelin::app::testing
