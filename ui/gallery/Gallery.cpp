// ui-gallery: shows each window of the toolkit on its own, to look at and to
// drive from tests. Not part of the product.
//
//   ui-gallery.exe PAGE [SECONDS]
//     waitbox   the wait box with the loading text
//     dialog    the shaped bitmap dialog with the four strip buttons
//     buttons   strip buttons in each state over a patterned background
//     splash    the goodbye splash on its own thread
//   SECONDS: close after that long (default: stay until closed; the splash
//   page waits 17 s). Commands of the buttons are printed as "command ID";
//   the dialog page prints "ready" once its message loop runs.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <vector>

#include "Splash.h"
#include "SplashControl.h"
#include "WaitBox.h"
#include "ZRVBitmapDialog.h"
#include "ZRVHotSyncButton.h"
#include "framework/Afx.h"
#include "framework/CWinApp.h"
#include "framework/Dc.h"
#include "resource.h"

using namespace ui;

namespace {

constexpr UINT_PTR kCloseTimer = 99;
constexpr UINT_PTR kReadyTimer = 98;  // its first tick shows the loop is running
constexpr COLORREF kWhite = RGB(255, 255, 255);

void ReportCommand(WPARAM wp) {
  std::printf("command %u\n", static_cast<unsigned>(LOWORD(wp)));
  std::fflush(stdout);
}

// Runs the thread's messages for ms milliseconds (forever when ms < 0).
void PumpFor(int ms) {
  const DWORD end = ::GetTickCount() + static_cast<DWORD>(ms);
  for (;;) {
    MSG msg;
    while (::PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
      if (msg.message == WM_QUIT) return;
      ::TranslateMessage(&msg);
      ::DispatchMessageA(&msg);
    }
    if (ms >= 0 && static_cast<LONG>(::GetTickCount() - end) >= 0) return;
    ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
  }
}

// The skinned dialog, laid out like the program's main dialog.
class GalleryDialog : public ZRVBitmapDialog {
 public:
  explicit GalleryDialog(int seconds) : ZRVBitmapDialog(IDD_QUORVANE_DIALOG, nullptr), m_seconds(seconds) {}

  BOOL OnInitDialog() override {
    ZRVBitmapDialog::OnInitDialog();
    SetBitmap(IDB_BACKGROUND);
    SetShaped(TRUE);
    SetColorKey(RGB(255, 0, 255));
    SetTransparentStatics(TRUE);
    SetDragAnywhere(TRUE);
    SetWindowText("Quorvane Gallery - shaped dialog");
    char module[kModuleNameSize];
    AfxGetModuleName(module, sizeof module);
    struct Row { const char* caption; const char* tip; UINT id; CRect place; UINT strip; UINT fw; bool white; };
    const Row rows[] = {
        {"Exit", "Exit program ....", 10000, CRect(370, 275, 106, 25), IDB_BUTTONS_WIDE, 106, false},
        {"Install", "Start installation", 6000, CRect(370, 305, 106, 25), IDB_BUTTONS_WIDE, 106, false},
        {"...", "Browse FS2k Folder", 4001, CRect(260, 190, 20, 20), IDB_BUTTONS_SMALL, 25, true},
        {"...", "Browse SquawkBox Folder", 5001, CRect(260, 232, 20, 20), IDB_BUTTONS_SMALL, 25, true},
    };
    for (const Row& r : rows) {
      auto b = std::make_unique<ZRVHotSyncButton>();
      b->CreateButton(module, r.caption, r.tip, r.id, r.place, this, r.strip, r.fw);
      b->SetTextOffset(0, -2);
      if (r.white) b->SetTextColors(kWhite, kWhite);
      m_buttons.push_back(std::move(b));
    }
    ::SendDlgItemMessageA(m_hWnd, IDC_AIRLINE_LIST, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>("Example Air"));
    ::SendDlgItemMessageA(m_hWnd, IDC_AIRLINE_LIST, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>("Sample Airways"));
    ::SetDlgItemTextA(m_hWnd, IDC_FS_FOLDER, "C:\\FS2002");
    ::SetDlgItemTextA(m_hWnd, IDC_SQUAWKBOX_FOLDER, "C:\\SquawkBox");
    ::SendDlgItemMessageA(m_hWnd, IDC_PROGRESS_AIRLINE, PBM_SETPOS, 40, 0);
    ::SendDlgItemMessageA(m_hWnd, IDC_PROGRESS_OVERALL, PBM_SETPOS, 75, 0);
    if (m_seconds > 0) SetTimer(kCloseTimer, static_cast<UINT>(m_seconds * 1000));
    SetTimer(kReadyTimer, 10);
    return TRUE;
  }

  // With QV_GALLERY_TRACE set, every mouse message the loop sees is printed.
  BOOL PreTranslateMessage(MSG* msg) override {
    static const bool trace = std::getenv("QV_GALLERY_TRACE") != nullptr;
    if (trace && ((msg->message >= WM_MOUSEFIRST && msg->message <= WM_MOUSELAST) ||
                  (msg->message >= WM_NCMOUSEMOVE && msg->message <= WM_NCXBUTTONDBLCLK))) {
      std::printf("mouse 0x%04x id %d\n", msg->message, ::GetDlgCtrlID(msg->hwnd));
      std::fflush(stdout);
    }
    return ZRVBitmapDialog::PreTranslateMessage(msg);
  }

