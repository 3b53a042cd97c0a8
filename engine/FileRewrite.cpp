#include "FileRewrite.h"

#include "FileReplacement.h"
#include "FileSystem.h"
#include "InstallRun.h"
#include "LineTable.h"
#include "RunReport.h"
#include "Text.h"

namespace engine {

bool BackUpOnce(const char* path, RunReport::Backup* backup, RunReport& report) {
  if (*backup != RunReport::Backup::NotYet) return *backup == RunReport::Backup::Made;
  char backupPath[320];
  FormatText(backupPath, sizeof backupPath, "%s.bak", path);
  if (!plat::CopyFileOver(path, backupPath)) {
    *backup = RunReport::Backup::Failed;
    report.Fail(Printf("%s could not be backed up to %s, so it was not rewritten", path, backupPath));
    return false;
  }
  *backup = RunReport::Backup::Made;
  return true;
}

bool WriteConfigLines(InstallRun& run) {
  RunReport& report = run.report;
  const char* path = run.context.configPath;
  if (!BackUpOnce(path, &report.configBackup, report)) return false;
  plat::FileReplacement out;
  if (!out.Begin(path)) {
    report.Fail(Printf("%s could not be written; it was left unchanged", path));
    return false;
  }
  for (std::size_t i = 0; i < ConfigLineTable::kSlots; ++i) {
    const char* line = run.ConfigLines.Line(i);
    if (!*line) continue;
    if (line[0] == '[') out.Write("\n");
    out.Write(line);
    out.Write("\n");
  }
  if (!out.Commit()) {
    report.Fail(Printf("%s could not be written; it was left unchanged", path));
    return false;
  }
  return true;
}

}  // namespace engine
