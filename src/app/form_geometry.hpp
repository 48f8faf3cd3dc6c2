// The form's geometry, in twips: without Qt, so that the window and the web page place
// their controls from the same numbers.
#pragma once

namespace kavelin::app {

// Positions are laid out in twips, 15 to a pixel at 96 dots per inch; Qt scales pixels
// with the screen's device pixel ratio.
constexpr int Px(int twips) {
  return (twips + 7) / 15;
}

// A rectangle of the layout, in twips.
struct Rect {
  int left, top, width, height;
};

// Heights of the kinds of control, in twips.
inline constexpr int kCaptionHeight = 255;
inline constexpr int kBoxHeight = 270;
inline constexpr int kListHeight = 300;
// Boxes and lists stacked 240 twips apart are made that tall, so that their borders do not
// overlap.
inline constexpr int kStackedHeight = 240;

}  // namespace kavelin::app
