#include "app/screen_fit.hpp"

#include <QStyle>
#include <QWidget>
#include <algorithm>

namespace kavelin::app {

QSize FrameAllowance(const QWidget* window) {
  const QSize frame = window->frameGeometry().size() - window->size();
  return frame.isEmpty() ? QSize(0, window->style()->pixelMetric(QStyle::PM_TitleBarHeight))
                         : frame;
}

QRect KeptOnScreen(QRect placed, const QRect& available) {
  placed.moveRight(std::min(placed.right(), available.right()));
  placed.moveBottom(std::min(placed.bottom(), available.bottom()));
  placed.moveLeft(std::max(placed.left(), available.left()));
  placed.moveTop(std::max(placed.top(), available.top()));
  return placed;
}

}  // namespace kavelin::app
