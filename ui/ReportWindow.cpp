#include "ReportWindow.h"

#include <cstring>

#include "ReportText.h"
#include "framework/Afx.h"
#include "resource.h"

namespace ui {

namespace {

constexpr char kCutNote[] =
    "\r\n... The report goes on beyond what this window can hold: Copy puts all of it on the clipboard.\r\n";
constexpr char kCopyFailedText[] = "The report could not be put on the clipboard.";

// Memory for the clipboard: freed unless the clipboard took it.
class ClipboardMemory {
 public:
  explicit ClipboardMemory(const std::string& text) : m_memory(::GlobalAlloc(GMEM_MOVEABLE, text.size() + 1)) {
    if (!m_memory) return;
    if (void* bytes = ::GlobalLock(m_memory)) {
      std::memcpy(bytes, text.c_str(), text.size() + 1);
      ::GlobalUnlock(m_memory);
    } else {
      Free();
    }
  }
  ~ClipboardMemory() { Free(); }
  ClipboardMemory(const ClipboardMemory&) = delete;
  ClipboardMemory& operator=(const ClipboardMemory&) = delete;

  HGLOBAL Get() const { return m_memory; }
  void GiveToClipboard() { m_memory = nullptr; }

 private:
  void Free() {
    if (m_memory) ::GlobalFree(m_memory);
    m_memory = nullptr;
  }
  HGLOBAL m_memory;
};

// The clipboard, open while the object lives.
class OpenClipboard {
 public:
  explicit OpenClipboard(HWND owner) : m_open(::OpenClipboard(owner) != FALSE) {}
  ~OpenClipboard() {
    if (m_open) ::CloseClipboard();
  }
  OpenClipboard(const OpenClipboard&) = delete;
  OpenClipboard& operator=(const OpenClipboard&) = delete;
  bool IsOpen() const { return m_open; }

 private:
  bool m_open;
};

bool PutOnClipboard(HWND owner, const std::string& text) {
  ClipboardMemory memory(text);
  if (!memory.Get()) return false;
  OpenClipboard clipboard(owner);
  if (!clipboard.IsOpen() || !::EmptyClipboard()) return false;
  if (!::SetClipboardData(CF_TEXT, memory.Get())) return false;
  memory.GiveToClipboard();
  return true;
}

// A fixed-pitch face at 9 points; where Courier New is missing the font
// mapper picks another fixed-pitch one.
LOGFONTA FixedPitchFont() {
  LOGFONTA font{};
  HDC screen = ::GetDC(nullptr);
  font.lfHeight = -::MulDiv(9, ::GetDeviceCaps(screen, LOGPIXELSY), 72);
  ::ReleaseDC(nullptr, screen);
  font.lfWeight = FW_NORMAL;
  font.lfCharSet = DEFAULT_CHARSET;
  font.lfPitchAndFamily = FIXED_PITCH | FF_MODERN;
  std::strncpy(font.lfFaceName, "Courier New", LF_FACESIZE - 1);
  return font;
}

}  // namespace

CReportWindow::CReportWindow(std::string caption, const std::string& text, CWnd* parent)
    : CDialog(IDD_REPORT, parent), m_caption(std::move(caption)), m_text(WithCrLf(text)) {}

BOOL CReportWindow::OnInitDialog() {
  SetWindowText(m_caption.c_str());
  m_font.CreateFontIndirect(FixedPitchFont());
  ::SendDlgItemMessageA(m_hWnd, IDC_REPORT_TEXT, WM_SETFONT, reinterpret_cast<WPARAM>(m_font.m_hObject), FALSE);
  ShowText();
  MeasureLayout();
  CRect client;
  GetClientRect(&client);
  Layout(client.Width(), client.Height());
  // The text takes the keys, so they scroll it; nothing is selected.
  HWND text = GetDlgItem(IDC_REPORT_TEXT);
  ::SetFocus(text);
  ::SendMessageA(text, EM_SETSEL, 0, 0);
  return FALSE;
}

void CReportWindow::ShowText() {
  HWND control = GetDlgItem(IDC_REPORT_TEXT);
  ::SendMessageA(control, EM_SETLIMITTEXT, 0, 0);
  ::SetWindowTextA(control, m_text.c_str());
  if (static_cast<std::size_t>(::GetWindowTextLengthA(control)) == m_text.size()) return;
  ::SetWindowTextA(control, FitForControl(m_text, kSmallestControlLimit, kCutNote).c_str());
}

void CReportWindow::MeasureLayout() {
  RECT units{7, 3, 54, 14};  // margin, gap, button width and height
  ::MapDialogRect(m_hWnd, &units);
  m_margin = units.left;
  m_gap = units.top;
  m_button = SIZE{units.right, units.bottom};
  CRect window;
  GetWindowRect(&window);
  m_minimum = SIZE{window.Width() / 2, window.Height() / 2};
}

void CReportWindow::Layout(int cx, int cy) {
  if (m_margin == 0) return;  // the controls are not there yet
  const int buttonY = cy - m_margin - m_button.cy;
  const int closeX = cx - m_margin - m_button.cx;
  const int copyX = closeX - m_gap - m_button.cx;
  ::MoveWindow(GetDlgItem(IDCANCEL), closeX, buttonY, m_button.cx, m_button.cy, TRUE);
  ::MoveWindow(GetDlgItem(IDC_REPORT_COPY), copyX, buttonY, m_button.cx, m_button.cy, TRUE);
  ::MoveWindow(GetDlgItem(IDC_REPORT_TEXT), m_margin, m_margin, cx - 2 * m_margin, buttonY - m_gap - m_margin, TRUE);
}

BOOL CReportWindow::OnCommand(WPARAM wp, LPARAM lp) {
  switch (LOWORD(wp)) {
    case IDC_REPORT_COPY: OnCopy(); return TRUE;
    default: return CDialog::OnCommand(wp, lp);
  }
}

void CReportWindow::OnCopy() {
  if (PutOnClipboard(m_hWnd, m_text)) return;
  ::MessageBoxA(m_hWnd, kCopyFailedText, AfxGetAppName(), MB_OK | MB_ICONEXCLAMATION);
}

void CReportWindow::OnSize(UINT type, int cx, int cy) {
  Default();
  if (type != SIZE_MINIMIZED) Layout(cx, cy);
}

void CReportWindow::OnGetMinMaxInfo(MINMAXINFO* info) {
  Default();
  if (m_minimum.cx == 0) return;
  info->ptMinTrackSize.x = m_minimum.cx;
  info->ptMinTrackSize.y = m_minimum.cy;
}

}  // namespace ui
