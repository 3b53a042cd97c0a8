// Internal: the per-thread state behind AfxGetThread.
#pragma once

namespace ui {

class CWinThread;
class CWinApp;

namespace afx_state {
void SetCurrentThread(CWinThread* t);
void SetApp(CWinApp* app);
}  // namespace afx_state

}  // namespace ui
