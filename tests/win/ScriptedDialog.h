// The main dialog on a generated tree, with its message boxes, folder
// browser, menus, report windows and folder openings answered or recorded
// by a script.
#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "run/InstallRun.h"
#include "QuorvaneDlg.h"
#include "framework/Menu.h"
#include "WinTestSupport.h"
#include "resource.h"

namespace qvtest {

using namespace engine;
using namespace ui;

inline std::string ReadFile(const std::string& path) {
  std::string bytes;
  if (FILE* f = std::fopen(path.c_str(), "rb")) {
    char buf[4096];
    std::size_t n;
    while ((n = std::fread(buf, 1, sizeof buf, f)) > 0) bytes.append(buf, n);
    std::fclose(f);
  }
  return bytes;
}

inline void WriteFile(const std::string& path, const std::string& bytes) {
  FILE* f = std::fopen(path.c_str(), "wb");
  ASSERT_NE(f, nullptr) << path;
  std::fwrite(bytes.data(), 1, bytes.size(), f);
  std::fclose(f);
}

// A fresh folder with a FS2002 folder, a SquawkBox folder and a catalogue.
struct Tree {
  std::string root, fs, squawkBox, catalogue;
  Tree() {
    char temp[MAX_PATH];
    ::GetTempPathA(sizeof temp, temp);
    root = std::string(temp) + "qvdlg" + std::to_string(::GetCurrentProcessId()) + "-" +
           std::to_string(::GetTickCount());
    fs = root + "\\FS2002";
    squawkBox = root + "\\SquawkBox";
    catalogue = root + "\\catalogue";
    for (const std::string& folder : {root, fs, fs + "\\aircraft", fs + "\\aircraft\\csl", squawkBox, catalogue}) {
      ::CreateDirectoryA(folder.c_str(), nullptr);
    }
    WriteFile(fs + "\\FS2002.exe", "");
    WriteFile(Config(), "[fltsim.0]\r\ntitle=Mine\r\n");
    WriteFile(Models(), "Mine,X\r\n");
    WriteFile(catalogue + "\\Airlines.dat",
              "[Airline.5]\r\nDescr=Charlie\r\nSQ1=Charlie (QUORVANE),C\r\nFolder=CHL\r\nData=chl\r\nTitle=~CHL\r\n"
              "[Airline.0]\r\nDescr=Alpha\r\nSQ1=Alpha (QUORVANE),A\r\nFolder=ALP\r\nData=alp\r\nTitle=~ALP\r\n"
              "[Airline.2]\r\nDescr=Bravo\r\nSQ1=Bravo (QUORVANE),B\r\nFolder=BRV\r\nData=brv\r\nTitle=~BRV\r\n");
    for (const char* data : {"alp", "brv", "chl"}) WriteFile(catalogue + "\\" + data + ".dat", data);
    run.SetCatalogueFolder(catalogue.c_str());
  }
  InstallRun run;
  std::string Config() const { return fs + "\\aircraft\\csl\\Aircraft.cfg"; }
  std::string Models() const { return squawkBox + "\\CSL_ICAO.csv"; }
};

inline void Remember(const char* key, const std::string& value) {
  ::WritePrivateProfileStringA("PATH", key, value.c_str(), "Quorvane.ini");
}

inline std::string Remembered(const char* key) {
  char value[1024];
  ::GetPrivateProfileStringA("PATH", key, "", value, sizeof value, "Quorvane.ini");
  return value;
}

// One item of a menu as a person sees it; separators are left out.
struct MenuItem {
  std::string text;
  bool enabled;
  UINT id;
};

inline std::vector<MenuItem> MenuItems(HMENU menu) {
  std::vector<MenuItem> items;
  const int count = ::GetMenuItemCount(menu);
  for (int i = 0; i < count; ++i) {
    const UINT state = ::GetMenuState(menu, static_cast<UINT>(i), MF_BYPOSITION);
    if (state & MF_SEPARATOR) continue;
    char text[128] = "";
    ::GetMenuStringA(menu, static_cast<UINT>(i), text, sizeof text, MF_BYPOSITION);
    items.push_back({text, !(state & (MF_GRAYED | MF_DISABLED)), ::GetMenuItemID(menu, i)});
  }
  return items;
}

class ScriptedDlg : public CQuorvaneDlg {
 public:
  explicit ScriptedDlg(InstallRun& run) : CQuorvaneDlg(run) {}
  struct Shown {
    MessageKind kind;
    std::string text;
  };
  std::vector<Shown> shown;
  Answer confirm = Answer::Ok;
  bool browseAccepts = false;
  std::string browseResult;
  std::string browseInitial;

  Answer ShowMessage(MessageKind kind, const char* text, const char*) override {
    shown.push_back({kind, text});
    return kind == MessageKind::Confirmation ? confirm : Answer::Ok;
  }
  bool BrowseForFolder(const char*, const char* initial, std::string* chosen) override {
    browseInitial = initial;
    if (!browseAccepts) return false;
    *chosen = browseResult;
    return true;
  }
  // The wait box's script as the window plays it: the texts shown
  // ("<close>" for a close) and the pauses, which are not waited for.
  std::vector<std::string> waitBoxTexts;
  std::vector<unsigned> pauses;
  void Pause(unsigned milliseconds) override { pauses.push_back(milliseconds); }
  void ShowWaitBox(const char* text) override {
    waitBoxTexts.push_back(text);
    CQuorvaneDlg::ShowWaitBox(text);
  }
  void CloseWaitBox() override {
    waitBoxTexts.push_back("<close>");
    CQuorvaneDlg::CloseWaitBox();
  }

  // The menus the window showed, with the place asked for; the answer is
  // menuChoice (0: none chosen).
  struct MenuShown {
    CPoint at;
    std::vector<MenuItem> items;
  };
  std::vector<MenuShown> menus;
  UINT menuChoice = 0;
  UINT ChooseFromMenu(const CMenu& menu, CPoint at) override {
    menus.push_back({at, MenuItems(menu)});
    return menuChoice;
  }
  struct Report {
    std::string caption;
    std::string text;
  };
  std::vector<Report> reports;
  void ShowReport(const char* caption, const std::string& text) override { reports.push_back({caption, text}); }
  std::vector<std::string> opened;
  void OpenFolder(const std::string& folder) override { opened.push_back(folder); }

  std::string Field(int id) {
    char text[1024] = "";
    ::GetDlgItemTextA(m_hWnd, id, text, sizeof text);
    return text;
  }
  void SetField(int id, const std::string& text) { ::SetDlgItemTextA(m_hWnd, id, text.c_str()); }
  int ListCount() { return static_cast<int>(::SendDlgItemMessageA(m_hWnd, IDC_AIRLINE_LIST, LB_GETCOUNT, 0, 0)); }
  std::string ListEntry(int index) {
    char text[300] = "";
    ::SendDlgItemMessageA(m_hWnd, IDC_AIRLINE_LIST, LB_GETTEXT, index, reinterpret_cast<LPARAM>(text));
    return text;
  }
  int Selected() { return static_cast<int>(::SendDlgItemMessageA(m_hWnd, IDC_AIRLINE_LIST, LB_GETSELCOUNT, 0, 0)); }
  std::string LastText() const { return shown.empty() ? "" : shown.back().text; }
};

}  // namespace qvtest
