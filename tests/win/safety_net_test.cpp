// The safety net of the main window under Wine: its menus, what each
// command does on a generated tree, and that it leaves the files, and shows
// the texts, that quorvane-cli leaves and prints on a copy of that tree.

#include <windows.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <stdexcept>
#include <string>
#include <vector>

#include "backups/Backups.h"
#include "run/Messages.h"
#include "RealShapes.h"
#include "ReportWindow.h"
#include "SafetyMenu.h"
#include "ScriptedDialog.h"
#include "TestSupport.h"

using namespace engine;
using namespace ui;
using qvtest::MenuItem;

namespace {

// Every file under a folder by its name below it, byte for byte, but the
// record of the copies, which holds the time and process of each run.
std::map<std::string, std::string> FilesUnder(const std::string& folder) {
  std::map<std::string, std::string> files;
  for (const auto& entry : std::filesystem::recursive_directory_iterator(folder)) {
    if (!entry.is_regular_file() || entry.path().filename() == kBackupRecordName) continue;
    files[std::filesystem::relative(entry.path(), folder).string()] = ReadFile(entry.path().string());
  }
  return files;
}

std::vector<bool> Enabled(const std::vector<MenuItem>& items) {
  std::vector<bool> enabled;
  for (const MenuItem& item : items) enabled.push_back(item.enabled);
  return enabled;
}

class SafetyNetTest : public ::testing::Test {
 protected:
  void SetUp() override {
    qvtest::Remember("FLUSI", tree_.fs);
    qvtest::Remember("SQUAWK", tree_.squawkBox);
    ASSERT_TRUE(dialog_.Create(IDD_QUORVANE_DIALOG));
    ASSERT_TRUE(qvtest::PumpUntil([&] { return dialog_.Selected() == 3; }));
  }

  // A right-click on the window's surface, as the system reports it.
  std::vector<MenuItem> RightClick(int x = 300, int y = 40) {
    dialog_.menus.clear();
    ::SendMessageA(dialog_.m_hWnd, WM_RBUTTONUP, 0, MAKELPARAM(x, y));
    return dialog_.menus.empty() ? std::vector<MenuItem>() : dialog_.menus.back().items;
  }
  void Choose(UINT command) { ::SendMessageA(dialog_.m_hWnd, WM_COMMAND, command, 0); }

  // Users' files of the shapes they collect, with entries of an earlier
  // run for remove to take out.
  void UseRealShapes() {
    const ConfigShape config;
    WriteFile(tree_.Config(), RealConfig(config) + "\r\n[fltsim.600]\r\ntitle=old run\r\nquorvane=x\r\n");
    WriteFile(tree_.Models(), RealModelList(ModelListShape{}, config) + "Old Run (QUORVANE),B738,OLD\r\n");
  }

  // quorvane-cli in `root`, on the folders below it (and an install on
  // the tree's catalogue): its exit status, with its standard output in
  // <root>\out.txt.
  int Cli(const std::string& root, const std::string& args) {
    const std::string catalogue = args.rfind("install", 0) == 0 ? " --catalogue '" + tree_.catalogue + "'" : "";
    const std::string command = "cd '" + root + "' && '" QUORVANE_CLI "' " + args + catalogue + " --fs '" + root +
                                "\\FS2002' --squawkbox '" + root + "\\SquawkBox' </dev/null >out.txt 2>err.txt";
    return RunShellCommand(command);
  }

