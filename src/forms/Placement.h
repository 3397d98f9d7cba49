#pragma once
#include "FormLayouts.h"

namespace forms {

// Where a window of `width` by `height` (with its frame) goes so that it
// never covers `avoid` (the main window): beside it (at its right), else
// below, else above, else at its left, the first that has room inside
// `room` (the work area of the main window's monitor), as close to `avoid` as
// it can be. Where none has room it takes a free band shrunk to fit: the
// tallest one that has the whole width, else the largest. Screen pixels, as
// each face measures them.
Rect PlaceBeside(const Rect& avoid, int width, int height, const Rect& room, int gap = 8);

}  // namespace forms
