// The program's main window: the skinned dialog with the airline list, the
// two folder fields and their browse buttons, the progress bars and the
// Install and Exit buttons. It is the window the engine's commands run on.
#pragma once

#include <string>

#include "commands/FolderSettings.h"
#include "commands/InstallCommand.h"
#include "run/InstallHost.h"
#include "run/InstallRun.h"
#include "ZRVBitmapDialog.h"
#include "ZRVHotSyncButton.h"
#include "framework/Menu.h"

namespace ui {


class CQuorvaneDlg : public ZRVBitmapDialog, public engine::InstallHost, public engine::FolderFieldHost {
 public:
  // run: what the commands work on; not owned, it outlives the dialog.
  explicit CQuorvaneDlg(engine::InstallRun& run, CWnd* parent = nullptr);
  ~CQuorvaneDlg() override;

  BOOL OnInitDialog() override;
  // Exit, Escape and every other cancel end the dialog with result 1.
  void OnCancel() override;

  // Command handlers.
  void OnInstall();
  void OnBrowseFsFolder();
  void OnBrowseSquawkBoxFolder();

  // The safety net, from the context menu, the system menu or a key. Each
  // runs the engine call the command line makes for it.
  void OnPreviewInstall();
  void OnCheckFiles();
  void OnUndoLastRun();
  void OnBackToOriginal();
  void OnRemoveEntries();
  void OnOpenBackupFolder();

  // What the safety net can do for the folders in the fields now.
  engine::FolderChoices LookAtFolders();

  BOOL PreTranslateMessage(MSG* msg) override;

  // What the engine's commands ask of the window.
  engine::Answer ShowMessage(engine::MessageKind kind, const char* text, const char* caption) override;
  // The fields and the airline list as the user left them.
  engine::InstallRequest Request();
  void SetProgressRange(engine::ProgressBar bar, int lower, int upper) override;
  void SetProgressPos(engine::ProgressBar bar, int pos) override;
  // Plays the wait box's script of the step (WaitBoxScript.h).
  void StepReached(engine::CommandStep step) override;
  void ShowStatus(const char* text) override;
  // The same script without its pauses: for a run that changes nothing.
  void PlayStepWithoutPauses(engine::CommandStep step);

  // What the script plays on; apart so that tests can skip the pauses
  // and see the texts.
  virtual void SetWaitCursor();
  virtual void Pause(unsigned milliseconds);
  virtual void ShowWaitBox(const char* text);
  virtual void CloseWaitBox();

  // What the browse commands ask of it.
  std::string FieldText(engine::FolderKind field) override;
  void SetFieldText(engine::FolderKind field, const char* text) override;
  bool BrowseForFolder(const char* title, const char* initialSelection, std::string* chosen) override;
  void ShowWrongFolder(const char* text) override;
  std::string HowToUndo() const override;

  // What the window shows and opens, apart so that tests can script them.
  // The command id chosen from the menu at `at` (screen), 0 for none.
  virtual UINT ChooseFromMenu(const CMenu& menu, CPoint at);
  virtual void ShowReport(const char* caption, const std::string& text);
  virtual void OpenFolder(const std::string& folder);

  static constexpr UINT_PTR kSelectAllTimer = 1;
  static constexpr UINT kSelectAllDelay = 500;

 protected:
  BOOL OnCommand(WPARAM wp, LPARAM lp) override;
  // Runs once, half a second after the dialog opened: selects every airline.
  void OnTimer(UINT_PTR id) override;
  void OnPaint() override;
  HCURSOR OnQueryDragIcon() override;
  // A right-click on the window's surface, Shift+F10 or the menu key.
  void OnContextMenu(HWND window, CPoint point) override;
  // Greys the commands of the system menu before it shows.
  void OnInitMenu(HMENU menu) override;
  BOOL OnSysCommand(UINT id, LPARAM lp) override;

 private:
  BOOL DispatchCommand(WPARAM wp, LPARAM lp);
  // A command ended in an exception: its files given back, and a message.
  void OnCommandStopped(engine::CommandStop stop, const char* detail) noexcept;
  void RepairStoppedRun() noexcept;
  void CreateButtons();
  void AddSafetyNet();
  void OnSafetyCommand(UINT id);
  bool IsSurface(HWND window) const;
  CPoint KeyboardMenuPoint() const;
  bool FolderFieldKeepsKey(const MSG& msg) const;
  void FillList(const std::vector<std::string>& entries);
  void FillFolderFields();
  std::string ItemText(int id);
  std::string ListEntryText(int index);
  LRESULT SendToList(UINT msg, WPARAM wp, LPARAM lp);

  engine::InstallRun& m_run;
  HICON m_appIcon;
  ZRVHotSyncButton m_exitButton;
  ZRVHotSyncButton m_installButton;
  ZRVHotSyncButton m_fsBrowseButton;
  ZRVHotSyncButton m_squawkBoxBrowseButton;
  CAcceleratorTable m_safetyKeys;
  HMENU m_contextMenu = nullptr;  // while it shows: its items are set already
};

}  // namespace ui
