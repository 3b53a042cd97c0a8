#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace engine {

// What the engine's commands need of the front end that runs them: the
// dialog implements it on its windows, the command-line front end on a
// terminal, the tests on plain data. The engine never sees a window type.

// Why a message is shown; the front end picks buttons, icon and caption
// from it (and a terminal front end the stream it prints to).
enum class MessageKind {
  Confirmation,   // OK and Cancel, exclamation icon, application name as caption
  Failure,        // OK, exclamation icon, application name as caption
  Success,        // OK, exclamation icon, application name as caption
  AskCreateFolder,// Yes and No, no icon, task-modal, the caption is given
  FolderFailure,  // OK, no icon, task-modal, the caption is given
  Repaired,       // one line on what the start found of a run that was stopped and did about it
};

enum class Answer { Ok, Cancel, Yes, No };

// The per-airline bar (the title scan's progress) and the overall one.
enum class ProgressBar { Airline, Overall };

// The points of a command that a front end may show, in the order they
// come. A command that stops early reaches none of the later ones.
enum class CommandStep {
  InstallStarts,       // install: confirmed, checked and both folders locked; earlier entries go first
  RemoveStarts,        // remove: confirmed; earlier entries go
  EarlierEntriesGone,  // install and remove: the pass over both files has ended, or was refused
  AirlinesStart,       // install: each airline follows, named by ShowStatus
  AirlinesDone,        // install: the sort and the swap follow
  RestoreStarts,       // restore: confirmed; the copies go back
  RestoreDone,         // restore: the copies are back, or could not be put back
};

// One entry of the airline list as the user left it.
struct ListEntry {
  std::string text;
  bool selected = false;
};

// What the user asked for, as the front end hands it to a command: the
// two folder texts as typed and the airline list in list order. The engine cuts each text to the 299 characters its buffers hold.
struct InstallRequest {
  std::string fsFolder;
  std::string squawkBoxFolder;
  std::vector<ListEntry> entries;
};

class InstallHost {
 public:
  virtual ~InstallHost() = default;

  // caption is null for the kinds that carry the application name.
  virtual Answer ShowMessage(MessageKind kind, const char* text, const char* caption) = 0;

  virtual void SetProgressRange(ProgressBar bar, int lower, int upper) = 0;
  virtual void SetProgressPos(ProgressBar bar, int pos) = 0;
  // Whether the airline bar is shown: a front end without one is spared
  // the title scan's thousand positions of every airline.
  virtual bool ShowsAirlineProgress() const { return true; }

  // How many failures the last message lists before "... and N more": a
  // message box must still fit on the screen with a thousand of them.
  virtual std::size_t MostFailuresListed() const { return 20; }

  // How the user puts both files back as they were before a run, in the
  // front end's own words: the last line of the message of a run that
  // changed the files and then failed.
  virtual std::string HowToUndo() const {
    return "'quorvane-cli restore' puts both files back as they were before this run.";
  }

  // Where the command has got to, and what it is doing there: the dialog
  // plays its wait box at each step, a terminal prints a line.
  virtual void StepReached(CommandStep step) = 0;
  // The airline being installed, in the command's words
  // ("Installing Airline     <description> ").
  virtual void ShowStatus(const char* text) = 0;
};

}  // namespace engine
