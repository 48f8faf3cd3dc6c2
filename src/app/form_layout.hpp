// Where every control of the window stands, in twips of the client area below the menu
// bar (or of the frame that holds it). Data only: the parts that build the controls read
// their places from here, so that moving a control is a change of one number.
#pragma once

#include <array>

#include "app/form_geometry.hpp"

namespace kavelin::app::layout {

inline constexpr int kClientWidth = 11865;
inline constexpr int kClientHeight = 8880;

// A column of controls of one kind: its left edge and width; rows give the tops.
struct Column {
  int left, width;
};
constexpr Rect At(Column c, int top, int height) {
  return {c.left, top, c.width, height};
}

// The template panel, at the top of the left column.
namespace picture {
inline constexpr Rect kPanel = {0, 0, 3000, 7300};
inline constexpr Rect kCaption = {120, 120, 1095, kCaptionHeight};
inline constexpr Rect kPicture = {120, 360, 2805, 2055};
// The picture's zoom, in the caption's row over the picture's right edge.
inline constexpr Rect kZoom = {2160, 45, 765, kListHeight};
inline constexpr Rect kBrowse = {2640, 2400, 255, 255};
// Opens the in-game preview; under the picture, left of the browse button.
inline constexpr Rect kGamePreview = {480, 2400, 2100, 255};
inline constexpr int kHeadingsTop = 2760;
inline constexpr Column kToggles = {120, 375};
// R, G, B and the SNES form of each entry.
inline constexpr std::array<Column, 4> kValues = {
    {{480, 495}, {960, 495}, {1440, 495}, {1920, 975}}};
inline constexpr int kFirstRowTop = 3000;
inline constexpr int kRowStep = 240;
inline constexpr int kToggleHeight = 255;
inline constexpr Rect kPreview = {120, 6960, 1215, kCaptionHeight};
}  // namespace picture

// Name, job name and gender, under the template panel.
namespace identity {
inline constexpr Column kCaptions = {120, 600};
inline constexpr Column kInputs = {720, 2175};
inline constexpr std::array<int, 3> kTops = {7320, 7680, 8040};
}  // namespace identity

// The frame of each section, in section order, and the two ticks at the top of each.
inline constexpr std::array<Rect, 7> kSectionFrames = {{
    {3120, 120, 4335, 3495},   // basic status
    {7560, 120, 4215, 3495},   // initial levels
    {3120, 3720, 3015, 2895},  // initial arts
    {6240, 3720, 3015, 2895},  // initial equipment
    {3120, 6720, 2415, 1695},  // forbidden spells
    {5640, 6720, 3255, 1695},  // other traits
    {9360, 3720, 2415, 2895},  // growth rates
}};
inline constexpr Rect kSectionOn = {120, 240, 1095, kCaptionHeight};
inline constexpr Rect kSectionLocked = {1200, 240, 1095, kCaptionHeight};

namespace basic {
// Column headings over the displays.
inline constexpr std::array<Column, 3> kHeadings = {{{1920, 495}, {2640, 735}, {3600, 495}}};
inline constexpr int kHeadingsTop = 600;
inline constexpr Column kCaptions = {120, 900};
inline constexpr Column kStats = {1080, 495};
// The star shift, the weapon shift and the sum, with the signs between them.
inline constexpr std::array<Column, 3> kDisplays = {{{1920, 495}, {2760, 495}, {3600, 495}}};
inline constexpr std::array<Column, 3> kSigns = {{{1560, 360}, {2400, 360}, {3240, 360}}};
inline constexpr int kSignsTop = 1560;
inline constexpr int kFirstStatTop = 840;
inline constexpr int kStatStep = 240;
inline constexpr int kLpTop = 2640;
inline constexpr Rect kLp = {1080, kLpTop, 495, kBoxHeight};
inline constexpr Rect kDestinyStar = {1920, kLpTop, 735, kListHeight};
inline constexpr Rect kFavouriteWeapon = {2760, kLpTop, 735, kListHeight};
inline constexpr Rect kTotal = {3600, kLpTop, 495, kCaptionHeight};
inline constexpr Rect kInspirationCaption = {120, 3000, 960, kCaptionHeight};
inline constexpr Rect kInspiration = {1080, 3000, 1335, kListHeight};
}  // namespace basic

namespace levels {
inline constexpr Rect kEarthFrame = {2040, 600, 1935, 1215};
inline constexpr Rect kHeavenFrame = {2040, 1920, 1935, 975};
// One row per level; the earth and heaven levels (6 and 7) sit inside their frames.
inline constexpr std::array<int, 9> kTops = {720, 960, 1200, 1440, 1680, 1920, 240, 240, 2280};
inline constexpr Column kCaptions = {120, 480};
inline constexpr Column kBoxes = {600, 495};
inline constexpr Column kGrows = {1200, 735};
inline constexpr Column kBoxesInFrame = {120, 495};
inline constexpr Column kGrowsInFrame = {720, 735};
inline constexpr std::array<Rect, 4> kEarthOptions = {
    {{120, 600, 735, 255}, {960, 600, 735, 255}, {120, 840, 735, 255}, {960, 840, 735, 255}}};
inline constexpr std::array<Rect, 2> kHeavenOptions = {
    {{120, 600, 735, 255}, {960, 600, 735, 255}}};
}  // namespace levels

// The eight slots of the arts and of the equipment frame.
namespace slot_rows {
inline constexpr std::array<int, 8> kTops = {600, 840, 1080, 1320, 1680, 1920, 2160, 2400};
inline constexpr Column kCaptions = {120, 600};
inline constexpr Column kLists = {720, 2175};
}  // namespace slot_rows

namespace growth {
inline constexpr std::array<int, 15> kTops = {600, 840, 1080, 1440, 1680, 1920, 2160, 2400,
                                              600, 840, 1080, 1320, 1560, 1800, 2160};
inline constexpr std::size_t kFirstOnTheRight = 8;
inline constexpr std::array<Column, 2> kCaptions = {{{120, 480}, {1320, 480}}};
inline constexpr std::array<Column, 2> kBoxes = {{{600, 495}, {1800, 495}}};
}  // namespace growth

inline constexpr std::array<Rect, 6> kForbiddenSchools = {{{120, 600, 735, kCaptionHeight},
                                                           {120, 840, 735, kCaptionHeight},
                                                           {120, 1080, 735, kCaptionHeight},
                                                           {120, 1320, 735, kCaptionHeight},
                                                           {960, 600, 735, kCaptionHeight},
                                                           {960, 840, 735, kCaptionHeight}}};

namespace traits {
inline constexpr int kFirstTop = 600;
inline constexpr int kStep = 240;
inline constexpr Column kCaptions = {120, 960};
inline constexpr Column kLists = {1080, 2055};
}  // namespace traits

inline constexpr Rect kCommentCaption = {9000, 6720, 1095, kCaptionHeight};
inline constexpr Rect kComment = {9000, 6960, 2775, 1455};
inline constexpr Rect kCreate = {9960, 8520, 1815, 255};

}  // namespace kavelin::app::layout
