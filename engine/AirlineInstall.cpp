#include "AirlineInstall.h"

#include <cstdint>
#include <cstring>
#include <functional>
#include <string>
#include <utility>

#include "Catalogue.h"
#include "DryRun.h"
#include "FileSystem.h"
#include "Folders.h"
#include "InstallHost.h"
#include "InstallRun.h"
#include "Messages.h"
#include "RunReport.h"
#include "SystemError.h"
#include "Text.h"
#include "TextFile.h"
#include "TitleScan.h"

namespace engine {

namespace {

// Scans the configuration file for the title, as stored: through the
// run's index of it, which is built once and kept while the file stays as
// the run saw or made it.
bool ScanConfigFile(InstallRun& run, InstallHost& host, const char* title, TitleScan* scan) {
  const TitleIndex* index = run.keptScan.Get(run.context.configPath);
  if (!index) return false;
  std::function<void(int)> progress;
  if (host.ShowsAirlineProgress()) progress = [&host](int i) { host.SetProgressPos(ProgressBar::Airline, i); };
  *scan = index->Find(title, progress);
  return true;
}

// Text as the file stores it: each line feed as CR LF.
std::string AsStored(const std::string& text) {
  std::string stored;
  stored.reserve(text.size() + text.size() / 8);
  for (char c : text) {
    if (c == '\n') stored += '\r';
    stored += c;
  }
  return stored;
}

// The aircraft section an install appends.
std::string SectionText(long number, const AirlineRecord& record) {
  std::string text = Printf("[fltsim.%ld]\n", number);
  for (const auto& [key, value] : {std::pair<const char*, const char*>{"Title=", record.Title},
                                   {"Sim=", record.Sim},
                                   {"Model=", record.Model},
                                   {"Panel=", record.Panel},
                                   {"Sound=", record.Sound},
                                   {"Texture=", record.Folder},
                                   {"quorvane=", record.SQ1}}) {
    text += key;
    text += value;
    text += '\n';
  }
  return text + "checklists=\n\n";
}

// Appends the section, numbered as the next free number of the file; the
// run's title index goes on over it. *sizeBefore: the file's length before
// the section, to take it back.
bool AppendSection(InstallRun& run, long number, const AirlineRecord& record, std::uint64_t* sizeBefore) {
  const char* path = run.context.configPath;
  const std::string text = SectionText(number, record);
  KeptAppend::Done done;
  // The state the title scan took a moment ago: one look at the file.
  const plat::FileState seen = run.keptScan.StateSeen();
  if (!run.keptConfigAppend.Append(path, text, &done, &seen)) {
    run.keptScan.Forget();
    return false;
  }
  *sizeBefore = done.sizeBefore;
  const std::string stored = (done.endedWithLineBreak ? "" : "\r\n") + AsStored(text);
  run.keptScan.Appended(path, stored, done.after);
  return true;
}

bool AppendModelLine(InstallRun& run, const char* line) {
  KeptAppend::Done done;
  return run.keptModelAppend.Append(run.context.modelListPath, std::string(line) + "\n", &done);
}

// Refuses what cannot be installed soundly, before anything is changed.
bool CheckRecord(const char* description, const LookupResult& lookup, const AirlineRecord& record,
                 RunReport& report) {
  if (lookup.unreadable) {
    report.Fail(Printf("\"%s\": Airlines.dat could not be read%s, not installed", description,
                       plat::Because().c_str()));
    return false;
  }
  if (!lookup.found) {
    report.Fail(Printf("\"%s\": not found in Airlines.dat, not installed", description));
    return false;
  }
  if (lookup.tooLongKey) {
    report.Fail(Printf("\"%s\": the %s value in Airlines.dat is longer than %zu characters, not installed",
                       description, lookup.tooLongKey, kFieldSize - 1));
    return false;
  }
  if (!IsSafeName(record.Folder)) {
    report.Fail(Printf("\"%s\": the Folder value \"%s\" is not a plain folder name, not installed", description,
                       record.Folder));
    return false;
  }
  if (!IsSafeName(record.Data)) {
    report.Fail(Printf("\"%s\": the Data value \"%s\" is not a plain file name, not installed", description,
                       record.Data));
    return false;
  }
  return true;
}

std::string CopyFailure(const char* description, const char* source, const char* target) {
  return Printf("\"%s\": %s could not be copied to %s%s", description, plat::DisplayPath(source).c_str(),
                plat::DisplayPath(target).c_str(), plat::Because().c_str());
}

std::string FolderFailure(const char* description, const char* folder) {
  return Printf("\"%s\": the folder %s could not be created%s", description, plat::DisplayPath(folder).c_str(),
                plat::Because().c_str());
}

// What making the texture folder and copying would do, and the failure
// they would meet, without doing either: the same messages as the real
// run, so that a dry run ends as it would.
void PlanTexture(InstallHost& host, const char* description, const char* textureFolder, const char* source,
                 const char* target, std::vector<TextureWrite>* planned, RunReport& report) {
  plat::detail::SetLastErrorText("");
  const FolderPathPlan folders = PlanFolderPath(textureFolder);
  if (!folders.fits || !folders.cannotCreate.empty()) {
    if (folders.fits) host.ShowMessage(MessageKind::FolderFailure, kCannotCreateFolderText, folders.cannotCreate.c_str());
    report.Fail(FolderFailure(description, textureFolder));
    return;
  }
  const plat::PathKind folder = plat::GetPathKind(textureFolder);
  const plat::PathKind existing = plat::GetPathKind(target);
  plat::detail::SetLastErrorText("");
  // A file in the folder's place is passed over by the walk; the copy
  // into it then fails.
  if (plat::GetPathKind(source) != plat::PathKind::File || folder == plat::PathKind::File ||
      existing == plat::PathKind::Folder || (folder == plat::PathKind::Folder && !plat::CanReplace(target))) {
    report.Fail(CopyFailure(description, source, target));
    return;
  }
  planned->push_back(TextureWrite{target, existing == plat::PathKind::File});
}

}  // namespace

bool IsSafeName(const char* name) {
  if (std::strpbrk(name, "\\/:")) return false;
  return std::strcmp(name, ".") != 0 && std::strcmp(name, "..") != 0;
}

void InstallAirline(InstallRun& run, InstallHost& host, const char* description,
                    std::vector<TextureWrite>* plannedTextures) {
  const InstallContext& context = run.context;
  const AirlineRecord& record = context.record;
  RunReport& report = run.report;
  LookupResult lookup = LookupAirline(run, description);

  host.SetProgressRange(ProgressBar::Airline, 1, kScanProgressEnd);
  char status[kStatusTextSize];
  FormatText(status, sizeof status, "Installing Airline     %s ", description);  // a cut status text is harmless
  host.ShowWaitBox(status);

  if (!CheckRecord(description, lookup, record, report)) return;

  char textureFolder[kTextureFolderSize];
  char source[kPathSize];
  char target[kPathSize];
  if (!FormatText(textureFolder, sizeof textureFolder, "%s\\aircraft\\csl\\texture.%s", context.fsFolder,
                  record.Folder) ||
      !FormatText(source, sizeof source, "%s%s.dat", run.CatalogueFolder().c_str(), record.Data) ||
      !FormatText(target, sizeof target, "%s\\csl.0af", textureFolder)) {
    report.Fail(Printf("\"%s\": the texture path is too long, not installed", description));
    return;
  }

  const auto config = [&context] { return plat::DisplayPath(context.configPath); };
  TitleScan scan;
  if (!ScanConfigFile(run, host, record.Title, &scan)) {
    report.Fail(Printf("\"%s\": %s could not be read%s, not installed", description, config().c_str(),
                       plat::Because().c_str()));
    return;
  }
  if (!scan.present) {
    host.SetProgressPos(ProgressBar::Airline, 0);
    std::uint64_t sizeBefore = 0;
    if (!AppendSection(run, run.keptScan.NextSectionNumber(), record, &sizeBefore)) {
      report.Fail(Printf("\"%s\": %s could not be written%s, not installed", description, config().c_str(),
                         plat::Because().c_str()));
      return;
    }
    // A section without its model line would leave the two files out of
    // step: the section is taken back.
    if (record.SQ1[0] && !AppendModelLine(run, record.SQ1)) {
      const std::string why = plat::Because();
      run.keptConfigAppend.Close();
      const bool takenBack = plat::TruncateFile(context.configPath, sizeBefore);
      run.keptScan.Forget();
      report.Fail(Printf("\"%s\": the model line could not be added to %s%s, not installed%s", description,
                         plat::DisplayPath(context.modelListPath).c_str(), why.c_str(),
                         takenBack ? "" : Printf(" (its section stays in %s)", config().c_str()).c_str()));
      return;
    }
  }

  if (plannedTextures) {
    PlanTexture(host, description, textureFolder, source, target, plannedTextures, report);
    return;
  }
  plat::detail::SetLastErrorText("");
  if (!EnsureFolderPath(host, textureFolder, 0)) {
    report.Fail(FolderFailure(description, textureFolder));
    return;
  }
  if (!plat::CopyFileOver(source, target)) report.Fail(CopyFailure(description, source, target));
}

}  // namespace engine
