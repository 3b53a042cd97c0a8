#include "QuorvaneDlg.h"

#include <commctrl.h>

#include <exception>
#include <new>
#include <string>

#include <shellapi.h>

#include "catalogue/Catalogue.h"
#include "DirDialog.h"
#include "checks/FileCheck.h"
#include "staging/FileSwap.h"
#include "commands/FolderSettings.h"
#include "commands/InstallCommand.h"
#include "run/InstallRun.h"
#include "commands/Preview.h"
#include "PreviewHost.h"
#include "ReportWindow.h"
#include "SafetyMenu.h"
#include "WaitBox.h"
#include "WaitBoxScript.h"
#include "framework/Afx.h"
#include "framework/Dc.h"
#include "resource.h"

namespace ui {

using engine::Answer;
using engine::FolderKind;
using engine::InstallRequest;
using engine::InstallRun;
using engine::ListEntry;
using engine::MessageKind;
using engine::ProgressBar;

namespace {

constexpr int kBrowseFsCommand = 4001;
constexpr int kBrowseSquawkBoxCommand = 5001;
constexpr int kInstallCommand = 6000;
constexpr int kExitCommand = 10000;
constexpr COLORREF kMagenta = RGB(255, 0, 255);
constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr int kListSelectLimit = 3000;
constexpr char kPreviewCaption[] = "Preview of the install - Quorvane";
constexpr char kCheckCaption[] = "Check of your files - Quorvane";

struct ButtonRow {
  const char* caption;
  const char* tooltip;
  UINT id;
  CRect placement;  // left, top, width, height
  UINT strip;
  UINT frameWidth;
};

// In creation order: Exit, Install, then the two browse buttons.
const ButtonRow kButtons[] = {
    {"Exit", "Exit program ....", kExitCommand, CRect(370, 275, 106, 25), IDB_BUTTONS_WIDE, 106},
    {"Install", "Start installation", kInstallCommand, CRect(370, 305, 106, 25), IDB_BUTTONS_WIDE, 106},
    {"...", "Browse FS2k Folder", kBrowseFsCommand, CRect(260, 190, 20, 20), IDB_BUTTONS_SMALL, 25},
    {"...", "Browse SquawkBox Folder", kBrowseSquawkBoxCommand, CRect(260, 232, 20, 20), IDB_BUTTONS_SMALL, 25},
};

int ProgressBarId(ProgressBar bar) { return bar == ProgressBar::Airline ? IDC_PROGRESS_AIRLINE : IDC_PROGRESS_OVERALL; }

int FieldId(FolderKind field) { return field == FolderKind::Fs ? IDC_FS_FOLDER : IDC_SQUAWKBOX_FOLDER; }

}  // namespace

CQuorvaneDlg::CQuorvaneDlg(InstallRun& run, CWnd* parent)
    : ZRVBitmapDialog(IDD_QUORVANE_DIALOG, parent),
      m_run(run),
      m_appIcon(::LoadIconA(AfxGetResourceHandle(), MAKEINTRESOURCEA(IDR_MAINFRAME))) {}

CQuorvaneDlg::~CQuorvaneDlg() = default;  // the icon is a shared resource icon: never destroyed

BOOL CQuorvaneDlg::OnInitDialog() {
  ZRVBitmapDialog::OnInitDialog();
  SetBitmap(IDB_BACKGROUND);
  SetShaped(TRUE);
  SetColorKey(kMagenta);
  SetTransparentStatics(TRUE);
  SetDragAnywhere(TRUE);

  SetWindowText("Quorvane V1.1");
  SetIcon(m_appIcon, TRUE);
  SetIcon(m_appIcon, FALSE);

  std::vector<std::string> entries;
  engine::FillAirlineList(m_run.CatalogueFolder(), &entries);
  FillList(entries);
  FillFolderFields();
  CreateButtons();
  AddSafetyNet();

  SendToList(LB_SELITEMRANGE, FALSE, 0x0000FFFF);
  ui::CloseWaitBox();
  SetTimer(kSelectAllTimer, kSelectAllDelay);
  return TRUE;
}

void CQuorvaneDlg::CreateButtons() {
  char module[kModuleNameSize];
  AfxGetModuleName(module, sizeof module);
  ZRVHotSyncButton* buttons[] = {&m_exitButton, &m_installButton, &m_fsBrowseButton, &m_squawkBoxBrowseButton};
  for (std::size_t i = 0; i < 4; ++i) {
    const ButtonRow& row = kButtons[i];
    buttons[i]->CreateButton(module, row.caption, row.tooltip, row.id, row.placement, this, row.strip,
                             row.frameWidth);
    buttons[i]->SetTextOffset(0, -2);
  }
  m_fsBrowseButton.SetTextColors(kWhite, kWhite);
  m_squawkBoxBrowseButton.SetTextColors(kWhite, kWhite);
}

// The window has no caption, so a system menu draws nothing; with it,
// Alt+Space (and on Windows the taskbar button) opens that menu, which ends
// with the safety net's commands.
void CQuorvaneDlg::AddSafetyNet() {
  ::SetWindowLongPtrA(m_hWnd, GWL_STYLE, ::GetWindowLongPtrA(m_hWnd, GWL_STYLE) | WS_SYSMENU);
  AppendSafetyItems(::GetSystemMenu(m_hWnd, FALSE));
  CreateSafetyAccelerators(&m_safetyKeys);
}

void CQuorvaneDlg::FillList(const std::vector<std::string>& entries) {
  SendToList(LB_RESETCONTENT, 0, 0);
  for (const std::string& entry : entries) SendToList(LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(entry.c_str()));
}

void CQuorvaneDlg::FillFolderFields() {
  const engine::RememberedFolders folders = engine::LoadFolderFields();
  SetFieldText(FolderKind::Fs, folders.fsFolder.c_str());
  SetFieldText(FolderKind::SquawkBox, folders.squawkBoxFolder.c_str());
}

void CQuorvaneDlg::OnCancel() { EndDialog(IDOK); }

BOOL CQuorvaneDlg::OnCommand(WPARAM wp, LPARAM lp) {
  // The one place where an exception of a command ends up: none may cross
  // the window procedure. Memory that ran out, or anything else, ends the
  // command with its files as it found them and a message.
  try {
    return DispatchCommand(wp, lp);
  } catch (const std::bad_alloc&) {
    OnCommandStopped(engine::CommandStop::OutOfMemory, nullptr);
  } catch (const std::exception& error) {
    OnCommandStopped(engine::CommandStop::Error, error.what());
  } catch (...) {
    OnCommandStopped(engine::CommandStop::Error, nullptr);
  }
  return TRUE;
}

BOOL CQuorvaneDlg::DispatchCommand(WPARAM wp, LPARAM lp) {
  switch (LOWORD(wp)) {
    case kBrowseFsCommand: OnBrowseFsFolder(); return TRUE;
    case kBrowseSquawkBoxCommand: OnBrowseSquawkBoxFolder(); return TRUE;
    case kInstallCommand: OnInstall(); return TRUE;
    case kExitCommand: OnCancel(); return TRUE;
    default: break;
  }
  if (!IsSafetyCommand(LOWORD(wp))) return ZRVBitmapDialog::OnCommand(wp, lp);
  OnSafetyCommand(LOWORD(wp));
  return TRUE;
}

BOOL CQuorvaneDlg::OnSysCommand(UINT id, LPARAM) {
  if (!IsSafetyCommand(id)) return FALSE;
  // Through OnCommand, whose catch gives the files back after an exception.
  return OnCommand(MAKEWPARAM(id, 0), 0);
}

void CQuorvaneDlg::OnSafetyCommand(UINT id) {
  // A key may ask for a command the menus grey: it does nothing.
  if (!CanApply(id, LookAtFolders())) {
    ::MessageBeep(MB_OK);
    return;
  }
  switch (id) {
    case kPreviewCommand: OnPreviewInstall(); return;
    case kCheckCommand: OnCheckFiles(); return;
    case kUndoCommand: OnUndoLastRun(); return;
    case kOriginalCommand: OnBackToOriginal(); return;
    case kRemoveCommand: OnRemoveEntries(); return;
    case kOpenBackupsCommand: OnOpenBackupFolder(); return;
  }
}

void CQuorvaneDlg::OnCommandStopped(engine::CommandStop stop, const char* detail) noexcept {
  const engine::AbandonedCommand abandoned = engine::AbandonCommand(m_run, stop, detail);
  try {
    ui::CloseWaitBox();
  } catch (...) {
    // The message below matters more than the box.
  }
  ::SetCursor(::LoadCursorA(nullptr, IDC_ARROW));
  ::MessageBoxA(::GetActiveWindow(), abandoned.Message(), AfxGetAppName(), MB_OK | MB_ICONEXCLAMATION);
}

void CQuorvaneDlg::OnInstall() { engine::OnInstall(m_run, Request(), *this); }
void CQuorvaneDlg::OnBrowseFsFolder() { engine::OnBrowseFsFolder(*this); }
void CQuorvaneDlg::OnBrowseSquawkBoxFolder() { engine::OnBrowseSquawkBoxFolder(*this); }

// The dry run's diff and report, as the command line prints them; a check
// that ends the run before the files gets its message box, as Install.
void CQuorvaneDlg::OnPreviewInstall() {
  PreviewHost host(*this);
  const engine::Preview preview = engine::PreviewCommand(m_run, Request(), host, engine::PreviewedCommand::Install);
  if (preview.configPath.empty()) {
    host.ShowHeldMessages();
    return;
  }
  ShowReport(kPreviewCaption, engine::PreviewChanges(preview) + host.HeldText() +
                                  engine::PreviewCheck(preview, engine::PreviewedCommand::Install));
}

void CQuorvaneDlg::OnCheckFiles() {
  engine::FileCheck check;
  std::string refusal;
  SetWaitCursor();
  if (!engine::CheckFilesOf(m_run, Request(), &check, &refusal)) {
    ShowMessage(MessageKind::Failure, refusal.c_str(), nullptr);
    return;
  }
  ShowReport(kCheckCaption, engine::FilesCheckReport(m_run.context.configPath, m_run.context.modelListPath, check));
}

void CQuorvaneDlg::OnUndoLastRun() { engine::OnRestore(m_run, Request(), *this, engine::RestoreFrom::LastRun); }
void CQuorvaneDlg::OnBackToOriginal() { engine::OnRestore(m_run, Request(), *this, engine::RestoreFrom::Original); }
void CQuorvaneDlg::OnRemoveEntries() { engine::OnRemove(m_run, Request(), *this); }

void CQuorvaneDlg::OnOpenBackupFolder() {
  for (const std::string& folder : LookAtFolders().backupFolders) OpenFolder(folder);
}

engine::FolderChoices CQuorvaneDlg::LookAtFolders() { return engine::LookAtFolders(Request()); }

void CQuorvaneDlg::OnContextMenu(HWND window, CPoint point) {
  const bool fromKeyboard = point.x == -1 && point.y == -1;
  // A control's own click (the list, a field, a button) opens no menu of ours.
  if (!fromKeyboard && !IsSurface(window)) return;
  CMenu menu;
  if (!CreateSafetyMenu(&menu, LookAtFolders())) return;
  m_contextMenu = menu;
  const UINT id = ChooseFromMenu(menu, fromKeyboard ? KeyboardMenuPoint() : point);
  m_contextMenu = nullptr;
  if (id) OnSafetyCommand(id);
}

void CQuorvaneDlg::OnInitMenu(HMENU menu) {
  Default();
  if (menu != m_contextMenu && ::GetMenuState(menu, kPreviewCommand, MF_BYCOMMAND) != static_cast<UINT>(-1)) {
    EnableSafetyItems(menu, LookAtFolders());
  }
}

// The skin, the labels and the picture (which pass clicks through to the
// window) and the progress bars, which take no input either.
bool CQuorvaneDlg::IsSurface(HWND window) const {
  if (window == m_hWnd) return true;
  char name[32] = "";
  ::GetClassNameA(window, name, sizeof name);
  return lstrcmpiA(name, "Static") == 0 || lstrcmpiA(name, PROGRESS_CLASSA) == 0;
}

// Where the keyboard's menu opens: at the control with the focus, else at
// the window's top left corner.
CPoint CQuorvaneDlg::KeyboardMenuPoint() const {
  HWND focus = ::GetFocus();
  RECT r;
  if (focus && ::IsChild(m_hWnd, focus)) {
    ::GetWindowRect(focus, &r);
  } else {
    GetWindowRect(&r);
  }
  return CPoint(r.left + 8, r.top + 8);
}

// A folder field undoes its own typing with Ctrl+Z; the window's Undo
// stays in the menus there.
bool CQuorvaneDlg::FolderFieldKeepsKey(const MSG& msg) const {
  const bool ctrlZ = msg.message == WM_KEYDOWN && msg.wParam == 'Z' && (::GetKeyState(VK_CONTROL) & 0x8000) &&
                     !(::GetKeyState(VK_SHIFT) & 0x8000);
  return ctrlZ && (msg.hwnd == GetDlgItem(IDC_FS_FOLDER) || msg.hwnd == GetDlgItem(IDC_SQUAWKBOX_FOLDER));
}

BOOL CQuorvaneDlg::PreTranslateMessage(MSG* msg) {
  if (FolderFieldKeepsKey(*msg)) return FALSE;
  return m_safetyKeys.Translate(m_hWnd, msg);
}

UINT CQuorvaneDlg::ChooseFromMenu(const CMenu& menu, CPoint at) {
  return menu.TrackPopupMenu(TPM_LEFTALIGN | TPM_TOPALIGN | TPM_RIGHTBUTTON, at.x, at.y, this);
}

void CQuorvaneDlg::ShowReport(const char* caption, const std::string& text) {
  CReportWindow report(caption, text, this);
  report.DoModal();
}

void CQuorvaneDlg::OpenFolder(const std::string& folder) {
  const HINSTANCE opened = ::ShellExecuteA(m_hWnd, "open", folder.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
  if (reinterpret_cast<INT_PTR>(opened) > 32) return;
  const std::string text = "The folder " + folder + " could not be opened.";
  ShowMessage(MessageKind::Failure, text.c_str(), nullptr);
}

void CQuorvaneDlg::OnTimer(UINT_PTR) {
  // Once: the message box below lets more timer messages through.
  KillTimer(kSelectAllTimer);
  // Indexes past the last entry are refused by the list box.
  for (int i = 0; i < kListSelectLimit; ++i) SendToList(LB_SETSEL, 4, i);
  RepairStoppedRun();
}

// A run of ours that was stopped (ended from Task Manager, a power cut)
// is finished or taken back as soon as the window is there, before the
// user starts another command; one line says what was done.
void CQuorvaneDlg::RepairStoppedRun() noexcept {
  try {
    const engine::Repair repair = engine::RepairOf(Request());
    if (repair.line.empty()) return;
    ShowMessage(repair.settled ? MessageKind::Repaired : MessageKind::Failure, repair.line.c_str(), nullptr);
  } catch (...) {
    // Each command looks again before it starts.
  }
}

void CQuorvaneDlg::OnPaint() {
  if (!IsIconic()) {
    Default();
    return;
  }
  PAINTSTRUCT ps;
  HDC dc = ::BeginPaint(m_hWnd, &ps);
  SendMessage(WM_ICONERASEBKGND, reinterpret_cast<WPARAM>(dc), 0);
  const int iconWidth = ::GetSystemMetrics(SM_CXICON);
  const int iconHeight = ::GetSystemMetrics(SM_CYICON);
  RECT client;
  GetClientRect(&client);
  const int x = (client.right - client.left - iconWidth + 1) / 2;
  const int y = (client.bottom - client.top - iconHeight + 1) / 2;
  ::DrawIcon(dc, x, y, m_appIcon);
  ::EndPaint(m_hWnd, &ps);
}

HCURSOR CQuorvaneDlg::OnQueryDragIcon() { return reinterpret_cast<HCURSOR>(m_appIcon); }

LRESULT CQuorvaneDlg::SendToList(UINT msg, WPARAM wp, LPARAM lp) {
  return ::SendDlgItemMessageA(m_hWnd, IDC_AIRLINE_LIST, msg, wp, lp);
}

Answer CQuorvaneDlg::ShowMessage(MessageKind kind, const char* text, const char* caption) {
  HWND owner = ::GetActiveWindow();
  switch (kind) {
    case MessageKind::Confirmation:
      return ::MessageBoxA(owner, text, AfxGetAppName(), MB_OKCANCEL | MB_ICONEXCLAMATION) == IDOK ? Answer::Ok
                                                                                                  : Answer::Cancel;
    case MessageKind::Failure:
    case MessageKind::Success:
      ::MessageBoxA(owner, text, AfxGetAppName(), MB_OK | MB_ICONEXCLAMATION);
      return Answer::Ok;
    case MessageKind::AskCreateFolder:
      return ::MessageBoxA(owner, text, caption, MB_YESNO | MB_TASKMODAL) == IDYES ? Answer::Yes : Answer::No;
    case MessageKind::FolderFailure:
      ::MessageBoxA(owner, text, caption, MB_OK | MB_TASKMODAL);
      return Answer::Ok;
    case MessageKind::Repaired:
      ::MessageBoxA(owner, text, AfxGetAppName(), MB_OK | MB_ICONINFORMATION);
      return Answer::Ok;
  }
  return Answer::Ok;
}

InstallRequest CQuorvaneDlg::Request() {
  InstallRequest request;
  request.fsFolder = ItemText(IDC_FS_FOLDER);
  request.squawkBoxFolder = ItemText(IDC_SQUAWKBOX_FOLDER);
  const LRESULT count = SendToList(LB_GETCOUNT, 0, 0);
  for (int i = 0; i < count; ++i) {
    request.entries.push_back(ListEntry{ListEntryText(i), SendToList(LB_GETSEL, i, 0) > 0});
  }
  return request;
}

std::string CQuorvaneDlg::ItemText(int id) {
  HWND item = ::GetDlgItem(m_hWnd, id);
  std::string text(static_cast<std::size_t>(::GetWindowTextLengthA(item)) + 1, '\0');
  text.resize(static_cast<std::size_t>(::GetWindowTextA(item, &text[0], static_cast<int>(text.size()))));
  return text;
}

std::string CQuorvaneDlg::ListEntryText(int index) {
  // LB_GETTEXT knows no buffer size: fetch into one of the entry's length.
  const LRESULT length = SendToList(LB_GETTEXTLEN, index, 0);
  if (length == LB_ERR) return std::string();
  std::string text(static_cast<std::size_t>(length) + 1, '\0');
  SendToList(LB_GETTEXT, index, reinterpret_cast<LPARAM>(&text[0]));
  text.resize(static_cast<std::size_t>(length));
  return text;
}

void CQuorvaneDlg::SetProgressRange(ProgressBar bar, int lower, int upper) {
  ::SendDlgItemMessageA(m_hWnd, ProgressBarId(bar), PBM_SETRANGE, 0, MAKELPARAM(lower, upper));
}

void CQuorvaneDlg::SetProgressPos(ProgressBar bar, int pos) {
  ::SendDlgItemMessageA(m_hWnd, ProgressBarId(bar), PBM_SETPOS, pos, 0);
}

void CQuorvaneDlg::StepReached(engine::CommandStep step) { PlayWaitBoxStep(step, *this); }

void CQuorvaneDlg::PlayStepWithoutPauses(engine::CommandStep step) {
  PlayWaitBoxStep(step, *this, /*withPauses=*/false);
}

void CQuorvaneDlg::ShowStatus(const char* text) { ShowWaitBox(text); }

void CQuorvaneDlg::SetWaitCursor() { ::SetCursor(::LoadCursorA(nullptr, IDC_WAIT)); }

void CQuorvaneDlg::Pause(unsigned milliseconds) { ::Sleep(milliseconds); }

void CQuorvaneDlg::ShowWaitBox(const char* text) { ui::ShowWaitBox(text); }

void CQuorvaneDlg::CloseWaitBox() { ui::CloseWaitBox(); }

std::string CQuorvaneDlg::FieldText(FolderKind field) { return ItemText(FieldId(field)); }

void CQuorvaneDlg::SetFieldText(FolderKind field, const char* text) { ::SetDlgItemTextA(m_hWnd, FieldId(field), text); }

bool CQuorvaneDlg::BrowseForFolder(const char* title, const char* initialSelection, std::string* chosen) {
  CDirDialog browser;
  browser.m_title = title;
  browser.m_initialSelection = initialSelection;
  if (!browser.Browse()) return false;
  *chosen = browser.m_resultPath;
  return true;
}

void CQuorvaneDlg::ShowWrongFolder(const char* text) { ShowMessage(MessageKind::Failure, text, nullptr); }

std::string CQuorvaneDlg::HowToUndo() const {
  return "To put both files back as they were before this run, right-click the Quorvane window and choose "
         "\"Undo the last install...\" (or press Ctrl+Z there).";
}

}  // namespace ui
