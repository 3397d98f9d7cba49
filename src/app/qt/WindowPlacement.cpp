#include "WindowPlacement.h"

#include <algorithm>

namespace app {

namespace {

enum class Side { Below, Above, Right, Left };

QRect Band(Side side, const QRect& avoid, const QRect& room, int gap) {
    switch (side) {
    case Side::Below: return QRect(QPoint(room.left(), avoid.bottom() + 1 + gap), room.bottomRight());
    case Side::Above: return QRect(room.topLeft(), QPoint(room.right(), avoid.top() - 1 - gap));
    case Side::Right: return QRect(QPoint(avoid.right() + 1 + gap, room.top()), room.bottomRight());
    case Side::Left: return QRect(room.topLeft(), QPoint(avoid.left() - 1 - gap, room.bottom()));
    }
    return {};
}

int Clamp(int value, int low, int high) { return std::max(low, std::min(value, high)); }

// The window in the band, as close to `avoid` as it can be.
QRect Inside(Side side, const QRect& band, const QRect& avoid, QSize size) {
    size = size.boundedTo(band.size());
    const int x = Clamp(avoid.left(), band.left(), band.right() + 1 - size.width());
    const int y = Clamp(avoid.top(), band.top(), band.bottom() + 1 - size.height());
    switch (side) {
    case Side::Below: return QRect(QPoint(x, band.top()), size);
    case Side::Above: return QRect(QPoint(x, band.bottom() + 1 - size.height()), size);
    case Side::Right: return QRect(QPoint(band.left(), y), size);
    case Side::Left: return QRect(QPoint(band.right() + 1 - size.width(), y), size);
    }
    return {};
}

}  // namespace

QRect PlaceBeside(const QRect& avoid, const QSize& wanted, const QRect& room, int gap) {
    const Side sides[] = {Side::Below, Side::Above, Side::Right, Side::Left};
    Side best = Side::Below;
    long long bestArea = -1;
    for (Side side : sides) {
        const QRect band = Band(side, avoid, room, gap);
        if (band.width() >= wanted.width() && band.height() >= wanted.height())
            return Inside(side, band, avoid, wanted);
        if (band.isEmpty()) continue;
        const long long area = 1LL * std::min(band.width(), wanted.width())
                               * std::min(band.height(), wanted.height());
        if (area > bestArea) {
            bestArea = area;
            best = side;
        }
    }
    // The main window fills the screen: beneath it, off the screen, rather than over it.
    if (bestArea < 0) return QRect(QPoint(avoid.left(), avoid.bottom() + 1 + gap), wanted);
    return Inside(best, Band(best, avoid, room, gap), avoid, wanted);
}

}  // namespace app
