// The application object: shows the loading wait box, runs the main dialog
// as the main window, then the goodbye splash for 17 seconds.
#pragma once

#include "run/InstallRun.h"
#include "framework/CWinApp.h"

namespace ui {

class CQuorvaneApp : public CWinApp {
 public:
  CQuorvaneApp() = default;
  ~CQuorvaneApp() override = default;

  // Returns FALSE: the process ends without entering a message loop.
  BOOL InitInstance() override;

  static constexpr UINT kGoodbyeBitmap = 3000;
  static constexpr int kGoodbyeTimeout = 3500000;
  static constexpr DWORD kGoodbyeTime = 17000;

 private:
  // What the dialog's commands work on, kept for the life of the process.
  engine::InstallRun m_run;
};

}  // namespace ui
