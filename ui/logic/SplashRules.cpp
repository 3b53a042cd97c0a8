#include "SplashRules.h"

namespace ui {

bool SplashHidesOnMessage(std::uint16_t flags, unsigned message) {
  if (!(flags & kSplashHideOnInput)) return false;
  switch (message) {
    case 0x0100:  // WM_KEYDOWN
    case 0x0104:  // WM_SYSKEYDOWN
    case 0x0201:  // WM_LBUTTONDOWN
    case 0x0204:  // WM_RBUTTONDOWN
    case 0x0207:  // WM_MBUTTONDOWN
      return true;
    default:
      return false;
  }
}

SplashTick SplashOnTimer(std::uint16_t flags, bool mainWindowExists) {
  return (flags & kSplashHideOnFirstTick) || mainWindowExists ? SplashTick::Hide
                                                              : SplashTick::Recheck;
}

}  // namespace ui
