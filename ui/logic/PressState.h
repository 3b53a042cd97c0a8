// The press behaviour of the bitmap strip button, apart from any window:
// the command fires once, when the pressed frame is first drawn; a timer
// watches while the button is held and cancels the press when the cursor has
// left; the next press fires again.
#pragma once

namespace ui {

struct ScreenRect {
  int left, top, right, bottom;
};

// The right and bottom edge coordinates count as inside.
bool CursorOnButton(const ScreenRect& window, int x, int y);

class PressState {
 public:
  // What one owner-draw request must do.
  struct Draw {
    int frame;          // strip frame to draw
    bool startTimer;    // (re)start the 200 ms leave check
    bool stopTimer;
    bool sendCommand;   // send WM_COMMAND to the parent now
  };

  bool Pressed() const { return m_pressed; }
  bool CommandSent() const { return m_commandSent; }

  void Press() { m_pressed = true; }
  void Release() { m_pressed = false; }
  // 0 clears the pressed state, 1 sets it, other values change nothing.
  void Set(int state);

  // A tick of the leave check. Returns true when the press is cancelled
  // (the caller stops the timer and redraws); the command is not sent again.
  bool Tick(bool cursorOnButton);

  Draw OnDraw(bool enabled);

 private:
  bool m_pressed = false;
  bool m_commandSent = false;
};

}  // namespace ui
