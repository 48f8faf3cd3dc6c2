// The whole road in one process, as kavelin-cli make runs it: intake (decode, origin test,
// palette), error and warning passes, tiles and the write, without the disk flush. The
// scratch folder is under TMPDIR, so the file system the write meets can be chosen.
#include <benchmark/benchmark.h>

#include "bench_support.hpp"
#include "command/create_patch.hpp"
#include "command/memory.hpp"
#include "image/decoder.hpp"
#include "image/intake.hpp"

namespace {

using namespace kavelin;

class AnswerYes : public command::CreatePatchDialogs {
 public:
  void ShowInputErrors(const validate::CheckResult&) override {}
  bool ConfirmWarnings(const validate::CheckResult&) override { return true; }
  bool ConfirmCreate() override { return true; }
  void ShowDone(const patch::WriteResult&) override {}
  void ShowWriteFailure(const patch::WriteResult&) override {}
};

// replace:1 writes over the patch of the run before, as a user making the same character
// again does; that patch is flushed to the disk untimed first, as an older patch would
// long have been. replace:0 writes a new file each time (the old one is removed untimed).
void BM_WholeRoad(benchmark::State& state) {
  const bool replace = state.range(0) != 0;
  const bench::ScratchFolder folder("road");
  const auto gif = folder.path() / "hero.gif";
  std::filesystem::copy_file(bench::kSampleGif, gif);
  const auto document = bench::SampleSheet();
  const text::CodeTable codes;
  AnswerYes dialogs;
  command::KeepFreedMemoryForReuse();  // as kavelin-cli does
  for (auto _ : state) {
    state.PauseTiming();
    if (replace) {
      bench::FlushToDisk(folder.path() / "hero.k7p");
    } else {
      std::filesystem::remove(folder.path() / "hero.k7p");
    }
    state.ResumeTiming();
    image::TemplateImage t;
    image::TakeInTemplateFile(t, gif, image::DecodeImageFile);
    auto sheet = document.sheet;
    const auto result =
        command::CreatePatch(sheet, t, codes, dialogs, {.output = {}, .sync = false});
    if (result.outcome != command::CreatePatchOutcome::kWritten) state.SkipWithError("not written");
  }
}
BENCHMARK(BM_WholeRoad)->ArgName("replace")->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

}  // namespace
