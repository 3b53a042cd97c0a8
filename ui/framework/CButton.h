// A window of the system's "Button" class.
#pragma once

#include "CWnd.h"

namespace ui {

class CButton : public CWnd {
 public:
  BOOL Create(LPCSTR caption, DWORD style, const RECT& rect, CWnd* parent, UINT id) {
    return CreateEx(0, "Button", caption, style, rect, parent, id);
  }
};

}  // namespace ui
