// Keeping top-level windows wholly on a screen.
#pragma once

#include <QRect>
#include <QSize>

class QWidget;

namespace kavelin::app {

// What the window manager adds around `window`: known once it has been shown; before
// that, a title bar's height is kept free.
QSize FrameAllowance(const QWidget* window);

// `placed` moved only as far as it takes to lie wholly inside `available` (its top-left
// kept inside when it is larger).
QRect KeptOnScreen(QRect placed, const QRect& available);

}  // namespace kavelin::app
