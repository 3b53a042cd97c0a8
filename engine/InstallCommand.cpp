#include "InstallCommand.h"

#include <cstring>

#include "AirlineInstall.h"
#include "FileReplacement.h"
#include "FileSystem.h"
#include "Folders.h"
#include "InstallHost.h"
#include "InstallRun.h"
#include "Messages.h"
#include "ModelListSort.h"
#include "RemovalPass.h"
#include "RunReport.h"
#include "Text.h"
#include "TextFile.h"

namespace engine {

namespace {

struct ScriptedText {
  const char* text;
  unsigned pauseAfter;
};

constexpr ScriptedText kWaitScript[] = {
    {kWaitBlankText, 500},
    {kWaitInitializingText, 1500},
    {kWaitReadingText, 1500},
    {kWaitDeletingText, 2500},
};
constexpr unsigned kPauseAfterRemoval = 500;

bool CanOpenForReading(const char* path) {
  plat::TextFile file;
  return file.Open(path, plat::TextFile::Mode::Read);
}

bool AnySelected(const InstallRequest& request) {
  for (const ListEntry& entry : request.entries) {
    if (entry.selected) return true;
  }
  return false;
}

void RemoveOneTrailingBackslash(char* folder) {
  std::size_t len = std::strlen(folder);
  if (len > 0 && folder[len - 1] == '\\') folder[len - 1] = '\0';
}

InstallOutcome Refuse(InstallHost& host, const char* text) {
  host.ShowMessage(MessageKind::Failure, text, nullptr);
  return InstallOutcome::CheckFailed;
}

int CountSelected(const InstallRequest& request) {
  int selected = 0;
  for (const ListEntry& entry : request.entries) {
    if (entry.selected) ++selected;
  }
  return selected;
}

// Confirmation, the front end's request and the checks, in the order whose
// first failure the user is told of. Afterwards the context holds the
// folders and both file paths. False when the command ends here.
bool ConfirmAndCheck(InstallRun& run, InstallHost& host, bool needsSelection, InstallRequest* request,
                     InstallOutcome* outcome) {
  *outcome = InstallOutcome::Cancelled;
  if (host.ShowMessage(MessageKind::Confirmation, kConfirmText, nullptr) != Answer::Ok) return false;

  *request = host.Request();
  InstallContext& context = run.context;
  CopyText(context.fsFolder, request->fsFolder.c_str());  // a field holds 299 characters
  CopyText(context.squawkBoxFolder, request->squawkBoxFolder.c_str());
  RemoveOneTrailingBackslash(context.fsFolder);

  if (!FormatText(context.modelListPath, sizeof context.modelListPath, "%s\\CSL_ICAO.csv",
                  context.squawkBoxFolder)) {
    *outcome = Refuse(host, kSquawkBoxPathTooLongText);
    return false;
  }
  if (!HoldsMarkerFile(context.squawkBoxFolder, kSquawkBoxMarker)) {
    *outcome = Refuse(host, kInvalidSquawkBoxText);
    return false;
  }
  if (!HoldsMarkerFile(context.fsFolder, kFsMarker)) {
    *outcome = Refuse(host, kInvalidFsText);
    return false;
  }
  if (needsSelection && !AnySelected(*request)) {
    *outcome = Refuse(host, kNoSelectionText);
    return false;
  }
  if (!FormatText(context.configPath, sizeof context.configPath, "%s\\aircraft\\csl\\Aircraft.cfg",
                  context.fsFolder)) {
    *outcome = Refuse(host, kFsPathTooLongText);
    return false;
  }
  if (!CanOpenForReading(context.configPath)) {
    FormatText(context.configPath, sizeof context.configPath, "%s\\aircraft\\csl\\Aircraft.csl", context.fsFolder);
    if (!CanOpenForReading(context.configPath)) {
      *outcome = Refuse(host, kNoConfigText);
      return false;
    }
  }
  return true;
}

// Points the context at copies of both files in the scratch folder, so
// that the command changes nothing of the user's.
bool StartDryRun(InstallContext& context, DryRun* dryRun, RunReport& report) {
  dryRun->configPath = context.configPath;
  dryRun->modelListPath = context.modelListPath;
  const char* configName = std::strrchr(context.configPath, '\\') + 1;  // always composed with one
  dryRun->scratchConfigPath = dryRun->scratchFolder + "/" + configName;
  dryRun->scratchModelListPath = dryRun->scratchFolder + "/CSL_ICAO.csv";
  if (!plat::CopyFileOver(context.configPath, dryRun->scratchConfigPath.c_str()) ||
      !plat::CopyFileOver(context.modelListPath, dryRun->scratchModelListPath.c_str()) ||
      !CopyText(context.configPath, dryRun->scratchConfigPath.c_str()) ||
      !CopyText(context.modelListPath, dryRun->scratchModelListPath.c_str())) {
    return false;
  }
  // Nothing of the user's is rewritten, so there is nothing to keep.
  report.configBackup = RunReport::Backup::Made;
  report.modelListBackup = RunReport::Backup::Made;
  return true;
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
    InstallAirline(run, host, entry, plannedTextures);
    ++installed;
    host.SetProgressPos(ProgressBar::Overall, 1 + installed);
  }
}

InstallOutcome Finish(InstallHost& host, const RunReport& report, const char* success, const char* heading) {
  if (report.HasFailures()) {
    host.ShowMessage(MessageKind::Failure, report.FailureMessage(heading).c_str(), nullptr);
    return InstallOutcome::CompletedWithFailures;
  }
  host.ShowMessage(MessageKind::Success, success, nullptr);
  return InstallOutcome::Completed;
}

// Gives a file back the exact bytes of its backup, through the same safe
// replacement as every rewrite.
void RestoreFromBackup(const char* path, RunReport& report) {
  const std::string backup = std::string(path) + ".bak";
  if (plat::GetPathKind(backup.c_str()) != plat::PathKind::File) {
    report.Fail(Printf("%s was not found, so %s was left unchanged", backup.c_str(), path));
    return;
  }
  plat::FileBytes bytes;
  const bool read = plat::ReadWholeFile(backup.c_str(), &bytes);
  plat::FileReplacement out;
  if (!read || !out.Begin(path, plat::TextFile::Translation::Binary)) {
    report.Fail(Printf("%s could not be restored from %s; it was left unchanged", path, backup.c_str()));
    return;
  }
  out.Write(bytes.View());
  if (!out.Commit()) report.Fail(Printf("%s could not be restored from %s; it was left unchanged", path, backup.c_str()));
}

}  // namespace

