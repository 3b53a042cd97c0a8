#include "FileRewrite.h"

#include "FileReplacement.h"
#include "FileSystem.h"
#include "LineTable.h"
#include "RunReport.h"
#include "Text.h"

bool BackUpOnce(const char* path, bool* backedUp, RunReport& report) {
  if (*backedUp) return true;
  char backup[320];
  FormatText(backup, sizeof backup, "%s.bak", path);
  if (!plat::CopyFileOver(path, backup)) {
    report.Fail(Printf("%s could not be backed up to %s, so it was left unchanged", path, backup));
    return false;
  }
  *backedUp = true;
  return true;
}

bool WriteConfigLines(const char* path, RunReport& report) {
  if (!BackUpOnce(path, &report.configBackedUp, report)) return false;
  plat::FileReplacement out;
  if (!out.Begin(path)) {
    report.Fail(Printf("%s could not be written; it was left unchanged", path));
    return false;
  }
  for (std::size_t i = 0; i < ConfigLineTable::kSlots; ++i) {
    const char* line = ConfigLines.Line(i);
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
