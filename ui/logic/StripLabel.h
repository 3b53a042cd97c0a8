// Where the bitmap strip button puts its label, and how it draws it for each
// frame of the strip.
#pragma once

namespace ui {

// Frames of a button strip that the button draws.
enum StripFrame : int {
  kFrameNormal = 0,
  kFrameSecondColour = 2,  // drawn in the second label colour
  kFramePressed = 3,
  kFrameDisabled = 4,
};

struct LabelPoint {
  int x, y;
};

// Centres a label of textWidth x fontHeight on one frame of the strip:
// horizontally on the frame width, vertically on the strip's height (not the
// window's), then moves it by the offsets. Each halving truncates toward
// zero, so a label wider than the frame gets a negative x and overhangs both
// sides equally.
LabelPoint LabelOrigin(int frameWidth, int stripHeight, int textWidth, int fontHeight,
                       int offsetX, int offsetY);

// One TextOut of the label.
struct LabelPass {
  int dx, dy;          // added to the label origin
  enum Colour { Current, Highlight, Shadow } colour;
};

// The passes for a frame, in drawing order: pressed draws once one pixel
// right and down; disabled embosses (highlight right and down, then shadow
// on top); any other frame draws once in place. Returns the number of passes.
int LabelPasses(int frame, LabelPass out[2]);

}  // namespace ui
