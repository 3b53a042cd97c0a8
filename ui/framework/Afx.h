// Process-wide services of our window framework: the application and the
// current thread objects, the module that resources are loaded from, the
// application name, and window classes registered on demand.
#pragma once

#include <windows.h>

#include <cstddef>

namespace ui {

class CWinApp;
class CWinThread;
class CWnd;

// The one application object, or null when the program has none (tests).
CWinApp* AfxGetApp();
// The thread object running on the calling thread: a CWinThread started by
// us, or the application object on the thread that made it; else null.
CWinThread* AfxGetThread();

// The module that LoadBitmap and the dialog templates read from; at first
// the executable.
HINSTANCE AfxGetResourceHandle();
void AfxSetResourceHandle(HINSTANCE module);

// The executable's file name without its extension (or the name the
// application object was given).
LPCSTR AfxGetAppName();
// The application name followed by ".exe": the name by which the program's
// own module is found with GetModuleHandle. Cut to cap - 1 characters.
void AfxGetModuleName(char* buf, std::size_t cap);
// A buffer that holds any module name AfxGetModuleName gives.
inline constexpr std::size_t kModuleNameSize = 300;

// Registers (once) a window class with DefWindowProc as its procedure and
// returns its name, which stays valid for the whole process.
LPCSTR AfxRegisterWndClass(UINT classStyle, HCURSOR cursor = nullptr,
                           HBRUSH background = nullptr, HICON icon = nullptr);

// The "user control" flag of the program: set unless the program was
// started to serve something else. Threads that would show windows check it.
BOOL AfxOleGetUserCtrl();
void AfxOleSetUserCtrl(BOOL userCtrl);

// Offers msg to PreTranslateMessage of the windows from its target up to
// its top-level window; TRUE when one of them consumed it.
BOOL AfxPreTranslateMessage(MSG* msg);

}  // namespace ui
