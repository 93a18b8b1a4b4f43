// Drawing primitives for scripts: pixels, lines, rectangles and circles in
// one palette colour, clipped to the back buffer. With a blend level (0-2)
// each pixel becomes BlendTable entry (pixel, colour) at that level, as a
// sprite's blended pixel does; every pixel of a shape is touched once, so a
// blended shape blends evenly. Coordinates may be any int: the work done
// depends on what is visible, not on the shape's size.
#pragma once

#include "video/surface.h"

namespace video {

// The blend argument's "none": each pixel becomes the colour.
constexpr int kNoBlend = -1;

// The shapes on any surface; `colour` 0-255 and `blend` kNoBlend or 0-2,
// already checked.
void PlotPixel(Surface* target, int x, int y, int colour, int blend);
// Bresenham: both end points, one pixel per step along the longer axis.
void PlotLine(Surface* target, int x0, int y0, int x1, int y1, int colour, int blend);
void PlotRect(Surface* target, int x, int y, int w, int h, bool filled, int colour, int blend);
// The midpoint circle; r = 0 is one pixel, r < 0 nothing. The filled circle
// covers exactly the outline and what it encloses.
void PlotCircle(Surface* target, int cx, int cy, int r, bool filled, int colour, int blend);

// Script-facing, into BackBuffer: a colour outside 0-255 or a blend level
// other than kNoBlend, 0, 1 or 2 is a script error naming the function.
void DrawPixel(int x, int y, int colour, int blend);
void DrawLine(int x0, int y0, int x1, int y1, int colour, int blend);
void DrawRect(int x, int y, int w, int h, int colour, int blend);
void FillRect(int x, int y, int w, int h, int colour, int blend);
void DrawCircle(int cx, int cy, int r, int colour, int blend);
void FillCircle(int cx, int cy, int r, int colour, int blend);

}  // namespace video
