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

}  // namespace ui
