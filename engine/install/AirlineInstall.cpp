#include "install/AirlineInstall.h"

#include <cstdint>
#include <cstring>
#include <functional>
#include <string>
#include <utility>

#include "catalogue/KeptCatalogue.h"
#include "install/Folders.h"
#include "run/DryRun.h"
#include "run/RunReport.h"
#include "staging/StagedFiles.h"
#include "text/Text.h"
#include "text/TitleScan.h"
#include "platform/FileSystem.h"
#include "platform/Result.h"

namespace engine {

namespace {

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

// Refuses what cannot be installed soundly, before anything is changed.
bool CheckRecord(const char* description, const LookupResult& lookup, const AirlineRecord& record,
                 RunReport& report) {
  if (!lookup.read) {
    report.Fail(Printf("\"%s\": Airlines.dat could not be read%s, not installed", description,
                       lookup.read.Because().c_str()));
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

std::string FolderFailure(const char* description, const char* folder, const plat::Result& making) {
  return Printf("\"%s\": the folder %s could not be created%s", description, plat::DisplayPath(folder).c_str(),
                making.Because().c_str());
}

// What making the texture folder and copying would do, and the failure
// they would meet, without doing either: the same messages as the real
// run, so that a dry run ends as it would. Gives the folder that could not
// be made, as the real run does.
std::string PlanTexture(const char* description, const char* textureFolder, const char* source, const char* target,
                        std::vector<TextureWrite>* planned, RunReport& report) {
  const FolderPathPlan folders = PlanFolderPath(textureFolder);
  if (!folders.fits || !folders.cannotCreate.empty()) {
    report.Fail(FolderFailure(description, textureFolder, folders.failure));
    return folders.cannotCreate;
  }
  const plat::PathKind folder = plat::GetPathKind(textureFolder);
  const plat::PathKind existing = plat::GetPathKind(target);
  // A file in the folder's place is passed over by the walk; the copy
  // into it then fails. Only the last check has a reason of the system's.
  plat::Result replaceable;
  if (plat::GetPathKind(source) != plat::PathKind::File || folder == plat::PathKind::File ||
      existing == plat::PathKind::Folder ||
      (folder == plat::PathKind::Folder && !(replaceable = plat::CanReplace(target)))) {
    report.Fail(TextureCopyFailure(description, source, target, replaceable));
    return std::string();
  }
  planned->push_back(TextureWrite{target, existing == plat::PathKind::File});
  return std::string();
}

}  // namespace

bool IsSafeName(const char* name) {
  if (std::strpbrk(name, "\\/:")) return false;
  return std::strcmp(name, ".") != 0 && std::strcmp(name, "..") != 0;
}

AirlineResult AddAirline(const AirlineWork& work, const char* description) {
  AirlineResult result;
  RunReport& report = work.report;
  StagedFiles& staged = work.staged;
  const LookupResult lookup = LookupAirline(work.catalogue, work.catalogueFolder, description);
  const AirlineRecord& record = lookup.record;
  if (!CheckRecord(description, lookup, record, report)) return result;

  char textureFolder[kTextureFolderSize];
  char source[kPathSize];
  char target[kPathSize];
  if (!FormatText(textureFolder, sizeof textureFolder, "%s\\aircraft\\csl\\texture.%s", work.fsFolder,
                  record.Folder) ||
      !FormatText(source, sizeof source, "%s%s.dat", work.catalogueFolder.c_str(), record.Data) ||
      !FormatText(target, sizeof target, "%s\\csl.0af", textureFolder)) {
    report.Fail(Printf("\"%s\": the texture path is too long, not installed", description));
    return result;
  }

  // What another program added to the files meanwhile is taken in, as
  // this airline's appends to the files themselves would have met it.
  // A file changed otherwise stops the run at its end (CommitStaged).
  std::string changed;
  if (!staged.TakeOthersAppends(&changed)) {
    report.Fail(Printf("\"%s\": %s", description, changed.substr(0, changed.find('\n')).c_str()));
    return result;
  }
  const TitleScan scan = staged.FindTitle(record.Title, work.scanProgress);
  if (!scan.present) {
    if (work.scanProgress) work.scanProgress(0);
    // A section without its model line would leave the two files out of
    // step: neither is added.
    if (const plat::Result writable = work.alone ? plat::CanReplace(work.configPath) : plat::Result(); !writable) {
      report.Fail(Printf("\"%s\": %s could not be written%s, not installed", description,
                         plat::DisplayPath(work.configPath).c_str(), writable.Because().c_str()));
      return result;
    }
    if (record.SQ1[0] && !staged.ModelsUsable()) {
      report.Fail(Printf("\"%s\": the model line could not be added to %s%s, not installed", description,
                         plat::DisplayPath(work.modelListPath).c_str(), staged.ModelsProblem().c_str()));
      return result;
    }
    staged.AppendSection(SectionText(staged.NextSectionNumber(), record));
    if (record.SQ1[0]) staged.AppendToModels(std::string(record.SQ1) + "\n");
  }

  if (work.plannedTextures) {
    result.folderNotMade = PlanTexture(description, textureFolder, source, target, work.plannedTextures, report);
    return result;
  }
  const FolderPathResult folder = EnsureFolderPath(textureFolder);
  if (!folder) {
    report.Fail(FolderFailure(description, textureFolder, folder.failure));
    result.folderNotMade = folder.notMade;
    return result;
  }
  std::string temp;
  if (const plat::Result copied = plat::CopyBeside(source, target, &temp); !copied) {
    report.Fail(TextureCopyFailure(description, source, target, copied));
    return result;
  }
  staged.AddTexture(TextureChange{target, temp, description, source});
  return result;
}

}  // namespace engine
