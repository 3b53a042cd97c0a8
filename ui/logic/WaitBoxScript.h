// What the main window's wait box does at each step of a command.
#pragma once

#include <cstddef>

#include "run/InstallHost.h"

namespace ui {

struct WaitBoxCue {
  enum class Kind { WaitCursor, Show, Pause, Close };
  Kind kind;
  const char* text;       // Show: the box's text
  unsigned milliseconds;  // Pause: how long
};

struct WaitBoxCues {
  const WaitBoxCue* first;
  std::size_t count;
  const WaitBoxCue* begin() const { return first; }
  const WaitBoxCue* end() const { return first + count; }
};

// The cues of one step, in order; none for a step the box does not mark.
WaitBoxCues WaitBoxCuesAt(engine::CommandStep step);

// Plays the cues of a step on `box`, which has SetWaitCursor, ShowWaitBox,
// Pause and CloseWaitBox: the window, or a stand-in for it in tests.
// Without pauses for a run that changes nothing.
template <class Box>
void PlayWaitBoxStep(engine::CommandStep step, Box& box, bool withPauses = true) {
  for (const WaitBoxCue& cue : WaitBoxCuesAt(step)) {
    switch (cue.kind) {
      case WaitBoxCue::Kind::WaitCursor: box.SetWaitCursor(); break;
      case WaitBoxCue::Kind::Show: box.ShowWaitBox(cue.text); break;
      case WaitBoxCue::Kind::Pause:
        if (withPauses) box.Pause(cue.milliseconds);
        break;
      case WaitBoxCue::Kind::Close: box.CloseWaitBox(); break;
    }
  }
}

}  // namespace ui
