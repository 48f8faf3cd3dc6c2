#include "command/template_intake.hpp"

#include <numeric>

#include "image/intake.hpp"
#include "image/palette_panel.hpp"

namespace kavelin::command {

SwapsApplied ApplyPaletteSwaps(image::TemplateImage& image,
                               const std::vector<sheet::PaletteSwap>& swaps) {
  // A tick left waiting would pair with the first entry of the first swap.
  for (int i = 0; i < image::kPaletteSize; ++i)
    image::SetPaletteToggle(image, i, false);
  SwapsApplied applied;
  for (const auto& swap : swaps) {
    const auto [a, b] = swap;
    if (image.palette.IsEmpty(a) || image.palette.IsEmpty(b)) {
      applied.skipped.push_back(swap);
      continue;
    }
    if (a != b) {
      image::SetPaletteToggle(image, a, true);
      image::SetPaletteToggle(image, b, true);
    }
    applied.made.push_back(swap);
  }
  return applied;
}

TemplateIntake TakeInTemplate(image::TemplateImage& image, const std::filesystem::path& file,
                              const image::ImageDecoder& decoder, IntakeMode mode,
                              const std::vector<sheet::PaletteSwap>& swaps) {
  const image::ImageStatus status = mode == IntakeMode::kChecked
                                        ? image::TakeInTemplateFile(image, file, decoder)
                                        : image::LoadTemplateImage(image, file, decoder);
  if (status != image::ImageStatus::kOk) return image::ImageFailure(status, file);
  return ApplyPaletteSwaps(image, swaps);
}

std::array<int, image::kPaletteSize> SwapArrangement(const std::vector<sheet::PaletteSwap>& swaps) {
  std::array<int, image::kPaletteSize> order{};
  std::iota(order.begin(), order.end(), 0);
  for (const auto& [a, b] : swaps) {
    if (a >= 0 && a < image::kPaletteSize && b >= 0 && b < image::kPaletteSize)
      std::swap(order[static_cast<std::size_t>(a)], order[static_cast<std::size_t>(b)]);
  }
  return order;
}

}  // namespace kavelin::command
