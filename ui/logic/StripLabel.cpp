#include "StripLabel.h"

namespace ui {

LabelPoint LabelOrigin(int frameWidth, int stripHeight, int textWidth, int fontHeight,
                       int offsetX, int offsetY) {
  // C++ integer division truncates toward zero, as the drawing expects.
  return {(frameWidth - textWidth) / 2 + offsetX, (stripHeight - fontHeight) / 2 + offsetY};
}

int LabelPasses(int frame, LabelPass out[2]) {
  switch (frame) {
    case kFramePressed:
      out[0] = {1, 1, LabelPass::Current};
      return 1;
    case kFrameDisabled:
      out[0] = {1, 1, LabelPass::Highlight};
      out[1] = {0, 0, LabelPass::Shadow};
      return 2;
    default:
      out[0] = {0, 0, LabelPass::Current};
      return 1;
  }
}

}  // namespace ui
