#include "InstallCommand.h"

#include <cstring>

#include "AirlineInstall.h"
#include "FileSystem.h"
#include "InstallContext.h"
#include "InstallHost.h"
#include "Messages.h"
#include "ModelListSort.h"
#include "RemovalPass.h"
#include "RunReport.h"
#include "Text.h"
#include "TextFile.h"

InstallContext CurrentInstall;

namespace {

constexpr std::size_t kEntrySize = 300;

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

void RemoveOneTrailingBackslash(char* folder) {
  std::size_t len = std::strlen(folder);
  if (len > 0 && folder[len - 1] == '\\') folder[len - 1] = '\0';
}

InstallOutcome Refuse(InstallHost& host, const char* text) {
  host.ShowMessage(MessageKind::Failure, text, nullptr);
  return InstallOutcome::CheckFailed;
}

int CountSelected(InstallHost& host, int count) {
  int selected = 0;
  for (int i = 0; i < count; ++i) {
    if (host.IsListEntrySelected(i)) ++selected;
  }
  return selected;
}

// The four checks, in the order whose first failure the user is told of.
// Afterwards the context holds the folders and both file paths.
bool CheckFoldersAndFiles(InstallHost& host, InstallContext& context, InstallOutcome* outcome) {
  if (!FormatText(context.modelListPath, sizeof context.modelListPath, "%s\\CSL_ICAO.csv",
                  context.squawkBoxFolder)) {
    *outcome = Refuse(host, kSquawkBoxPathTooLongText);
    return false;
  }
  if (!plat::SetCurrentFolder(context.squawkBoxFolder) || !CanOpenForReading("CSL_ICAO.csv")) {
    *outcome = Refuse(host, kInvalidSquawkBoxText);
    return false;
  }
  if (!plat::SetCurrentFolder(context.fsFolder) || !CanOpenForReading("FS2002.exe")) {
    *outcome = Refuse(host, kInvalidFsText);
    return false;
  }
  if (CountSelected(host, host.ListCount()) == 0) {
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

void InstallSelectedAirlines(InstallHost& host, RunReport& report) {
  const int count = host.ListCount();
  const int selected = CountSelected(host, count);
  host.SetProgressRange(kOverallProgressId, 1, selected);
  host.SetProgressPos(kOverallProgressId, 1);
  int installed = 0;
  for (int i = 0; i < count; ++i) {
    char entry[kEntrySize] = {};
    host.GetListEntry(i, entry, sizeof entry);
    if (!entry[0] || !host.IsListEntrySelected(i)) continue;
    InstallAirline(host, entry, report);
    ++installed;
    host.SetProgressPos(kOverallProgressId, 1 + installed);
  }
}

}  // namespace

InstallOutcome OnInstall(InstallHost& host) {
  if (host.ShowMessage(MessageKind::Confirmation, kConfirmText, nullptr) != Answer::Ok) {
    return InstallOutcome::Cancelled;
  }

  InstallContext& context = CurrentInstall;
  host.GetFolderText(kFsFolderFieldId, context.fsFolder, sizeof context.fsFolder);
  host.GetFolderText(kSquawkBoxFolderFieldId, context.squawkBoxFolder, sizeof context.squawkBoxFolder);
  RemoveOneTrailingBackslash(context.fsFolder);

  InstallOutcome outcome = InstallOutcome::CheckFailed;
  if (!CheckFoldersAndFiles(host, context, &outcome)) return outcome;

  host.SetWaitCursor();
  for (const ScriptedText& step : kWaitScript) {
    host.ShowWaitBox(step.text);
    host.Pause(step.pauseAfter);
  }
  host.ShowWaitBox(kWaitDotsText);
  RunReport report;
  RemovalResult removal = RemoveEarlierEntries(host, report);
  if (removal.refused) return Refuse(host, removal.refusal.c_str());
  host.Pause(kPauseAfterRemoval);
  host.ShowWaitBox(kWaitText);

  InstallSelectedAirlines(host, report);

  host.SetWaitCursor();
  // Once for the box, twice more as the command always did; closing when
  // none is open does nothing.
  host.CloseWaitBox();
  host.CloseWaitBox();
  host.CloseWaitBox();
  SortModelList(report);

  if (report.HasFailures()) {
    host.ShowMessage(MessageKind::Failure, report.FailureMessage().c_str(), nullptr);
    return InstallOutcome::CompletedWithFailures;
  }
  host.ShowMessage(MessageKind::Success, kSuccessText, nullptr);
  return InstallOutcome::Completed;
}
