#pragma once

#include <cstddef>
#include <string>

#include "InstallContext.h"
#include "KeptFiles.h"
#include "LineTable.h"
#include "RunReport.h"

namespace engine {

class FileRedirection;

// Everything the engine's commands work on: the paths and the airline
// record, the two line tables, what went wrong, and where the catalogue
// lies. A front end keeps one for the life of the process, so the tables
// are allocated once; each command clears what it uses before it uses it.
struct InstallRun {
  InstallRun();
  InstallRun(const InstallRun&) = delete;
  InstallRun& operator=(const InstallRun&) = delete;

  InstallContext context{};  // all empty until a command fills it
  ModelListTable ModelList;     // the lines of CSL_ICAO.csv, each with its line feed
  ConfigLineTable ConfigLines;  // the lines of the aircraft configuration file
  RunReport report;
  // The catalogue and the configuration file's title scan, kept between
  // airlines while the files stay the same; forgotten by each command.
  KeptCatalogue keptCatalogue;
  KeptTitleScan keptScan;
  // Both files, kept open for appending between airlines; closed by
  // CloseKeptFiles before anything replaces them.
  KeptAppend keptConfigAppend;
  KeptAppend keptModelAppend;
  // What Windows' file virtualization means for the two files: the
  // system's answers (SystemFileRedirection), or a test's.
  const FileRedirection* redirection;

  void CloseKeptFiles();

  // A command's start: the report emptied, nothing kept of earlier ones.
  void Begin();

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
