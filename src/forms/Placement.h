#pragma once
#include "FormLayouts.h"

namespace forms {

// Where a window of `width` by `height` (with its frame) goes so that it
// never covers `avoid`: below it, else above, else to its right, else to its
// left, inside `room`. When it fits nowhere it takes the largest free band,
// shrunk to fit. Screen pixels, as each face measures them.
Rect PlaceBeside(const Rect& avoid, int width, int height, const Rect& room, int gap = 8);

}  // namespace forms
