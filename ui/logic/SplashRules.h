// When the splash window hides itself.
#pragma once

#include <cstdint>

namespace ui {

enum : std::uint16_t {
  kSplashHideOnInput = 0x0001,   // a key or mouse-button press hides it
  kSplashHideOnFirstTick = 0x0004,  // the first timer tick hides it
};

// A press of a key or of the left, right or middle mouse button hides the
// splash (and is consumed) when kSplashHideOnInput is set; nothing else does.
bool SplashHidesOnMessage(std::uint16_t flags, unsigned message);

// On a timer tick: hide now, or check again after kSplashRecheckMs.
enum class SplashTick { Hide, Recheck };
constexpr unsigned kSplashRecheckMs = 100;
SplashTick SplashOnTimer(std::uint16_t flags, bool mainWindowExists);

}  // namespace ui
