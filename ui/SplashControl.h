// The splash as the program uses it: the bitmap it shows, the thread that
// runs it, and the two functions that start and hide it. Kept apart from
// the two classes so that the window reads the bitmap and hides itself
// without knowing the thread class, and the thread makes its window
// without this header knowing either.
#pragma once

#include <windows.h>

#include "framework/Gdi.h"

namespace ui {

class CSplash;

// The splash bitmap; replaced by each StartSplash, lives until the process ends.
extern CBitmap* SplashBitmap;
// The running splash thread, or null (before the first StartSplash, after
// hiding, or when the thread has ended).
extern CSplash* SplashThreadSlot;

// Loads bitmap bitmapId of the module moduleName as SplashBitmap and, on the
// first call in the process only, starts the splash thread with hide-on-
// input behaviour and the given timeout (-1: no timer).
void StartSplash(LPCSTR moduleName, UINT bitmapId, int timeout);
// Closes the splash window of thread (nothing when null) and clears its slot.
// Runs on the splash thread.
void HideSplash(CSplash* thread);

}  // namespace ui
