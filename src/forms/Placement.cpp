#include "Placement.h"

#include <algorithm>

namespace forms {

namespace {

enum class Side { Right, Below, Above, Left };

int Right(const Rect& r) { return r.left + r.width; }  // just past the rectangle
int Bottom(const Rect& r) { return r.top + r.height; }
Rect Between(int left, int top, int right, int bottom) { return {left, top, right - left, bottom - top}; }

Rect Band(Side side, const Rect& avoid, const Rect& room, int gap) {
    switch (side) {
        case Side::Below: return Between(room.left, Bottom(avoid) + gap, Right(room), Bottom(room));
        case Side::Above: return Between(room.left, room.top, Right(room), avoid.top - gap);
        case Side::Right: return Between(Right(avoid) + gap, room.top, Right(room), Bottom(room));
        case Side::Left: return Between(room.left, room.top, avoid.left - gap, Bottom(room));
    }
    return {};
}

int Clamp(int value, int low, int high) { return std::max(low, std::min(value, high)); }

// The window in the band, as close to `avoid` as it can be.
Rect Inside(Side side, const Rect& band, const Rect& avoid, int width, int height) {
    width = std::min(width, band.width);
    height = std::min(height, band.height);
    const int x = Clamp(avoid.left, band.left, Right(band) - width);
    const int y = Clamp(avoid.top, band.top, Bottom(band) - height);
    switch (side) {
        case Side::Below: return {x, band.top, width, height};
        case Side::Above: return {x, Bottom(band) - height, width, height};
        case Side::Right: return {band.left, y, width, height};
        case Side::Left: return {Right(band) - width, y, width, height};
    }
    return {};
}

}  // namespace

Rect PlaceBeside(const Rect& avoid, int width, int height, const Rect& room, int gap) {
    const Side sides[] = {Side::Right, Side::Below, Side::Above, Side::Left};
    Side best = Side::Right;
    long long bestScore = -1;
    for (Side side : sides) {
        const Rect band = Band(side, avoid, room, gap);
        if (band.width >= width && band.height >= height) return Inside(side, band, avoid, width, height);
        if (band.width <= 0 || band.height <= 0) continue;
        // A window that keeps its width only loses lines of text; one made
        // narrower may lose its buttons.
        const long long area = 1LL * std::min(band.width, width) * std::min(band.height, height);
        const long long score = band.width >= width ? (1LL << 40) + band.height : area;
        if (score > bestScore) {
            bestScore = score;
            best = side;
        }
    }
    // The main window fills the screen: beneath it, off the screen, rather than over it.
    if (bestScore < 0) return {avoid.left, Bottom(avoid) + gap, width, height};
    return Inside(best, Band(best, avoid, room, gap), avoid, width, height);
}

}  // namespace forms
