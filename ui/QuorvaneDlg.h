// The program's main window: the skinned dialog with the airline list, the
// two folder fields and their browse buttons, the progress bars and the
// Install and Exit buttons. It is the window the engine's commands run on.
#pragma once

#include "InstallHost.h"
#include "ZRVBitmapDialog.h"
#include "ZRVHotSyncButton.h"

class CQuorvaneDlg : public ZRVBitmapDialog, public InstallHost {
 public:
  explicit CQuorvaneDlg(CWnd* parent = nullptr);
  ~CQuorvaneDlg() override;

  BOOL OnInitDialog() override;
  // Exit, Escape and every other cancel end the dialog with result 1.
  void OnCancel() override;

  // Command handlers.
  void OnInstall();
  void OnBrowseFsFolder();
  void OnBrowseSquawkBoxFolder();

  // What the engine asks of the window.
  Answer ShowMessage(MessageKind kind, const char* text, const char* caption) override;
  void GetFolderText(int fieldId, char* buf, std::size_t cap) override;
  void SetFolderText(int fieldId, const char* text) override;
  bool BrowseForFolder(const char* title, const char* initialSelection, char* result, std::size_t cap) override;
  void ResetList() override;
  void AddListEntry(const char* text) override;
  int ListCount() override;
  bool IsListEntrySelected(int index) override;
  void GetListEntry(int index, char* buf, std::size_t cap) override;
  void SetProgressRange(int barId, int lower, int upper) override;
  void SetProgressPos(int barId, int pos) override;
  void SetWaitCursor() override;
  void Pause(unsigned milliseconds) override;
  void ShowWaitBox(const char* text) override;
  void CloseWaitBox() override;

  static constexpr UINT_PTR kSelectAllTimer = 1;
  static constexpr UINT kSelectAllDelay = 500;

 protected:
  BOOL OnCommand(WPARAM wp, LPARAM lp) override;
  // Runs once, half a second after the dialog opened: selects every airline.
  void OnTimer(UINT_PTR id) override;
  void OnPaint() override;
  HCURSOR OnQueryDragIcon() override;

 private:
  void CreateButtons();
  LRESULT SendToList(UINT msg, WPARAM wp, LPARAM lp);

  HICON m_appIcon;
  ZRVHotSyncButton m_exitButton;
  ZRVHotSyncButton m_installButton;
  ZRVHotSyncButton m_fsBrowseButton;
  ZRVHotSyncButton m_squawkBoxBrowseButton;
};
