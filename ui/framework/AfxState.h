// Internal: the per-thread state behind AfxGetThread.
#pragma once

class CWinThread;
class CWinApp;

namespace afx_state {
void SetCurrentThread(CWinThread* t);
void SetApp(CWinApp* app);
}  // namespace afx_state
