// Aviation motifs shared by several pictures. Each returns a shape placed
// at `at`, `scale` pixels per design unit (an airliner is about 100 units
// long) and rotated by `degrees` (clockwise, since y grows downwards).
#pragma once

#include "draw.h"

namespace art {

// An airliner seen from below, nose towards +x before rotation.
Sdf airlinerPlan(Pt at, double scale, double degrees);

// An airliner seen from the side, nose towards +x, fin up.
Sdf airlinerSide(Pt at, double scale, double degrees);

}  // namespace art
