// The common tooltip control, owned by the window it serves.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include "CWnd.h"

namespace ui {

class CToolTipCtrl : public CWnd {
 public:
  BOOL Create(CWnd* owner, DWORD style = 0);
  void Activate(BOOL active) { SendMessage(TTM_ACTIVATE, active); }
  // The tool is the whole of wnd, identified by its handle.
  BOOL AddTool(CWnd* wnd, LPCSTR text);
  void RelayEvent(MSG* msg) { SendMessage(TTM_RELAYEVENT, 0, reinterpret_cast<LPARAM>(msg)); }
  int SetMaxTipWidth(int width) {
    return static_cast<int>(SendMessage(TTM_SETMAXTIPWIDTH, 0, width));
  }
};

}  // namespace ui
