#pragma once
#include <QRect>
#include <QSize>

namespace app {

// Where a window with a frame of `wanted` size goes so that it never covers
// `avoid`: below it, else above, else to its right, else to its left, inside
// `room`. When it fits nowhere it takes the largest free band, shrunk to fit.
QRect PlaceBeside(const QRect& avoid, const QSize& wanted, const QRect& room, int gap = 8);

}  // namespace app