InstallOutcome OnInstall(InstallRun& run, InstallHost& host, DryRun* dryRun) {
  run.report = RunReport();
  InstallOutcome outcome;
  InstallRequest request;
  if (!ConfirmAndCheck(run, host, /*needsSelection=*/true, &request, &outcome)) return outcome;
  if (dryRun && !StartDryRun(run.context, dryRun, run.report)) return Refuse(host, kNoScratchCopyText);

  host.SetWaitCursor();
  for (const ScriptedText& step : kWaitScript) {
    host.ShowWaitBox(step.text);
    host.Pause(step.pauseAfter);
  }
  host.ShowWaitBox(kWaitDotsText);
  RemovalResult removal = RemoveEarlierEntries(run, host);
  if (removal.refused) return Refuse(host, removal.refusal.c_str());
  host.Pause(kPauseAfterRemoval);
  host.ShowWaitBox(kWaitText);

  InstallSelectedAirlines(run, host, request, dryRun ? &dryRun->textures : nullptr);

  host.SetWaitCursor();
  // Once for the box, twice more as the command always did; closing when
  // none is open does nothing.
  host.CloseWaitBox();
  host.CloseWaitBox();
  host.CloseWaitBox();
  SortModelList(run);
  return Finish(host, run.report, kSuccessText, kFinishedWithErrorsText);
}

InstallOutcome OnRemove(InstallRun& run, InstallHost& host, DryRun* dryRun) {
  run.report = RunReport();
  InstallOutcome outcome;
  InstallRequest request;
  if (!ConfirmAndCheck(run, host, /*needsSelection=*/false, &request, &outcome)) return outcome;
  if (dryRun && !StartDryRun(run.context, dryRun, run.report)) return Refuse(host, kNoScratchCopyText);

  host.SetWaitCursor();
  host.ShowWaitBox(kWaitDeletingText);
  RemovalResult removal = RemoveEarlierEntries(run, host);
  if (removal.refused) return Refuse(host, removal.refusal.c_str());
  return Finish(host, run.report, kRemovedText, kRemoveFinishedWithErrorsText);
}

InstallOutcome OnRestore(InstallRun& run, InstallHost& host) {
  run.report = RunReport();
  InstallOutcome outcome;
  InstallRequest request;
  if (!ConfirmAndCheck(run, host, /*needsSelection=*/false, &request, &outcome)) return outcome;
  RestoreFromBackup(run.context.configPath, run.report);
  RestoreFromBackup(run.context.modelListPath, run.report);
  return Finish(host, run.report, kRestoredText, kRestoreFinishedWithErrorsText);
}

}  // namespace engine
