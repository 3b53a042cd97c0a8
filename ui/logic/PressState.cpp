#include "PressState.h"

#include "StripLabel.h"

namespace ui {

bool CursorOnButton(const ScreenRect& r, int x, int y) {
  return r.left <= x && x <= r.right && r.top <= y && y <= r.bottom;
}

void PressState::Set(int state) {
  if (state == 0) pressed_ = false;
  else if (state == 1) pressed_ = true;
}

bool PressState::Tick(bool cursorOnButton) {
  if (cursorOnButton) return false;
  pressed_ = false;
  return true;
}

PressState::Draw PressState::OnDraw(bool enabled) {
  if (pressed_) {
    const bool send = !commandSent_;
    commandSent_ = true;
    return {kFramePressed, true, false, send};
  }
  commandSent_ = false;
  return {enabled ? kFrameNormal : kFrameDisabled, false, true, false};
}

}  // namespace ui
