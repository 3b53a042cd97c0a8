#pragma once

#include <string>
#include <vector>

#include "FolderSettings.h"
#include "InstallHost.h"

namespace engine {
struct InstallRun;
}

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

// A host that records what the engine asks of the window and answers from
// a script.
class FakeHost : public engine::InstallHost, public engine::FolderFieldHost {
 public:
  struct Message {
    engine::MessageKind kind;
    std::string text;
    std::string caption;
  };
  struct Progress {
    engine::ProgressBar bar;
    bool isRange;
    int a;
    int b;
  };

  std::string fsFolder;
  std::string squawkBoxFolder;
  std::vector<std::string> entries;
  std::vector<bool> selected;
  engine::Answer confirmAnswer = engine::Answer::Ok;
  bool browseAccepted = false;   // the scripted answer of the folder browser
  std::string browseResult;
  std::vector<std::string> browseCalls;  // "title|initial selection"
  engine::Answer askAnswer = engine::Answer::Yes;

  std::vector<Message> messages;
  std::vector<std::string> waitBoxTexts;  // "<close>" marks a CloseWaitBox
  std::vector<Progress> progress;         // the overall bar only; the airline bar would drown it
  std::vector<unsigned> pauses;
  int waitCursors = 0;

  void SelectAll() { selected.assign(entries.size(), true); }
  const Message* LastMessage() const { return messages.empty() ? nullptr : &messages.back(); }

  engine::Answer ShowMessage(engine::MessageKind kind, const char* text, const char* caption) override;
  engine::InstallRequest Request() override;
  void SetProgressRange(engine::ProgressBar bar, int lower, int upper) override;
  void SetProgressPos(engine::ProgressBar bar, int pos) override;
  void SetWaitCursor() override { ++waitCursors; }
  void Pause(unsigned ms) override { pauses.push_back(ms); }
  void ShowWaitBox(const char* text) override { waitBoxTexts.push_back(text); }
  void CloseWaitBox() override { waitBoxTexts.push_back("<close>"); }

  std::string FieldText(engine::FolderKind field) override { return field == engine::FolderKind::Fs ? fsFolder : squawkBoxFolder; }
  void SetFieldText(engine::FolderKind field, const char* text) override {
    (field == engine::FolderKind::Fs ? fsFolder : squawkBoxFolder) = text;
  }
  bool BrowseForFolder(const char* title, const char* initial, std::string* chosen) override;
  void ShowWrongFolder(const char* text) override { ShowMessage(engine::MessageKind::Failure, text, nullptr); }
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
  // Points the run at this tree's catalogue.
  void UseCatalogue(engine::InstallRun& run) const;
  // Also sets the run's folders and file paths as a command's checks would,
  // for tests of the steps after them.
  void UsePaths(engine::InstallRun& run) const;
  // Adds a catalogue section with the usual keys and its texture file.
  void AddAirline(int section, const std::string& descr, const std::string& code);
  void WriteCatalogue();
  std::string catalogueText;
};
