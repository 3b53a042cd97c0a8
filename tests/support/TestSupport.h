#pragma once

#include <string>
#include <vector>

#include "InstallHost.h"

// A temporary folder for one test, removed with everything in it at the end.
class TempDir {
 public:
  TempDir();
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;

  const std::string& path() const { return path_; }
  std::string operator/(const std::string& name) const { return path_ + "/" + name; }

 private:
  std::string path_;
};

// Whole files, byte for byte.
void WriteFile(const std::string& path, const std::string& bytes);
std::string ReadFile(const std::string& path);
bool FileExists(const std::string& path);
void MakeFolders(const std::string& path);

// Turns "\n" into "\r\n", for writing expected file contents readably.
std::string Crlf(const std::string& text);

// The lines of a text, each without its separator; a last line without
// one counts as a line.
std::vector<std::string> SplitLines(const std::string& text, const std::string& separator = "\n");

// The text with ASCII capitals made small, as the engine compares names.
std::string Folded(std::string text);

// Puts the engine's process-wide state back to how a process starts, and
// the current folder back where it was when the test began.
class EngineStateGuard {
 public:
  EngineStateGuard();
  ~EngineStateGuard();

 private:
  std::string cwd_;
};

// A host that records what the engine asks of the window and answers from
// a script.
class FakeHost : public InstallHost {
 public:
  struct Message {
    MessageKind kind;
    std::string text;
    std::string caption;
  };
  struct Progress {
    int bar;
    bool isRange;
    int a;
    int b;
  };

  std::string fsFolder;
  std::string squawkBoxFolder;
  std::vector<std::string> entries;
  std::vector<bool> selected;
  Answer confirmAnswer = Answer::Ok;
  bool browseAccepted = false;   // the scripted answer of the folder browser
  std::string browseResult;
  std::vector<std::string> browseCalls;  // "title|initial selection"
  Answer askAnswer = Answer::Yes;

  std::vector<Message> messages;
  std::vector<std::string> waitBoxTexts;  // "<close>" marks a CloseWaitBox
  std::vector<Progress> progress;         // bar 8001 only; 8000 would drown it
  std::vector<unsigned> pauses;
  int waitCursors = 0;

  void SelectAll() { selected.assign(entries.size(), true); }
  const Message* LastMessage() const { return messages.empty() ? nullptr : &messages.back(); }

  Answer ShowMessage(MessageKind kind, const char* text, const char* caption) override;
  void GetFolderText(int fieldId, char* buf, std::size_t cap) override;
  void SetFolderText(int fieldId, const char* text) override;
  bool BrowseForFolder(const char* title, const char* initial, char* result, std::size_t cap) override;
  void ResetList() override;
  void AddListEntry(const char* text) override;
  int ListCount() override { return static_cast<int>(entries.size()); }
  bool IsListEntrySelected(int index) override;
  void GetListEntry(int index, char* buf, std::size_t cap) override;
  void SetProgressRange(int barId, int lower, int upper) override;
  void SetProgressPos(int barId, int pos) override;
  void SetWaitCursor() override { ++waitCursors; }
  void Pause(unsigned ms) override { pauses.push_back(ms); }
  void ShowWaitBox(const char* text) override { waitBoxTexts.push_back(text); }
  void CloseWaitBox() override { waitBoxTexts.push_back("<close>"); }
};

// A FS2002 folder, a SquawkBox folder and a catalogue folder in a
// temporary folder, laid out as the Install command expects them.
struct InstallTree {
  TempDir dir;
  std::string fs;         // <dir>/FS2002
  std::string csl;        // <fs>/aircraft/csl
  std::string squawkBox;  // <dir>/SquawkBox
  std::string catalogue;  // <dir>/catalogue

  InstallTree();
  std::string config() const { return csl + "/Aircraft.cfg"; }
  std::string models() const { return squawkBox + "/CSL_ICAO.csv"; }
  // Adds a catalogue section with the usual keys and its texture file.
  void AddAirline(int section, const std::string& descr, const std::string& code);
  void WriteCatalogue();
  std::string catalogueText;
};