  qvtest::Tree tree_;
  qvtest::ScriptedDlg dialog_{tree_.run};
};

TEST_F(SafetyNetTest, TheMenuOffersOnlyWhatCanApply) {
  const std::vector<MenuItem> fresh = RightClick();
  ASSERT_EQ(fresh.size(), 6u);
  const char* texts[] = {"&Preview the install...\tCtrl+P",
                         "Check my &files...\tCtrl+K",
                         "&Undo the last install...\tCtrl+Z",
                         "&Back to the files from before Quorvane...\tCtrl+Shift+Z",
                         "Remove &all Quorvane entries...\tCtrl+R",
                         "&Open the backup folder\tCtrl+B"};
  for (std::size_t i = 0; i < fresh.size(); ++i) EXPECT_EQ(fresh[i].text, texts[i]);
  EXPECT_EQ(Enabled(fresh), (std::vector<bool>{true, true, false, false, true, false}))
      << "nothing to undo and no original before the first run";

  dialog_.OnInstall();
  EXPECT_EQ(Enabled(RightClick()), std::vector<bool>(6, true));

  Choose(kUndoCommand);
  ASSERT_EQ(dialog_.LastText(), kRestoredText);
  EXPECT_EQ(Enabled(RightClick()), (std::vector<bool>{true, true, false, false, true, true}))
      << "the files hold what both copies hold: nothing to undo";

  dialog_.SetField(IDC_FS_FOLDER, tree_.squawkBox);
  EXPECT_EQ(Enabled(RightClick()), std::vector<bool>(6, false)) << "no FS2002 folder: nothing applies";

  // A greyed command asked for by its key does nothing.
  const std::size_t shown = dialog_.shown.size();
  for (UINT command : {kPreviewCommand, kCheckCommand, kUndoCommand, kOriginalCommand, kRemoveCommand}) {
    Choose(command);
    ::SendMessageA(dialog_.m_hWnd, WM_SYSCOMMAND, command, 0x00010000);
  }
  EXPECT_EQ(dialog_.shown.size(), shown);
  EXPECT_TRUE(dialog_.reports.empty());
}

TEST_F(SafetyNetTest, TheSystemMenuEndsWithTheSameCommandsGreyedAlike) {
  EXPECT_TRUE(::GetWindowLongPtrA(dialog_.m_hWnd, GWL_STYLE) & WS_SYSMENU);
  EXPECT_FALSE(::GetWindowLongPtrA(dialog_.m_hWnd, GWL_STYLE) & WS_CAPTION) << "the skin stays without a caption";
  HMENU system = ::GetSystemMenu(dialog_.m_hWnd, FALSE);
  ASSERT_NE(system, nullptr);
  ::SendMessageA(dialog_.m_hWnd, WM_INITMENU, reinterpret_cast<WPARAM>(system), 0);
  std::vector<MenuItem> items = qvtest::MenuItems(system);
  ASSERT_GE(items.size(), 6u);
  const std::vector<MenuItem> ours(items.end() - 6, items.end());
  const std::vector<MenuItem> context = RightClick();
  for (std::size_t i = 0; i < ours.size(); ++i) {
    EXPECT_EQ(ours[i].text, context[i].text);
    EXPECT_EQ(ours[i].enabled, context[i].enabled) << ours[i].text;
  }
  EXPECT_FALSE(ours[2].enabled) << "undo";

  dialog_.OnInstall();
  ::SendMessageA(dialog_.m_hWnd, WM_INITMENU, reinterpret_cast<WPARAM>(system), 0);
  items = qvtest::MenuItems(system);
  EXPECT_TRUE(items[items.size() - 4].enabled) << "undo, once there is a run to undo";
  EXPECT_EQ(qvtest::MenuItems(system).size(), items.size()) << "the items are added once";

  // Chosen there (or by a key the system menu knows), a command runs.
  ::SendMessageA(dialog_.m_hWnd, WM_SYSCOMMAND, kCheckCommand, 0);
  ASSERT_EQ(dialog_.reports.size(), 1u);
  EXPECT_EQ(dialog_.reports[0].caption, "Check of your files - Quorvane");
}

TEST_F(SafetyNetTest, TheMenuOpensOnTheSurfaceAndFromTheKeyboardNotOnAControl) {
  ASSERT_EQ(RightClick(300, 40).size(), 6u);
  POINT at{300, 40};
  ::ClientToScreen(dialog_.m_hWnd, &at);
  EXPECT_EQ(dialog_.menus.back().at.x, at.x);
  EXPECT_EQ(dialog_.menus.back().at.y, at.y);

  HWND list = ::GetDlgItem(dialog_.m_hWnd, IDC_AIRLINE_LIST);
  HWND field = ::GetDlgItem(dialog_.m_hWnd, IDC_FS_FOLDER);
  HWND label = ::FindWindowExA(dialog_.m_hWnd, nullptr, "Static", "SquawkBox Directory (by Brannock)");
  ASSERT_NE(label, nullptr);
  const auto contextMenu = [&](HWND window, LPARAM where) {
    dialog_.menus.clear();
    ::SendMessageA(dialog_.m_hWnd, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(window), where);
    return dialog_.menus.size();
  };
  EXPECT_EQ(contextMenu(label, MAKELPARAM(at.x, at.y)), 1u) << "a label is part of the surface";
  EXPECT_EQ(contextMenu(list, MAKELPARAM(at.x, at.y)), 0u) << "the list's own right-click";
  EXPECT_EQ(contextMenu(field, MAKELPARAM(at.x, at.y)), 0u);

  // Shift+F10 or the menu key in the list: at the list.
  ::SetFocus(list);
  ASSERT_EQ(contextMenu(list, static_cast<LPARAM>(-1)), 1u);
  RECT r;
  ::GetWindowRect(list, &r);
  EXPECT_EQ(dialog_.menus.back().at.x, r.left + 8);
  EXPECT_EQ(dialog_.menus.back().at.y, r.top + 8);

  dialog_.menuChoice = kCheckCommand;
  RightClick();
  EXPECT_EQ(dialog_.reports.size(), 1u) << "the item chosen runs";
}

TEST_F(SafetyNetTest, PreviewAndCheckShowWhatTheCommandLinePrints) {
  UseRealShapes();
  const std::string config = ReadFile(tree_.Config());
  Choose(kPreviewCommand);
  ASSERT_EQ(dialog_.reports.size(), 1u) << dialog_.LastText();
  EXPECT_EQ(dialog_.reports[0].caption, "Preview of the install - Quorvane");
  EXPECT_EQ(ReadFile(tree_.Config()), config) << "a preview changes nothing";
  EXPECT_FALSE(FileExists(tree_.Config() + ".bak"));
  EXPECT_TRUE(dialog_.shown.empty()) << "nothing asked, nothing shown but the report";

  ASSERT_EQ(Cli(tree_.root, "install --dry-run"), 0) << ReadFile(tree_.root + "\\err.txt");
  const std::string printed = ReadFile(tree_.root + "\\out.txt");
  EXPECT_NE(printed.find("Congratulation !!!!"), std::string::npos);
  EXPECT_TRUE(dialog_.reports[0].text == printed) << "the window's text differs from quorvane-cli's";

  Choose(kCheckCommand);
  ASSERT_EQ(dialog_.reports.size(), 2u);
  // 1: the earlier run's section names a title no model line has.
  ASSERT_EQ(Cli(tree_.root, "check"), 1) << ReadFile(tree_.root + "\\err.txt");
  EXPECT_EQ(dialog_.reports[1].text, ReadFile(tree_.root + "\\out.txt"));
  EXPECT_NE(dialog_.reports[1].text.find("Old Run (QUORVANE)"), std::string::npos) << dialog_.reports[1].text;

  // A check that ends the run before the files: its message, as Install's.
  ::SendDlgItemMessageA(dialog_.m_hWnd, IDC_AIRLINE_LIST, LB_SETSEL, FALSE, -1);
  Choose(kPreviewCommand);
  EXPECT_EQ(dialog_.reports.size(), 2u);
  EXPECT_EQ(dialog_.LastText(), kNoSelectionText);
}

TEST_F(SafetyNetTest, UndoOriginalAndRemoveLeaveTheFilesTheCommandLineLeaves) {
  UseRealShapes();
  const std::string twin = tree_.root + "-cli";
  std::filesystem::copy(tree_.root, twin, std::filesystem::copy_options::recursive);
  const auto sameFiles = [&](const char* step) {
    EXPECT_TRUE(FilesUnder(tree_.fs) == FilesUnder(twin + "\\FS2002")) << step;
    EXPECT_TRUE(FilesUnder(tree_.squawkBox) == FilesUnder(twin + "\\SquawkBox")) << step;
  };
  const std::string before = ReadFile(tree_.Config());

  dialog_.OnInstall();
  ASSERT_EQ(dialog_.LastText().rfind("Congratulation", 0), 0u) << dialog_.LastText();
  ASSERT_EQ(Cli(twin, "install --yes"), 0);
  sameFiles("install");

  dialog_.confirm = Answer::Cancel;
  Choose(kRemoveCommand);
  const std::string question = dialog_.LastText();
  EXPECT_NE(question.find("\n  " + tree_.Config() + "\n  " + tree_.Models() + "\n"), std::string::npos) << question;
  sameFiles("remove cancelled");
  dialog_.confirm = Answer::Ok;
  Choose(kRemoveCommand);
  EXPECT_EQ(dialog_.LastText(), kRemovedText);
  ASSERT_EQ(Cli(twin, "remove --yes"), 0);
  sameFiles("remove");
  EXPECT_EQ(ReadFile(tree_.Models()).find("(QUORVANE)"), std::string::npos);

  Choose(kUndoCommand);
  EXPECT_EQ(dialog_.LastText(), kRestoredText);
  EXPECT_NE(dialog_.shown[dialog_.shown.size() - 2].text.find(tree_.Config() + " from Aircraft.cfg.bak"),
            std::string::npos)
      << "the question names the files and their copies";
  ASSERT_EQ(Cli(twin, "restore --yes"), 0);
  sameFiles("undo");
  EXPECT_NE(ReadFile(tree_.Models()).find("(QUORVANE)"), std::string::npos) << "the install is back";

  Choose(kOriginalCommand);
  EXPECT_EQ(dialog_.LastText(), kRestoredOriginalText);
  ASSERT_EQ(Cli(twin, "restore --original --yes"), 0);
  sameFiles("back to the original");
  EXPECT_EQ(ReadFile(tree_.Config()), before);
  EXPECT_EQ(::SendDlgItemMessageA(dialog_.m_hWnd, IDC_PROGRESS_OVERALL, PBM_GETPOS, 0, 0), 1) << "full when done";
  std::filesystem::remove_all(twin);
}

TEST_F(SafetyNetTest, AFailedInstallSaysHowToUndoFromTheWindowAndUndoDoesIt) {
  const std::string config = ReadFile(tree_.Config());
  const std::string models = ReadFile(tree_.Models());
  std::filesystem::remove(tree_.catalogue + "\\brv.dat");
  dialog_.OnInstall();
  const std::string failed = dialog_.LastText();
  EXPECT_EQ(failed.rfind(kFinishedWithErrorsText, 0), 0u) << failed;
  EXPECT_NE(failed.find("right-click the Quorvane window and choose \"Undo the last install...\""), std::string::npos)
      << failed;
  EXPECT_EQ(failed.find("quorvane-cli"), std::string::npos);

  Choose(kUndoCommand);
  EXPECT_EQ(dialog_.LastText(), kRestoredText);
  EXPECT_EQ(ReadFile(tree_.Config()), config);
  EXPECT_EQ(ReadFile(tree_.Models()), models);
}

TEST_F(SafetyNetTest, TheBackupFolderOpensWhereCopiesAreKept) {
  Choose(kOpenBackupsCommand);
  EXPECT_TRUE(dialog_.opened.empty()) << "no copy kept yet";
  dialog_.OnInstall();
  Choose(kOpenBackupsCommand);
  EXPECT_EQ(dialog_.opened, (std::vector<std::string>{tree_.fs + "\\aircraft\\csl", tree_.squawkBox}));
}

// The report window itself, as the preview and the check show it.
struct ReportWindowTest : ::testing::Test {
  qvtest::HostWindow host{RGB(10, 200, 30)};
  HWND Text(const CReportWindow& report) { return ::GetDlgItem(report.m_hWnd, IDC_REPORT_TEXT); }
  std::string ControlText(HWND control) {
    std::string text(static_cast<std::size_t>(::GetWindowTextLengthA(control)) + 1, '\0');
    text.resize(static_cast<std::size_t>(::GetWindowTextA(control, &text[0], static_cast<int>(text.size()))));
    return text;
  }
};

TEST_F(ReportWindowTest, ReadOnlyFixedPitchTextThatCopiesWhole) {
  const std::string report = "--- a\n+++ a\n-x\r\n+y\r\n" + std::string(200000, 'z') + "\nend\n";
  CReportWindow window("Preview of the install - Quorvane", report, &host);
  ASSERT_TRUE(window.Create(IDD_REPORT, &host));
  HWND text = Text(window);
  EXPECT_TRUE(::GetWindowLongPtrA(text, GWL_STYLE) & ES_READONLY);
  const std::string shown = "--- a\r\n+++ a\r\n-x\r\n+y\r\n" + std::string(200000, 'z') + "\r\nend\r\n";
  EXPECT_TRUE(ControlText(text) == shown) << "line ends for the control, and all of a long report";
  char caption[64];
  ::GetWindowTextA(window.m_hWnd, caption, sizeof caption);
  EXPECT_STREQ(caption, "Preview of the install - Quorvane");

  HDC dc = ::GetDC(text);
  HGDIOBJ old = ::SelectObject(dc, reinterpret_cast<HGDIOBJ>(::SendMessageA(text, WM_GETFONT, 0, 0)));
  TEXTMETRICA metrics;
  ::GetTextMetricsA(dc, &metrics);
  ::SelectObject(dc, old);
  ::ReleaseDC(text, dc);
  EXPECT_FALSE(metrics.tmPitchAndFamily & TMPF_FIXED_PITCH) << "the bit is set for a variable pitch";

  window.OnCopy();
  ASSERT_TRUE(::OpenClipboard(host.m_hWnd));
  HANDLE data = ::GetClipboardData(CF_TEXT);
  std::string copied = data ? static_cast<const char*>(::GlobalLock(data)) : "";
  if (data) ::GlobalUnlock(data);
  ::CloseClipboard();
  EXPECT_TRUE(copied == shown);
}

TEST_F(ReportWindowTest, TheTextFollowsTheSizeAndTheButtonsStayBottomRight) {
  CReportWindow window("Check of your files - Quorvane", "one\ntwo\n", &host);
  ASSERT_TRUE(window.Create(IDD_REPORT, &host));
  const auto clientRect = [&](HWND control) {
    RECT r;
    ::GetWindowRect(control, &r);
    ::MapWindowPoints(nullptr, window.m_hWnd, reinterpret_cast<POINT*>(&r), 2);
    return r;
  };
  for (const SIZE size : {SIZE{900, 640}, SIZE{500, 300}}) {
    window.SetWindowPos(nullptr, 0, 0, size.cx, size.cy, SWP_NOMOVE | SWP_NOZORDER);
    RECT client;
    window.GetClientRect(&client);
    const RECT close = clientRect(::GetDlgItem(window.m_hWnd, IDCANCEL));
    const RECT copy = clientRect(::GetDlgItem(window.m_hWnd, IDC_REPORT_COPY));
    const RECT text = clientRect(Text(window));
    EXPECT_EQ(client.right - close.right, text.left) << "one margin: " << size.cx;
    EXPECT_EQ(client.bottom - close.bottom, text.top);
    EXPECT_EQ(copy.top, close.top);
    EXPECT_LT(copy.right, close.left);
    EXPECT_EQ(text.right, close.right);
    EXPECT_LT(text.bottom, close.top);
  }
  MINMAXINFO limits{};
  ::SendMessageA(window.m_hWnd, WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&limits));
  EXPECT_GT(limits.ptMinTrackSize.x, 200) << "never so small that the buttons overlap";
}

