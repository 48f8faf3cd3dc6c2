// The window under test, with scripted dialogs and templates written as real BMP files.
#pragma once

#include <gtest/gtest.h>

#include <QComboBox>
#include <QLabel>
#include <QString>
#include <deque>
#include <functional>
#include <optional>
#include <vector>

#include "app/dialogs.hpp"
#include "app/main_window.hpp"
#include "image_files.hpp"
#include "template_fixture.hpp"

namespace kavelin::app::testing {

struct Box {
  QString text;
  BoxIcon icon;
  QString title;
};

// Answers from a script; a question without a scripted answer fails the test.
class ScriptedDialogs : public Dialogs {
 public:
  std::vector<Box> boxes;
  std::deque<bool> answers;
  std::deque<QString> files;
  QStringList openCall;        // title, filter name, filter patterns of the last OpenFile
  std::deque<Answer> choices;  // for Yes / No / Cancel boxes
  std::deque<QString> saveFiles;
  QStringList saveCall;  // title, "name:suffix" per type, suggested name of the last SaveFile
  // Answers of AskText, nothing standing for Cancel; each call's text and title, and the
  // text the box started with.
  std::deque<std::optional<QString>> texts;
  std::vector<QStringList> textCalls;
  // Runs as each box appears, to look at the window while the box would be open.
  std::function<void(const Box&)> onBox;

  void Show(const QString& text, BoxIcon icon, const QString& title) override;
  bool Ask(const QString& text, BoxIcon icon, const QString& title) override;
  QString OpenFile(const QString& title, const QString& filterName,
                   const QString& filterPatterns) override;
  Answer AskYesNoCancel(const QString& text, BoxIcon icon, const QString& title) override;
  QString SaveFile(const QString& title, const std::vector<FileType>& types,
                   const QString& suggested) override;
  std::optional<QString> AskText(const QString& text, const QString& title,
                                 const QString& initial) override;
};

// Writes `raster` as a 24-bit BMP.
void WriteTemplate(const std::filesystem::path& file, const image::Raster& raster);

class WindowTest : public ::testing::Test {
 protected:
  WindowTest();

  template <class W>
  W* Get(const QString& name) {
    W* widget = window_.findChild<W*>(name);
    EXPECT_NE(widget, nullptr) << name.toStdString();
    return widget;
  }
  QString Text(const QString& labelName) { return Get<QLabel>(labelName)->text(); }
  QStringList Texts(const char* base, int count);

  image::testing::TempFolder folder_;
  ScriptedDialogs dialogs_;
  MainWindow window_;
};

// A window with the template of known colours loaded from `template_`.
class LoadedWindowTest : public WindowTest {
 protected:
  LoadedWindowTest();

  std::filesystem::path template_ = folder_ / "hero.bmp";
  std::filesystem::path patch_ = folder_ / "hero.k7p";
  image::Raster raster_;
};

}  // namespace kavelin::app::testing
