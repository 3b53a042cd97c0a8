#pragma once

#include <string>
#include <vector>

#include "checks/FileCheck.h"
#include "commands/CommandOutcome.h"
#include "run/DryRun.h"

namespace engine {

class InstallHost;
struct InstallContext;
struct InstallRequest;
struct InstallRun;

// The Install command: confirms, checks the folders, the selection and the
// configuration file, removes what earlier runs installed, installs every
// selected airline in list order, sorts the model list and reports.
InstallOutcome OnInstall(InstallRun& run, const InstallRequest& request, InstallHost& host,
                         DryRun* dryRun = nullptr);

// The folder checks of the Install command on the request's folders, in
// its order, showing nothing: true with the folders and both file paths in
// the context, else false with the check's message in *refusal.
bool FindUserFiles(const InstallRequest& request, InstallContext& context, std::string* refusal);

// Every command that works on the request's folders first finishes or
// takes back a run that was stopped there (FileSwap.h); the line it gives
// says what it did.
struct Repair;
Repair RepairOf(const InstallRequest& request);

// The folder checks of the Install command on the request's folders, then
// a look at both files that changes nothing of its own (CheckUserFiles);
// a run that was stopped is repaired first, and its line is the first of
// the notes. False, with the message in *refusal, when a folder check
// fails or the files could not be set right.
bool CheckFilesOf(InstallRun& run, const InstallRequest& request, FileCheck* check, std::string* refusal);

// The same checks (but for the selection), then a confirmation that names
// both files, then only the removal pass: takes out every entry this tool
// or an earlier release installed.
InstallOutcome OnRemove(InstallRun& run, const InstallRequest& request, InstallHost& host,
                        DryRun* dryRun = nullptr);

// Puts the configuration file and the model list back as they were before
// the last run that changed them (their ".bak" copies) or before the first
// one (".orig"). All or nothing: both copies must be whole copies of the
// same run, as their record says; the files as they are are kept as
// ".before-restore" first; a live file that is missing is made again.
enum class RestoreFrom { LastRun, Original };
InstallOutcome OnRestore(InstallRun& run, const InstallRequest& request, InstallHost& host,
                         RestoreFrom from = RestoreFrom::LastRun);

// What a restore from one kind of copy would meet now.
enum class KeptCopies {
  None,        // no copy of ours of one file or both: there is nothing to put back
  Unchanged,   // both files hold what their copies hold already
  Restorable,  // a restore would put the copies back
  Refused,     // copies of ours are there, but a restore refuses them and says why
};

// What the commands can do for the request's folders now, found without
// a message, a lock or a change: for a front end that offers only what
// can apply.
struct FolderChoices {
  bool foldersValid = false;  // the Install command's folder checks pass
  KeptCopies lastRun = KeptCopies::None;
  KeptCopies original = KeptCopies::None;
  // The folders of the two files that hold copies of ours, each once.
  std::vector<std::string> backupFolders;
};
FolderChoices LookAtFolders(const InstallRequest& request);

// What a front end does when one of its commands ends in an exception
// instead of returning, in its one catch at the command's entry: memory
// ran out (std::bad_alloc), or anything else went wrong. Forgets what the
// command built aside and, if it was replacing the configuration file and
// the model list, gives both back as it found them. The message for the user is `text`, or, when even that could not
// be made, the fixed `message`. Never throws. CheckFailed when nothing is
// changed; CompletedWithFailures when the files could not be given back.
enum class CommandStop { OutOfMemory, Error };
struct AbandonedCommand {
  InstallOutcome outcome = InstallOutcome::CheckFailed;
  std::string text;
  const char* message = nullptr;
  const char* Message() const { return message ? message : text.c_str(); }
};
AbandonedCommand AbandonCommand(InstallRun& run, CommandStop stop, const char* detail = nullptr) noexcept;

}  // namespace engine
