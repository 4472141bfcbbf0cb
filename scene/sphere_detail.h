// Window-free mapping of the scene settings to sphere detail and glyph quality.
#pragma once

namespace sphere_detail {

// Slices and stacks of the big sphere: 20, 30, or 40 for any other density.
int BigSlices(int density);
// Slices and stacks of the small sphere: 10, 15, 20; a density outside 0..2
// (only reachable by editing the registry) takes the nearest valid level.
int SmallSlices(int density);
// Quadric draw styles of the wrapper: 1 points, 2 lines, 3 fill.
int BigStyle(int gestalt);
int SmallStyle(int gestalt);
// Whether the small sphere needs its black core (points and wireframe).
bool SmallHasCore(int gestalt);
// Outline deviation of the glyphs: 0.75, 0.5, or the finest 0.0.
float OutlineDeviation(int resolution);

}  // namespace sphere_detail
