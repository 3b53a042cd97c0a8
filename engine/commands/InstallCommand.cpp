#include "commands/InstallCommand.h"

#include <functional>
#include <string>
#include <utility>

#include "backups/Backups.h"
#include "checks/FileCheck.h"
#include "commands/CommandSteps.h"
#include "commands/RunSteps.h"
#include "install/AirlineInstall.h"
#include "install/Folders.h"
#include "removal/ModelListSort.h"
#include "run/Commit.h"
#include "run/InstallHost.h"
#include "run/InstallRun.h"
#include "run/Messages.h"
#include "run/RedirectedFiles.h"
#include "run/RunReport.h"
#include "staging/FileSwap.h"
#include "staging/RunLocks.h"
#include "staging/StagedFiles.h"
#include "text/Capacities.h"
#include "text/Text.h"
#include "text/TitleScan.h"
#include "platform/FileSystem.h"
#include "platform/Result.h"
#include "platform/TextFile.h"

namespace engine {

namespace {

bool CanOpenForReading(const char* path) {
  plat::TextFile file;
  return static_cast<bool>(file.Open(path, plat::TextFile::Mode::Read));
}

// The first two checks: the model list path, then each folder by its
// marker file. Null when they pass, else the message.
const char* CheckFolders(InstallContext& context) {
  if (!FormatText(context.modelListPath, sizeof context.modelListPath, "%s\\CSL_ICAO.csv",
                  context.squawkBoxFolder)) {
    return kSquawkBoxPathTooLongText;
  }
  if (!HoldsMarkerFile(context.squawkBoxFolder, kSquawkBoxMarker)) return kInvalidSquawkBoxText;
  if (!HoldsMarkerFile(context.fsFolder, kFsMarker)) return kInvalidFsText;
  return nullptr;
}

// Aircraft.cfg, or else Aircraft.csl, as the configuration file path.
const char* FindConfigFile(InstallContext& context) {
  if (!FormatText(context.configPath, sizeof context.configPath, "%s\\aircraft\\csl\\Aircraft.cfg",
                  context.fsFolder)) {
    return kFsPathTooLongText;
  }
  if (CanOpenForReading(context.configPath)) return nullptr;
  FormatText(context.configPath, sizeof context.configPath, "%s\\aircraft\\csl\\Aircraft.csl", context.fsFolder);
  return CanOpenForReading(context.configPath) ? nullptr : kNoConfigText;
}

int CountSelected(const InstallRequest& request) {
  int selected = 0;
  for (const ListEntry& entry : request.entries) {
    if (entry.selected) ++selected;
  }
  return selected;
}

bool RepairFirst(InstallHost& host, const InstallRequest& request, InstallOutcome* outcome);

// Confirmation, the front end's request, the repair of a run that was
// stopped, and the checks, in the order whose first failure the user is
// told of. Afterwards the context holds the folders and both file paths.
// False when the command ends here.
bool ConfirmAndCheck(InstallRun& run, const InstallRequest& request, InstallHost& host,
                     InstallOutcome* outcome) {
  *outcome = InstallOutcome::Cancelled;
  if (host.ShowMessage(MessageKind::Confirmation, kConfirmText, nullptr) != Answer::Ok) return false;

  if (!RepairFirst(host, request, outcome)) return false;
  InstallContext& context = run.context;
  TakeFolders(request, context);
  const char* failed = CheckFolders(context);
  if (!failed && CountSelected(request) == 0) failed = kNoSelectionText;
  if (!failed) failed = FindConfigFile(context);
  std::string redirected;
  if (!failed && MayChangeInPlace(context, *run.redirection, &redirected)) return true;
  *outcome = Refuse(host, failed ? std::string(failed) : redirected);
  return false;
}

// The files as the command will meet them: a run that was stopped before
// is finished or taken back first (FileSwap.h), and the user told in one
// line. False, with the outcome, when the files could not be set right.
bool RepairFirst(InstallHost& host, const InstallRequest& request, InstallOutcome* outcome) {
  const Repair repair = RepairOf(request);
  if (repair.line.empty()) return true;
  host.ShowMessage(repair.settled ? MessageKind::Repaired : MessageKind::Failure, repair.line.c_str(), nullptr);
  if (repair.settled) return true;
  *outcome = InstallOutcome::CheckFailed;
  return false;
}

// One airline of the list: the host shows its name and the title scan's
// progress, and a texture folder that could not be made gets its box.
void InstallListedAirline(InstallRun& run, InstallHost& host, const char* entry,
                          std::vector<TextureWrite>* plannedTextures) {
  host.SetProgressRange(ProgressBar::Airline, 1, kScanProgressEnd);
  char status[kStatusTextSize];
  FormatText(status, sizeof status, "Installing Airline     %s ", entry);  // a cut status text is harmless
  host.ShowStatus(status);
  std::function<void(int)> progress;
  if (host.ShowsAirlineProgress()) progress = [&host](int i) { host.SetProgressPos(ProgressBar::Airline, i); };
  const AirlineResult result = AddAirline(AirlineWorkOf(run, plannedTextures, std::move(progress)), entry);
  if (!result.folderNotMade.empty()) {
    host.ShowMessage(MessageKind::FolderFailure, kCannotCreateFolderText, result.folderNotMade.c_str());
  }
}

void InstallSelectedAirlines(InstallRun& run, InstallHost& host, const InstallRequest& request,
                             std::vector<TextureWrite>* plannedTextures) {
  host.SetProgressRange(ProgressBar::Overall, 1, CountSelected(request));
  host.SetProgressPos(ProgressBar::Overall, 1);
  int installed = 0;
  for (const ListEntry& listed : request.entries) {
    char entry[kEntrySize] = {};
    CopyText(entry, listed.text.c_str());
    if (!entry[0] || !listed.selected) continue;
    InstallListedAirline(run, host, entry, plannedTextures);
    ++installed;
    host.SetProgressPos(ProgressBar::Overall, 1 + installed);
  }
}

// What remove asks before it changes anything: the files it changes and
// what it keeps of them.
std::string RemoveConfirmation(const InstallContext& context) {
  std::string text = kConfirmText;
  text += "\n\nRemove takes every entry that Quorvane or an earlier release installed out of:\n";
  for (const char* path : {context.configPath, context.modelListPath}) {
    text += Printf("  %s\n", plat::DisplayPath(path).c_str());
  }
  text += Printf("Both files are kept as they are now as %s%s and %s%s first. The texture folders stay.",
                 NameOf(context.configPath).c_str(), SuffixOf(Copy::LastRun), NameOf(context.modelListPath).c_str(),
                 SuffixOf(Copy::LastRun));
  return text;
}

// The Install command from its confirmation to its last message.
InstallOutcome Install(InstallRun& run, const InstallRequest& request, InstallHost& host, DryRun* dryRun) {
  InstallOutcome outcome;
  if (!ConfirmAndCheck(run, request, host, &outcome)) return outcome;
  std::string refusal;
  if (!run.locks.Take(run.context.configPath, run.context.modelListPath, "install", dryRun != nullptr, &refusal)) {
    return Refuse(host, refusal);
  }

  host.StepReached(CommandStep::InstallStarts);
  const RemovalResult removal = StageRemoval(run, dryRun);
  host.StepReached(CommandStep::EarlierEntriesGone);
  if (removal.refused) return Refuse(host, removal.refusal);
  host.StepReached(CommandStep::AirlinesStart);

  InstallSelectedAirlines(run, host, request, dryRun ? &dryRun->textures : nullptr);

  host.StepReached(CommandStep::AirlinesDone);
  // The sort reads the model list again: what another program appended
  // meanwhile is in it.
  std::string changed;
  if (!run.staged.TakeOthersAppends(&changed)) return Refuse(host, changed);
  SortStagedModelList(run.modelList, run.staged, run.report);
  const CommitResult committed =
      CommitStaged(run.staged, run.report, "install", dryRun != nullptr, KeepCopies::WhenChanged);
  if (committed.refused) return Refuse(host, committed.refusal);
  return Finish(host, run.report, kSuccessText, kFinishedWithErrorsText, dryRun == nullptr,
                WhereWindowsKeepsThem(run.context, *run.redirection));
}

// Remove: the checks first, then a confirmation that names both files,
// then only the removal pass.
InstallOutcome Remove(InstallRun& run, const InstallRequest& request, InstallHost& host, DryRun* dryRun) {
  InstallOutcome outcome = InstallOutcome::CheckFailed;
  if (!RepairFirst(host, request, &outcome)) return outcome;
  std::string refusal;
  if (!FindUserFiles(request, run.context, &refusal) ||
      !MayChangeInPlace(run.context, *run.redirection, &refusal)) {
    return Refuse(host, refusal);
  }
  if (!run.locks.Take(run.context.configPath, run.context.modelListPath, "remove", dryRun != nullptr, &refusal)) {
    return Refuse(host, refusal);
  }
  const std::string confirmation = RemoveConfirmation(run.context);
  if (host.ShowMessage(MessageKind::Confirmation, confirmation.c_str(), nullptr) != Answer::Ok) {
    return InstallOutcome::Cancelled;
  }

  host.StepReached(CommandStep::RemoveStarts);
  host.SetProgressRange(ProgressBar::Overall, 0, 1);
  host.SetProgressPos(ProgressBar::Overall, 0);
  const RemovalResult removal = StageRemoval(run, dryRun);
  host.StepReached(CommandStep::EarlierEntriesGone);
  if (removal.refused) return Refuse(host, removal.refusal);
  const CommitResult committed =
      CommitStaged(run.staged, run.report, "remove", dryRun != nullptr, KeepCopies::WhenChanged);
  if (committed.refused) return Refuse(host, committed.refusal);
  host.SetProgressPos(ProgressBar::Overall, 1);
  return Finish(host, run.report, kRemovedText, kRemoveFinishedWithErrorsText, dryRun == nullptr,
                WhereWindowsKeepsThem(run.context, *run.redirection));
}

const char* WhatStopped(CommandStop stop) {
  switch (stop) {
    case CommandStop::OutOfMemory: return "Quorvane ran out of memory";
    case CommandStop::Error: break;
  }
  return "Quorvane met an unexpected error";
}

}  // namespace

InstallOutcome OnInstall(InstallRun& run, const InstallRequest& request, InstallHost& host, DryRun* dryRun) {
  run.Begin();
  const InstallOutcome outcome = Install(run, request, host, dryRun);
  run.End();
  return outcome;
}

bool FindUserFiles(const InstallRequest& request, InstallContext& context, std::string* refusal) {
  TakeFolders(request, context);
  const char* failed = CheckFolders(context);
  if (!failed) failed = FindConfigFile(context);
  if (!failed) return true;
  *refusal = failed;
  return false;
}

Repair RepairOf(const InstallRequest& request) {
  InstallContext context{};
  TakeFolders(request, context);
  return RepairInterruptedRun(ConfigFolderOf(context.fsFolder), context.squawkBoxFolder);
}

bool CheckFilesOf(InstallRun& run, const InstallRequest& request, FileCheck* check, std::string* refusal) {
  const Repair repair = RepairOf(request);
  if (!repair.settled) {
    *refusal = repair.line;
    return false;
  }
  if (!FindUserFiles(request, run.context, refusal)) return false;
  *check = CheckUserFiles(run.context.configPath, run.context.modelListPath);
  if (!repair.line.empty()) check->notes.insert(check->notes.begin(), repair.line);
  std::vector<std::string> redirected;
  DescribeCopies(run.context, *run.redirection, &redirected, &check->notes);
  check->problems.insert(check->problems.begin(), redirected.begin(), redirected.end());
  return true;
}

InstallOutcome OnRemove(InstallRun& run, const InstallRequest& request, InstallHost& host, DryRun* dryRun) {
  run.Begin();
  const InstallOutcome outcome = Remove(run, request, host, dryRun);
  run.End();
  return outcome;
}

AbandonedCommand AbandonCommand(InstallRun& run, CommandStop stop, const char* detail) noexcept {
  AbandonedCommand abandoned;
  // Files are replaced only at a command's end, by a swap that gives them
  // back itself when it is stopped; one that could not do that left the
  // record for the next start.
  const bool outOfStep = run.staged.swapping;
  abandoned.outcome = outOfStep ? InstallOutcome::CompletedWithFailures : InstallOutcome::CheckFailed;
  abandoned.message = nullptr;
  try {
    std::string text = WhatStopped(stop);
    if (detail && *detail) text += Printf(" (%s)", detail);
    text += ", and the command stopped.\n\n";
    text += outOfStep ? "The aircraft configuration and CSL_ICAO.csv could not be given back as the command found "
                        "them; Quorvane puts them back at its next start."
                      : "Nothing has been changed.";
    abandoned.text = std::move(text);
    run.End();
  } catch (...) {
    run.End();
    // Too little memory even for the message: a fixed text.
    abandoned.message = abandoned.outcome == InstallOutcome::CheckFailed
                            ? kStoppedText
                            : kStoppedAfterChangeText;
  }
  return abandoned;
}

}  // namespace engine
