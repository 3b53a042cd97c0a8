#include "Quorvane.h"

#include <commctrl.h>

#include "QuorvaneDlg.h"
#include "Splash.h"
#include "SplashControl.h"
#include "WaitBox.h"
#include "framework/Afx.h"

namespace ui {

namespace {

// Registers the progress bar and tooltip classes the dialog uses.
void InitControls() {
  INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_PROGRESS_CLASS | ICC_WIN95_CLASSES};
  ::InitCommonControlsEx(&controls);
}

}  // namespace

BOOL CQuorvaneApp::InitInstance() {
  InitControls();
  ShowWaitBox("");
  ShowWaitBox("Quorvane is  loading - please wait ..");

  CQuorvaneDlg dialog(m_run, nullptr);
  m_pMainWnd = &dialog;
  dialog.DoModal();

  char module[kModuleNameSize];
  AfxGetModuleName(module, sizeof module);
  StartSplash(module, kGoodbyeBitmap, kGoodbyeTimeout);
  ::Sleep(kGoodbyeTime);
  m_pMainWnd = nullptr;
  return FALSE;
}

// The one application object of the process.
CQuorvaneApp theApp;

}  // namespace ui
