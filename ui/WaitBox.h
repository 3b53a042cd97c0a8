// The wait box: one process-wide, captionless, topmost status window that
// shows a line of text while the program is busy. Only the user-interface
// thread calls these.
#pragma once

#include <windows.h>

#include <cstddef>

namespace ui {

// The wait box while it exists, else null. Cleared by WaitBoxProc when the
// window is destroyed.
extern HWND WaitBoxWindow;
// The text shown when the box is created: a line break and the creating
// text (at most 298 characters of it).
inline constexpr std::size_t kWaitBoxTextSize = 300;
extern char WaitBoxText[kWaitBoxTextSize];

// Creates the box (from the template WAITBOX of the program's own module)
// with "\n" + text, or, when it exists, sets its text to text exactly and
// raises it. A failed creation leaves WaitBoxWindow null; the next call tries
// again.
void ShowWaitBox(const char* text);
// Destroys the box; harmless when there is none.
void CloseWaitBox();
// The box's dialog procedure: handles WM_INITDIALOG, WM_DESTROY and
// WM_NCDESTROY and returns FALSE for every message.
INT_PTR CALLBACK WaitBoxProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
// Moves window to the centre of the primary screen and shows it.
void CenterOnScreen(HWND window);

}  // namespace ui