 protected:
  BOOL OnCommand(WPARAM wp, LPARAM lp) override {
    if (HIWORD(wp) == 0 && lp == 0) ReportCommand(wp);
    if (LOWORD(wp) == 10000) {
      OnCancel();
      return TRUE;
    }
    return ZRVBitmapDialog::OnCommand(wp, lp);
  }
  void OnTimer(UINT_PTR id) override {
    if (id == kReadyTimer) {
      KillTimer(kReadyTimer);
      std::printf("ready\n");
      std::fflush(stdout);
    }
    if (id == kCloseTimer) EndDialog(IDOK);
  }

 private:
  int m_seconds;
  std::vector<std::unique_ptr<ZRVHotSyncButton>> m_buttons;
};

// A window with a checked background, to show the strips' transparency.
class ButtonBoard : public CWnd {
 public:
  BOOL Create(int seconds) {
    LPCSTR cls = AfxRegisterWndClass(0, ::LoadCursorA(nullptr, IDC_ARROW));
    if (!CreateEx(0, cls, "Quorvane Gallery - buttons", WS_POPUP | WS_VISIBLE | WS_BORDER, 40, 40,
                  420, 200, nullptr, nullptr))
      return FALSE;
    char module[kModuleNameSize];
    AfxGetModuleName(module, sizeof module);
    struct Row { const char* caption; const char* tip; UINT id; CRect place; UINT strip; UINT fw; };
    const Row rows[] = {
        {"Exit", "Exit program ....", 101, CRect(20, 20, 106, 25), IDB_BUTTONS_WIDE, 106},
        {"Pressed", nullptr, 102, CRect(150, 20, 106, 25), IDB_BUTTONS_WIDE, 106},
        {"Disabled", nullptr, 103, CRect(280, 20, 106, 25), IDB_BUTTONS_WIDE, 106},
        {"A label much wider than its frame", nullptr, 104, CRect(20, 70, 106, 30), IDB_BUTTONS_WIDE, 106},
        {"", nullptr, 105, CRect(150, 70, 106, 30), IDB_BUTTONS_WIDE, 106},
        {"...", "Browse", 106, CRect(280, 70, 20, 20), IDB_BUTTONS_SMALL, 25},
        {"...", nullptr, 107, CRect(320, 70, 25, 23), IDB_BUTTONS_SMALL, 25},
    };
    for (const Row& r : rows) {
      auto b = std::make_unique<ZRVHotSyncButton>();
      b->CreateButton(module, r.caption, r.tip, r.id, r.place, this, r.strip, r.fw);
      b->SetTextOffset(0, -2);
      if (r.strip == IDB_BUTTONS_SMALL) b->SetTextColors(kWhite, kWhite);
      m_buttons.push_back(std::move(b));
    }
    m_buttons[2]->EnableWindow(FALSE);
    m_buttons[1]->SetPressed(1);  // drawn pressed (and so sends its command once)
    if (seconds > 0) SetTimer(kCloseTimer, static_cast<UINT>(seconds * 1000));
    return TRUE;
  }

 protected:
  void OnPaint() override {
    CPaintDC dc(this);
    CRect r;
    GetClientRect(&r);
    CBrush dark, light;
    dark.CreateSolidBrush(RGB(60, 90, 60));
    light.CreateSolidBrush(RGB(230, 200, 80));
    for (int y = 0; y < r.bottom; y += 10)
      for (int x = 0; x < r.right; x += 10) {
        RECT cell{x, y, x + 10, y + 10};
        ::FillRect(dc, &cell, ((x + y) / 10) % 2 ? dark : light);
      }
  }
  BOOL OnEraseBkgnd(CDC*) override { return TRUE; }
  BOOL OnCommand(WPARAM wp, LPARAM) override {
    ReportCommand(wp);
    return TRUE;
  }
  void OnTimer(UINT_PTR id) override {
    if (id == kCloseTimer) DestroyWindow();
  }
  int OnCreate(LPCREATESTRUCTA cs) override { return CWnd::OnCreate(cs); }

 private:
  std::vector<std::unique_ptr<ZRVHotSyncButton>> m_buttons;
};

class GalleryApp : public CWinApp {
 public:
  BOOL InitInstance() override {
    const char* page = __argc > 1 ? __argv[1] : "dialog";
    const int seconds = __argc > 2 ? std::atoi(__argv[2]) : 0;
    INITCOMMONCONTROLSEX icc{sizeof icc, ICC_WIN95_CLASSES};
    ::InitCommonControlsEx(&icc);
    if (std::strcmp(page, "waitbox") == 0) {
      ShowWaitBox("");
      ShowWaitBox("Quorvane is  loading - please wait ..");
      PumpFor(seconds > 0 ? seconds * 1000 : -1);
      CloseWaitBox();
      return FALSE;
    }
    if (std::strcmp(page, "splash") == 0) {
      char module[kModuleNameSize];
      AfxGetModuleName(module, sizeof module);
      StartSplash(module, IDB_GOODBYE, 3500000);
      ::Sleep(seconds > 0 ? static_cast<DWORD>(seconds) * 1000 : 17000);
      return FALSE;
    }
    if (std::strcmp(page, "buttons") == 0) {
      m_board = std::make_unique<ButtonBoard>();
      if (!m_board->Create(seconds)) return FALSE;
      m_pMainWnd = m_board.get();
      return TRUE;  // runs the message loop until the board is closed
    }
    GalleryDialog dlg(seconds);
    m_pMainWnd = &dlg;
    dlg.DoModal();
    return FALSE;
  }

 private:
  std::unique_ptr<ButtonBoard> m_board;
};

GalleryApp theApp;

}  // namespace
