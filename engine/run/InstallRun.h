#pragma once

#include <cstddef>
#include <string>

#include "catalogue/KeptCatalogue.h"
#include "run/InstallContext.h"
#include "run/RunReport.h"
#include "staging/RunLocks.h"
#include "staging/StagedFiles.h"
#include "text/LineTable.h"

namespace engine {

class FileRedirection;

// Fills buf (at least kPathSize bytes) with the folder of the running executable,
// ending in its separator (C:\Tools\).
void GetModuleFolder(char* buf);

// Everything the engine's commands work on: the paths and the airline
// record, the two line tables, what went wrong, and where the catalogue
// lies. A front end keeps one for the life of the process, so the tables
// are allocated once; each command clears what it uses before it uses it.
struct InstallRun {
  InstallRun();
  InstallRun(const InstallRun&) = delete;
  InstallRun& operator=(const InstallRun&) = delete;

  InstallContext context{};  // all empty until a command fills it
  ModelListTable modelList;     // the lines of CSL_ICAO.csv, each with its line feed
  ConfigLineTable configLines;  // the lines of the aircraft configuration file
  RunReport report;
  // The catalogue, kept between airlines while the file stays the same;
  // forgotten by each command.
  KeptCatalogue keptCatalogue;
  // What the command makes of both files, built aside until its end.
  StagedFiles staged;
  // What Windows' file virtualization means for the two files: the
  // system's answers (SystemFileRedirection), or a test's.
  const FileRedirection* redirection;

  // The install's or remove's locks on both folders, held until the
  // command ends, or, when it stops on an exception, until its files are
  // given back.
  RunLocks locks;

  // A command's start: the report emptied, nothing kept of earlier ones.
  void Begin();
  // An install's or remove's end: the locks released, what it built aside
  // forgotten and both tables given back (the tables to their first size);
  // the report stays.
  void End();

  // The folder of Airlines.dat and the <Data>.dat files, ending in a
  // separator: the executable's folder until SetCatalogueFolder chooses
  // another.
  const std::string& CatalogueFolder() const { return m_catalogueFolder; }
  // Null or "" gives back the executable's folder. False, with nothing
  // changed, when the name is too long for the paths made from it.
  bool SetCatalogueFolder(const char* folder);

 private:
  std::string m_catalogueFolder;
};

}  // namespace engine