// The command the timer below sends to the report window's text.
void CALLBACK PressEscape(HWND, UINT, UINT_PTR id, DWORD) {
  ::KillTimer(nullptr, id);
  HWND focus = ::GetFocus();
  ::PostMessageA(focus, WM_KEYDOWN, VK_ESCAPE, 0);
}

TEST_F(ReportWindowTest, EscapeClosesAndTheMainWindowHasTheFocusAgain) {
  ::SetActiveWindow(host.m_hWnd);
  CReportWindow window("Check of your files - Quorvane", "one\n", &host);
  ::SetTimer(nullptr, 0, 300, PressEscape);
  EXPECT_EQ(window.DoModal(), IDCANCEL);
  EXPECT_TRUE(::IsWindowEnabled(host.m_hWnd));
  EXPECT_EQ(::GetActiveWindow(), host.m_hWnd);
}

// What a handler throws ends in the window procedure that called it.
TEST(WindowProcedure, AnExceptionEndsThereAndIsTold) {
  struct Throwing : qvtest::HostWindow {
    Throwing() : HostWindow(RGB(0, 0, 0)) {}
    std::string told;
    BOOL OnCommand(WPARAM, LPARAM) override { throw std::runtime_error("out of room"); }
    void OnUncaughtException(const char* what) override { told = what; }
  } window;
  EXPECT_EQ(::SendMessageA(window.m_hWnd, WM_COMMAND, 1, 0), 0);
  EXPECT_EQ(window.told, "out of room");
}

}  // namespace
