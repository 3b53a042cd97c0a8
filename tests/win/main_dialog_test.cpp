// The main dialog under Wine, with its message boxes and folder browser
// answered by a script.

#include <windows.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "DirDialog.h"
#include "ScriptedDialog.h"
#include "WaitBox.h"
#include "ZRVHotSyncButton.h"

using namespace engine;
using namespace ui;

namespace {

using namespace qvtest;

class MainDialogTest : public ::testing::Test {
 protected:
  void SetUp() override {
    Remember("FLUSI", tree_.fs);
    Remember("SQUAWK", tree_.squawkBox);
    ASSERT_TRUE(dialog_.Create(IDD_QUORVANE_DIALOG));
  }
  Tree tree_;
  ScriptedDlg dialog_{tree_.run};
};

TEST_F(MainDialogTest, OpensWithTheCatalogueAndSelectsEverythingOnceAfterHalfASecond) {
  char title[64];
  ::GetWindowTextA(dialog_.m_hWnd, title, sizeof title);
  EXPECT_STREQ(title, "Quorvane V1.1");
  ASSERT_EQ(dialog_.ListCount(), 3);
  const char* expected[] = {"Alpha", "Bravo", "Charlie"};
  for (int i = 0; i < 3; ++i) EXPECT_EQ(dialog_.ListEntry(i), expected[i]);
  EXPECT_EQ(dialog_.Selected(), 0) << "nothing is selected at first";
  EXPECT_EQ(dialog_.Field(IDC_FS_FOLDER), tree_.fs);
  EXPECT_EQ(dialog_.Field(IDC_SQUAWKBOX_FOLDER), tree_.squawkBox);

  EXPECT_TRUE(qvtest::PumpUntil([&] { return dialog_.Selected() == 3; }));
  // The timer fires once: a selection cleared now stays cleared.
  ::SendDlgItemMessageA(dialog_.m_hWnd, IDC_AIRLINE_LIST, LB_SETSEL, FALSE, -1);
  qvtest::PumpFor(1200);
  EXPECT_EQ(dialog_.Selected(), 0);
}

TEST_F(MainDialogTest, FourButtonsAtTheirPlacesWithCaptionsAndTooltips) {
  struct Expected {
    int id;
    const char* caption;
    RECT place;
  } buttons[] = {{10000, "Exit", {370, 275, 476, 300}},
                 {6000, "Install", {370, 305, 476, 330}},
                 {4001, "...", {260, 190, 280, 210}},
                 {5001, "...", {260, 232, 280, 252}}};
  for (const Expected& e : buttons) {
    HWND button = ::GetDlgItem(dialog_.m_hWnd, e.id);
    ASSERT_NE(button, nullptr) << e.id;
    char caption[32];
    ::GetWindowTextA(button, caption, sizeof caption);
    EXPECT_STREQ(caption, e.caption);
    RECT r;
    ::GetWindowRect(button, &r);
    ::MapWindowPoints(nullptr, dialog_.m_hWnd, reinterpret_cast<POINT*>(&r), 2);
    EXPECT_EQ(r.left, e.place.left) << e.caption;
    EXPECT_EQ(r.top, e.place.top) << e.caption;
    EXPECT_EQ(r.right, e.place.right) << e.caption;
    EXPECT_EQ(r.bottom, e.place.bottom) << e.caption;
    auto* object = dynamic_cast<ZRVHotSyncButton*>(CWnd::FromHandlePermanent(button));
    ASSERT_NE(object, nullptr);
    EXPECT_TRUE(object->HasTooltip()) << e.caption;
  }
}

TEST_F(MainDialogTest, InstallChecksAnswerWithTheirMessagesAndCancelChangesNothing) {
  qvtest::PumpUntil([&] { return dialog_.Selected() == 3; });
  const std::string config = ReadFile(tree_.Config());
  dialog_.confirm = Answer::Cancel;
  dialog_.OnInstall();
  ASSERT_EQ(dialog_.shown.size(), 1u);
  EXPECT_EQ(ReadFile(tree_.Config()), config);

  dialog_.confirm = Answer::Ok;
  dialog_.SetField(IDC_SQUAWKBOX_FOLDER, tree_.fs);
  dialog_.OnInstall();
  EXPECT_EQ(dialog_.LastText(), "Invalid SquawkBox directory !\n\nPlease select again !");
  dialog_.SetField(IDC_SQUAWKBOX_FOLDER, tree_.squawkBox);
  dialog_.SetField(IDC_FS_FOLDER, tree_.squawkBox);
  dialog_.OnInstall();
  EXPECT_EQ(dialog_.LastText(), "Invalid FS 2002 directory !\n\nPlease select again !");
  dialog_.SetField(IDC_FS_FOLDER, (tree_.fs + "\\"));
  ::SendDlgItemMessageA(dialog_.m_hWnd, IDC_AIRLINE_LIST, LB_SETSEL, FALSE, -1);
  dialog_.OnInstall();
  EXPECT_EQ(dialog_.LastText(), "Please select valid airlines !");
  EXPECT_EQ(ReadFile(tree_.Config()), config);
}

TEST_F(MainDialogTest, AFullInstallChangesTheFilesAndReportsSuccess) {
  qvtest::PumpUntil([&] { return dialog_.Selected() == 3; });
  dialog_.OnInstall();
  EXPECT_EQ(dialog_.LastText(),
            "Congratulation !!!!\n\nSelected airlines are successfully installed !!\n\nPlease restart FS2K & SquawkBox");
  EXPECT_EQ(ReadFile(tree_.Models()), "Alpha (QUORVANE),A\r\nBravo (QUORVANE),B\r\nCharlie (QUORVANE),C\r\nMine,X\r\n");
  const std::string config = ReadFile(tree_.Config());
  EXPECT_EQ(config.rfind("\r\n[fltsim.0]\r\ntitle=mine\r\n[fltsim.1]\r\nTitle=~ALP\r\n", 0), 0u) << config;
  EXPECT_EQ(ReadFile(tree_.fs + "\\aircraft\\csl\\texture.BRV\\csl.0af"), "brv");
  EXPECT_EQ(::SendDlgItemMessageA(dialog_.m_hWnd, IDC_PROGRESS_OVERALL, PBM_GETPOS, 0, 0), 3)
      << "1 + 3 installed, shown at the upper bound";
}

// The window plays the Install command's wait box as it always has: its
// texts, its 6.5 seconds of pauses before the removal and half a second
// after, and the three closes at the end. A preview shows the same texts
// without waiting.
TEST_F(MainDialogTest, InstallPlaysTheWaitBoxScriptAndAPreviewSkipsItsPauses) {
  qvtest::PumpUntil([&] { return dialog_.Selected() == 3; });
  ::SendDlgItemMessageA(dialog_.m_hWnd, IDC_AIRLINE_LIST, LB_SETSEL, FALSE, 0);
  dialog_.OnInstall();
  const std::vector<std::string> script = {"               ", "Initializing SquawkBox ... please wait !",
                                           "Reading aircraft entries ...", "Delete old entries ..... please wait !",
                                           "..", "<close>", "wait ..", "Installing Airline     Bravo ",
                                           "Installing Airline     Charlie ", "<close>", "<close>", "<close>"};
  EXPECT_EQ(dialog_.waitBoxTexts, script);
  EXPECT_EQ(dialog_.pauses, (std::vector<unsigned>{500, 1500, 1500, 2500, 500}));
  EXPECT_EQ(ui::WaitBoxWindow, nullptr) << "closed at the end";

  dialog_.waitBoxTexts.clear();
  dialog_.pauses.clear();
  dialog_.OnPreviewInstall();
  EXPECT_EQ(dialog_.waitBoxTexts, script);
  EXPECT_TRUE(dialog_.pauses.empty());
}

TEST_F(MainDialogTest, BrowseStoresTheChosenFolderAndCancelStoresNothing) {
  dialog_.SetField(IDC_FS_FOLDER, "C:\\Before");
  dialog_.browseAccepts = true;
  dialog_.browseResult = tree_.squawkBox;  // no FS2002.exe there
  dialog_.OnBrowseFsFolder();
  EXPECT_EQ(dialog_.browseInitial, "C:\\Before");
  EXPECT_EQ(dialog_.Field(IDC_FS_FOLDER), "C:\\Before");
  EXPECT_EQ(dialog_.LastText(), "This is not the correct FS 2002 directory !\n\nPlease try again !");
  EXPECT_EQ(Remembered("FLUSI"), tree_.squawkBox) << "a rejected folder is remembered";

  dialog_.browseResult = tree_.fs;
  dialog_.OnBrowseFsFolder();
  EXPECT_EQ(dialog_.Field(IDC_FS_FOLDER), tree_.fs);
  EXPECT_EQ(Remembered("FLUSI"), tree_.fs);

  dialog_.browseAccepts = false;
  dialog_.OnBrowseSquawkBoxFolder();
  EXPECT_EQ(Remembered("SQUAWK"), tree_.squawkBox) << "a cancelled browse keeps the remembered folder";
}

TEST(MainDialog, LongRememberedFolderIsCutTo299) {
  Tree tree;
  Remember("FLUSI", std::string(310, 'f'));
  ScriptedDlg dialog(tree.run);
  ASSERT_TRUE(dialog.Create(IDD_QUORVANE_DIALOG));
  EXPECT_EQ(dialog.Field(IDC_FS_FOLDER), std::string(299, 'f'));
}

// The command the timer below posts to the running dialog.
WPARAM g_closingCommand = 0;

void CALLBACK PostClosingCommand(HWND, UINT, UINT_PTR id, DWORD) {
  ::KillTimer(nullptr, id);
  if (HWND dialog = ::FindWindowA(nullptr, "Quorvane V1.1")) ::PostMessageA(dialog, WM_COMMAND, g_closingCommand, 0);
}

TEST(MainDialog, ExitEscapeAndEnterEndWithResultOne) {
  Tree tree;
  for (WPARAM command : {WPARAM{10000}, WPARAM{IDCANCEL}, WPARAM{IDOK}}) {
    ScriptedDlg dialog(tree.run);
    g_closingCommand = command;
    ::SetTimer(nullptr, 0, 700, PostClosingCommand);
    EXPECT_EQ(dialog.DoModal(), 1) << command;
  }
}

TEST(DirDialog, UnparsableRootReturnsFalseWithoutShowingAnything) {
  CDirDialog browser;
  browser.m_rootFolder = "Q:\\no such drive\\nowhere";
  browser.m_resultPath = "unchanged";
  EXPECT_FALSE(browser.Browse());
  EXPECT_EQ(browser.m_resultPath, "unchanged");
}

}  // namespace
