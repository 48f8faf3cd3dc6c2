// The window: building and showing it up to its first paint, and taking in a dropped
// template up to the palette shown. Offscreen unless QT_QPA_PLATFORM says otherwise.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QEvent>

#include "app/dialogs.hpp"
#include "app/main_window.hpp"
#include "bench_support.hpp"
#include "image/decoder.hpp"

namespace {

using namespace kavelin;

// Answers nothing: the benchmarks never reach a box.
class NoDialogs : public app::Dialogs {
 public:
  void Show(const QString&, app::BoxIcon, const QString&) override {}
  bool Ask(const QString&, app::BoxIcon, const QString&) override { return false; }
  QString OpenFile(const QString&, const QString&, const QString&) override { return {}; }
  app::Answer AskYesNoCancel(const QString&, app::BoxIcon, const QString&) override {
    return app::Answer::kNo;
  }
  QString SaveFile(const QString&, const std::vector<app::FileType>&, const QString&) override {
    return {};
  }
};

// Notes that the watched widget has painted.
class PaintWatch : public QObject {
 public:
  bool painted = false;
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() == QEvent::Paint) painted = true;
    return QObject::eventFilter(watched, event);
  }
};

void WaitForPaint(PaintWatch& watch) {
  while (!watch.painted)
    QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
}

void BM_WindowToFirstPaint(benchmark::State& state) {
  NoDialogs dialogs;
  for (auto _ : state) {
    app::MainWindow window(dialogs, image::DecodeImageFile, {});
    PaintWatch watch;
    window.installEventFilter(&watch);
    window.show();
    WaitForPaint(watch);
  }
}
BENCHMARK(BM_WindowToFirstPaint)->Unit(benchmark::kMillisecond);

void BM_DropToPaletteShown(benchmark::State& state) {
  NoDialogs dialogs;
  app::MainWindow window(dialogs, image::DecodeImageFile, {});
  window.show();
  // The palette is shown once the last of its toggles has painted.
  auto* lastToggle = window.findChild<QWidget*>("Check1(15)");
  PaintWatch watch;
  lastToggle->installEventFilter(&watch);
  WaitForPaint(watch);
  for (auto _ : state) {
    watch.painted = false;
    window.TakeInFile(bench::kSampleGif);
    lastToggle->update();  // the same template again changes no colour
    WaitForPaint(watch);
  }
}
BENCHMARK(BM_DropToPaletteShown)->Unit(benchmark::kMicrosecond);

}  // namespace

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication application(argc, argv);
  app::InstallFontSubstitutions();
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
