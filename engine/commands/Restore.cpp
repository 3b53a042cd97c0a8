#include <algorithm>
#include <array>
#include <string>
#include <vector>

#include "backups/Backups.h"
#include "commands/CommandSteps.h"
#include "commands/InstallCommand.h"
#include "install/Folders.h"
#include "run/InstallHost.h"
#include "run/InstallRun.h"
#include "run/Messages.h"
#include "run/RedirectedFiles.h"
#include "run/RunReport.h"
#include "staging/FileSwap.h"
#include "staging/RunLocks.h"
#include "text/Text.h"
#include "platform/FileReplacement.h"
#include "platform/FileSystem.h"
#include "platform/Result.h"

// Puts both files back from the copies a run kept, all or nothing: each is
// checked against its record before anything changes, the files as they
// are are kept first, and a restore that fails part-way gives the first
// file back what it held.

namespace engine {
namespace {

bool Exists(const std::string& path) { return plat::GetPathKind(path.c_str()) == plat::PathKind::File; }

// One file to put back: where it lives, the copy, and what it holds now.
struct Replacement {
  std::string live;
  CheckedCopy copy;
  bool liveExists = false;
  plat::FileBytes liveBytes;
  BeforeRestoreCopy kept;  // where the file as it is now is kept
  bool Changes() const { return !liveExists || liveBytes.View() != copy.bytes.View(); }
  bool Kept() const { return Changes() && liveExists; }
};

// The SquawkBox folder holds the model list or a copy of it; the
// configuration file is Aircraft.cfg, else Aircraft.csl, by the file or by
// its copy, so that a restore works where a live file has gone. Null when
// both paths are in the context, else the message for the user.
const char* LocateFiles(InstallContext& context, Copy copy) {
  if (!FormatText(context.modelListPath, sizeof context.modelListPath, "%s\\CSL_ICAO.csv",
                  context.squawkBoxFolder)) {
    return kSquawkBoxPathTooLongText;
  }
  if (plat::GetPathKind(context.squawkBoxFolder) != plat::PathKind::Folder ||
      (!Exists(context.modelListPath) && !Exists(CopyPathOf(context.modelListPath, copy)))) {
    return kInvalidSquawkBoxText;
  }
  if (!HoldsMarkerFile(context.fsFolder, kFsMarker)) return kInvalidFsText;
  for (bool byCopy : {false, true}) {
    for (const char* name : {"Aircraft.cfg", "Aircraft.csl"}) {
      if (!FormatText(context.configPath, sizeof context.configPath, "%s\\aircraft\\csl\\%s", context.fsFolder,
                      name)) {
        return kFsPathTooLongText;
      }
      if (Exists(byCopy ? CopyPathOf(context.configPath, copy) : std::string(context.configPath))) return nullptr;
    }
  }
  return kNoConfigText;
}

bool FindFiles(InstallRun& run, const InstallRequest& request, InstallHost& host, Copy copy,
               InstallOutcome* outcome) {
  const Repair repair = RepairOf(request);
  if (!repair.line.empty()) {
    host.ShowMessage(repair.settled ? MessageKind::Repaired : MessageKind::Failure, repair.line.c_str(), nullptr);
    if (!repair.settled) return false;
  }
  TakeFolders(request, run.context);
  const char* failed = LocateFiles(run.context, copy);
  if (!failed) return true;
  *outcome = Refuse(host, failed);
  return false;
}

// Both copies, each checked against its record; copies of the last run
// must come from the same run, or the two files would end out of step.
bool CheckCopies(const InstallContext& context, Copy copy, std::array<Replacement, 2>* files,
                 std::string* refusal) {
  std::string failure;
  const char* paths[] = {context.configPath, context.modelListPath};
  for (std::size_t i = 0; i < files->size(); ++i) {
    Replacement& file = (*files)[i];
    file.live = paths[i];
    if (!CheckCopy(file.live, copy, &file.copy, &failure)) {
      *refusal = "Nothing can be restored:\n" + failure + "\n\nNothing has been changed.";
      return false;
    }
    file.liveExists = Exists(file.live);
    if (!file.liveExists) continue;
    if (const plat::Result read = plat::ReadWholeFile(file.live.c_str(), &file.liveBytes); !read) {
      *refusal = Printf("%s could not be read%s.\n\nNothing has been changed.",
                        plat::DisplayPath(file.live.c_str()).c_str(), read.Because().c_str());
      return false;
    }
  }
  // Copies of two runs would leave the files out of step, unless both runs
  // found the same two files. Originals come from two runs only when one
  // was lost (removed, or written over by hand) and kept again later.
  const CopyRecord& first = (*files)[0].copy.record;
  const CopyRecord& second = (*files)[1].copy.record;
  const bool samePair = !first.pair.empty() && first.pair == second.pair;
  if (first.run != second.run && !samePair) {
    *refusal = Printf("Nothing can be restored: the two %s were made by different runs (%s and %s), so they do "
                      "not belong together.\n\nNothing has been changed.",
                      copy == Copy::Original ? "copies of the originals" : "backups", first.made.c_str(),
                      second.made.c_str());
    return false;
  }
  return true;
}

std::string Confirmation(Copy copy, const std::array<Replacement, 2>& files) {
  std::string text = kConfirmText;
  text += copy == Copy::Original ? "\n\nRestore puts back the files as Quorvane first found them:\n"
                                 : Printf("\n\nRestore puts back the files as they were before the run of %s:\n",
                                          files[0].copy.record.made.c_str());
  for (const Replacement& file : files) {
    if (!file.Changes()) continue;
    text += Printf("  %s from %s\n", plat::DisplayPath(file.live.c_str()).c_str(),
                   NameOf(file.copy.path).c_str());
  }
  std::string kept;
  for (const Replacement& file : files) {
    if (!file.Kept()) continue;
    kept += (kept.empty() ? "" : " and ") + NameOf(file.kept.path);
  }
  if (!kept.empty()) text += "The files as they are now are kept as " + kept + ".";
  return text;
}

bool Writable(const std::array<Replacement, 2>& files, std::string* refusal) {
  for (const Replacement& file : files) {
    if (!file.Changes()) continue;
    const plat::Result replaceable = plat::CanReplace(file.live.c_str());
    if (replaceable) continue;
    *refusal = Printf("%s cannot be written%s.\n\nNothing has been changed.",
                      plat::DisplayPath(file.live.c_str()).c_str(), replaceable.Because().c_str());
    return false;
  }
  return true;
}

std::vector<FoundFile> FilesKept(const std::array<Replacement, 2>& files) {
  std::vector<FoundFile> kept;
  for (const Replacement& file : files) {
    if (file.Kept()) kept.push_back(FoundFile{file.live, file.liveBytes.View()});
  }
  return kept;
}

// Where the files as they are will be kept, decided before the question
// names them.
bool PlanKeeping(std::array<Replacement, 2>* files, std::string* refusal) {
  std::vector<BeforeRestoreCopy> plan;
  if (!PlanBeforeRestore(FilesKept(*files), &plan, refusal)) return false;
  std::size_t next = 0;
  for (Replacement& file : *files) {
    if (file.Kept()) file.kept = plan[next++];
  }
  return true;
}

bool KeepAsTheyAre(const std::array<Replacement, 2>& files, std::string* refusal) {
  std::vector<BeforeRestoreCopy> plan;
  for (const Replacement& file : files) {
    if (file.Kept()) plan.push_back(file.kept);
  }
  std::string failure;
  if (KeepBeforeRestore(FilesKept(files), plan, NewRunStamp(), &failure)) return true;
  *refusal = failure + "\n\nNothing has been changed.";
  return false;
}

enum class PutResult { Done, NothingChanged, Failed };

// Keeps the files as they are, then swaps the copies in (FileSwap.h): a
// restore stopped half-way is taken back at the next start, from the
// copies just kept. Nothing changed: the message in *refusal. A failure
// after a file changed goes to the report.
PutResult PutCopiesBack(const std::array<Replacement, 2>& files, bool* swapping, RunReport& report,
                        std::string* refusal) {
  if (!Writable(files, refusal) || !KeepAsTheyAre(files, refusal)) return PutResult::NothingChanged;
  std::vector<FileChange> changes;
  for (const Replacement& file : files) {
    if (!file.Changes()) continue;
    changes.push_back(FileChange{file.live, file.copy.bytes.View(), file.liveExists, file.liveBytes.View(),
                                 file.liveExists ? file.kept.path : std::string()});
  }
  std::vector<std::string> folders = {FolderOf(files[0].live)};
  const std::string modelFolder = FolderOf(files[1].live);
  if (!plat::IsSameFolder(folders[0].c_str(), modelFolder.c_str())) folders.push_back(modelFolder);
  const SwapResult swapped = SwapIn("restore", NewRunStamp(), folders, changes, {}, swapping);
  switch (swapped.status) {
    case SwapStatus::Done: return PutResult::Done;
    case SwapStatus::NothingChanged: *refusal = swapped.message; return PutResult::NothingChanged;
    case SwapStatus::LeftForRepair: break;
  }
  report.Fail(swapped.message);
  return PutResult::Failed;
}

// Whether a restore from one kind of copy would find the files and their
// copies, and what it would do with them.
KeptCopies LookAtCopies(const InstallRequest& request, Copy copy, std::vector<std::string>* backupFolders) {
  InstallContext context{};
  TakeFolders(request, context);
  if (LocateFiles(context, copy)) return KeptCopies::None;
  for (const char* path : {context.configPath, context.modelListPath}) {
    const std::string folder = FolderOf(path);
    if (!Exists(folder + "\\" + kBackupRecordName)) continue;
    const bool listed = std::any_of(backupFolders->begin(), backupFolders->end(), [&](const std::string& other) {
      return plat::IsSameFolder(other.c_str(), folder.c_str());
    });
    if (!listed) backupFolders->push_back(plat::NativePath(folder.c_str()));
  }
  for (const char* path : {context.configPath, context.modelListPath}) {
    if (!IsRecordedCopy(path, copy)) return KeptCopies::None;
  }
  std::array<Replacement, 2> files;
  std::string refusal;
  if (!CheckCopies(context, copy, &files, &refusal)) return KeptCopies::Refused;
  return files[0].Changes() || files[1].Changes() ? KeptCopies::Restorable : KeptCopies::Unchanged;
}

}  // namespace

InstallOutcome OnRestore(InstallRun& run, const InstallRequest& request, InstallHost& host, RestoreFrom from) {
  run.Begin();
  const Copy copy = from == RestoreFrom::Original ? Copy::Original : Copy::LastRun;
  InstallOutcome outcome = InstallOutcome::CheckFailed;
  if (!FindFiles(run, request, host, copy, &outcome)) return outcome;
  std::string refusal;
  if (!MayChangeInPlace(run.context, *run.redirection, &refusal)) return Refuse(host, refusal);
  RunLocks locks;
  if (!locks.Take(run.context.configPath, run.context.modelListPath, "restore", /*dryRun=*/false, &refusal)) {
    return Refuse(host, refusal);
  }

  std::array<Replacement, 2> files;
  if (!CheckCopies(run.context, copy, &files, &refusal)) return Refuse(host, refusal);
  const char* done = from == RestoreFrom::Original ? kRestoredOriginalText : kRestoredText;
  if (!files[0].Changes() && !files[1].Changes()) {
    host.ShowMessage(MessageKind::Success, done, nullptr);
    return InstallOutcome::Completed;
  }
  if (!PlanKeeping(&files, &refusal)) return Refuse(host, refusal);
  if (host.ShowMessage(MessageKind::Confirmation, Confirmation(copy, files).c_str(), nullptr) != Answer::Ok) {
    return InstallOutcome::Cancelled;
  }
  host.StepReached(CommandStep::RestoreStarts);
  host.SetProgressRange(ProgressBar::Overall, 0, 1);
  host.SetProgressPos(ProgressBar::Overall, 0);
  const PutResult put = PutCopiesBack(files, &run.staged.swapping, run.report, &refusal);
  if (put == PutResult::Done) host.SetProgressPos(ProgressBar::Overall, 1);
  host.StepReached(CommandStep::RestoreDone);
  if (put == PutResult::NothingChanged) return Refuse(host, refusal);
  return Finish(host, run.report, done, kRestoreFinishedWithErrorsText, /*undoable=*/false,
                WhereWindowsKeepsThem(run.context, *run.redirection));
}

FolderChoices LookAtFolders(const InstallRequest& request) {
  FolderChoices choices;
  InstallContext context{};
  std::string refusal;
  choices.foldersValid = FindUserFiles(request, context, &refusal);
  choices.lastRun = LookAtCopies(request, Copy::LastRun, &choices.backupFolders);
  choices.original = LookAtCopies(request, Copy::Original, &choices.backupFolders);
  return choices;
}

}  // namespace engine
