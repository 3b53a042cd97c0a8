#pragma once

#include <cstdio>
#include <string>
#include <vector>

#include "InstallHost.h"

// The Install command's window, played on a terminal: message boxes are
// printed (failures to stderr, success to stdout), the confirmation is
// answered by --yes or on the terminal, status texts go to stderr, and the
// scripted pauses are not made.
class CliHost : public InstallHost {
 public:
  struct Settings {
    std::string fsFolder;
    std::string squawkBoxFolder;
    bool assumeYes = false;
    bool interactive = false;    // the confirmation may be asked on stdin
    bool showProgress = false;   // stderr is a terminal
    bool preview = false;        // a dry run: confirmed without asking, final report held back
  };

  explicit CliHost(Settings settings) : settings_(std::move(settings)) {}

  const std::vector<std::string>& Entries() const { return entries_; }
  // Selects every entry whose text equals one of the descriptions; false
  // names the first description that is no entry.
  bool Select(const std::vector<std::string>& descriptions, std::string* unknown);
  void SelectAll();

  // Prints the final report a dry run held back.
  void PrintHeldMessages();

  Answer ShowMessage(MessageKind kind, const char* text, const char* caption) override;
  void GetFolderText(int fieldId, char* buf, std::size_t cap) override;
  void SetFolderText(int fieldId, const char* text) override;
  // There is no folder browser on a terminal: folders are options.
  bool BrowseForFolder(const char*, const char*, char*, std::size_t) override { return false; }
  void ResetList() override;
  void AddListEntry(const char* text) override;
  int ListCount() override;
  bool IsListEntrySelected(int index) override;
  void GetListEntry(int index, char* buf, std::size_t cap) override;
  void SetProgressRange(int barId, int lower, int upper) override;
  void SetProgressPos(int barId, int pos) override;
  void SetWaitCursor() override {}
  void Pause(unsigned) override {}
  void ShowWaitBox(const char* text) override;
  void CloseWaitBox() override;

 private:
  void DrawProgress();
  void EndProgressLine();

  struct HeldMessage {
    MessageKind kind;
    std::string text;
  };
  void Print(MessageKind kind, const std::string& text);

  Settings settings_;
  std::vector<HeldMessage> held_;
  std::vector<std::string> entries_;
  std::vector<bool> selected_;
  std::string status_;
  int overallLower_ = 1;
  int overallUpper_ = 1;
  int overallPos_ = 0;
  bool progressLineOpen_ = false;
};
