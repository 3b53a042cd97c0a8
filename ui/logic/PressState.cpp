#include "PressState.h"

#include "StripLabel.h"

namespace ui {

bool CursorOnButton(const ScreenRect& r, int x, int y) {
  return r.left <= x && x <= r.right && r.top <= y && y <= r.bottom;
}

void PressState::Set(int state) {
  if (state == 0) m_pressed = false;
  else if (state == 1) m_pressed = true;
}

bool PressState::Tick(bool cursorOnButton) {
  if (cursorOnButton) return false;
  m_pressed = false;
  return true;
}

PressState::Draw PressState::OnDraw(bool enabled) {
  if (m_pressed) {
    const bool send = !m_commandSent;
    m_commandSent = true;
    return {kFramePressed, true, false, send};
  }
  m_commandSent = false;
  return {enabled ? kFrameNormal : kFrameDisabled, false, true, false};
}

}  // namespace ui
