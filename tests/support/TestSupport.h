#pragma once

#include <string>
#include <vector>

#include "commands/FolderSettings.h"
#include "run/InstallHost.h"

namespace engine {
struct InstallRun;
}
struct InstallTree;

#ifdef _WIN32
// The POSIX names the tests use, from the C runtime of Windows: chmod (a
// mode without 0200 sets the read-only attribute), getcwd, chdir.
#include <io.h>
#include <stdlib.h>

// The environment of the test process itself.
inline int setenv(const char* name, const char* value, int) {
  return _putenv((std::string(name) + "=" + value).c_str());
}
inline int unsetenv(const char* name) { return _putenv((std::string(name) + "=").c_str()); }
#endif

// The separator of the paths that the tests build and compare with the
// program's own: on Windows, where every full path the program makes has
// backslashes, '\\'.
#ifdef _WIN32
inline constexpr char kSeparator = '\\';
#else
inline constexpr char kSeparator = '/';
#endif

// The path with each '/' turned into kSeparator.
std::string WithSeparators(std::string path);

// A temporary folder for one test, removed with everything in it at the end.
class TempDir {
 public:
  TempDir();
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;

  const std::string& path() const { return path_; }
  std::string operator/(const std::string& name) const { return path_ + kSeparator + WithSeparators(name); }

 private:
  std::string path_;
};

// Where the program keeps a bare profile name such as "Quorvane.ini" while
// this object lives. On Linux that is `folder`, named by $XDG_CONFIG_HOME
// (removed again at the end). On Windows it is the Windows folder, which no
// variable moves: its Quorvane.ini is put aside at the start and brought
// back at the end, so a test neither sees nor leaves one.
class ProfileFolder {
 public:
  explicit ProfileFolder(const std::string& folder);
  ~ProfileFolder();
  ProfileFolder(const ProfileFolder&) = delete;
  ProfileFolder& operator=(const ProfileFolder&) = delete;

  const std::string& path() const { return path_; }
  std::string operator/(const std::string& name) const { return path_ + kSeparator + WithSeparators(name); }

 private:
  std::string path_;
#ifdef _WIN32
  std::string saved_;
#endif
};

// Runs a command line written for sh(1) and gives its exit status (-1 when
// it did not exit normally). On Windows it goes to cmd.exe, after these
// changes of the few forms the tests write: a leading "cd DIR && " changes
// the drive too, 'quoted' words become "quoted" words (the first one,
// the program, with backslashes), a "NAME=value " before the program is
// dropped (only XDG_CONFIG_HOME is given that way, which Windows does not
// read), and /dev/null becomes NUL.
int RunShellCommand(const std::string& command);

// Whether the program finds no room for new entries in a folder whose
// permission bits deny writing: the Linux layer refuses them (to root too,
// as Windows refuses a read-only file); Windows keeps no such bit for
// folders.
bool ReadOnlyFoldersAreEnforced();

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
  // Points both folder fields at the tree and lists the entries, all selected.
  void UseTree(const InstallTree& tree, std::vector<std::string> listed);
  const Message* LastMessage() const { return messages.empty() ? nullptr : &messages.back(); }

  engine::Answer ShowMessage(engine::MessageKind kind, const char* text, const char* caption) override;
  // The request the fields above make, as a front end hands it over.
  engine::InstallRequest Request() const;
  void SetProgressRange(engine::ProgressBar bar, int lower, int upper) override;
  void SetProgressPos(engine::ProgressBar bar, int pos) override;
  // Plays the main window's wait-box script of the step into the records
  // below, as the window would show it.
  void StepReached(engine::CommandStep step) override;
  void ShowStatus(const char* text) override { ShowWaitBox(text); }
  virtual void SetWaitCursor() { ++waitCursors; }
  virtual void Pause(unsigned ms) { pauses.push_back(ms); }
  virtual void ShowWaitBox(const char* text) { waitBoxTexts.push_back(text); }
  virtual void CloseWaitBox() { waitBoxTexts.push_back("<close>"); }

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
  std::string config() const { return csl + kSeparator + "Aircraft.cfg"; }
  std::string models() const { return squawkBox + kSeparator + "CSL_ICAO.csv"; }
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
