#include "WindowPlacement.h"

#include "forms/Placement.h"

namespace app {

namespace {
forms::Rect Plain(const QRect& r) { return {r.left(), r.top(), r.width(), r.height()}; }
}  // namespace

QRect PlaceBeside(const QRect& avoid, const QSize& wanted, const QRect& room, int gap) {
    const forms::Rect spot = forms::PlaceBeside(Plain(avoid), wanted.width(), wanted.height(), Plain(room), gap);
    return QRect(spot.left, spot.top, spot.width, spot.height);
}

}  // namespace app
