#include "Commands.h"

#include <iostream>

#include "CatalogueCheck.h"
#include "Catalogue.h"
#include "CliHost.h"
#include "Console.h"
#include "FileSystem.h"
#include "Folders.h"
#include "InstallCommand.h"
#include "Profile.h"

namespace {

constexpr const char kProfileName[] = "Quorvane.ini";
constexpr std::size_t kFolderFieldSize = 300;

// The folder the dialog would show at start for a profile key.
std::string RememberedFolder(const char* key) {
  char value[kFolderFieldSize];
  plat::ReadProfileString("PATH", key, "", value, sizeof value, kProfileName);
  return value;
}

// The engine changes the current folder as it checks folders, so folders
// named on the command line are made absolute first.
std::string Absolute(const std::string& folder) { return plat::AbsolutePath(folder.c_str()); }

bool UseCatalogue(const CliOptions& options) {
  if (SetCatalogueFolder(Absolute(options.catalogue).c_str())) return true;
  std::cerr << "quorvane-cli: the catalogue folder name is too long\n";
  return false;
}

int RunList(const CliOptions& options) {
  if (!UseCatalogue(options)) return kExitUsage;
  CliHost host(CliHost::Settings{});
  FillAirlineList(host);
  for (const std::string& entry : host.Entries()) std::cout << entry << "\n";
  return kExitSuccess;
}

int RunCheck(const CliOptions& options) {
  if (!UseCatalogue(options)) return kExitUsage;
  std::vector<std::string> findings = CheckCatalogue();
  for (const std::string& finding : findings) std::cout << finding << "\n";
  return findings.empty() ? kExitSuccess : kExitNothingChanged;
}

int RunInstall(const CliOptions& options) {
  if (!UseCatalogue(options)) return kExitUsage;
  CliHost::Settings settings;
  settings.fsFolder = options.hasFs ? Absolute(options.fs) : RememberedFolder("FLUSI");
  settings.squawkBoxFolder = options.hasSquawkBox ? Absolute(options.squawkBox) : RememberedFolder("SQUAWK");
  settings.assumeYes = options.yes;
  settings.interactive = plat::IsTerminal(0);
  settings.showProgress = plat::IsTerminal(2);
  CliHost host(settings);

  FillAirlineList(host);
  if (options.airlines.empty()) {
    host.SelectAll();
  } else {
    std::string unknown;
    if (!host.Select(options.airlines, &unknown)) {
      std::cerr << "quorvane-cli: '" << unknown << "' is no airline of the catalogue (see 'quorvane-cli list')\n";
      return kExitUsage;
    }
  }

  switch (OnInstall(host)) {
    case InstallOutcome::Cancelled: return kExitCancelled;
    case InstallOutcome::CheckFailed: return kExitNothingChanged;
    case InstallOutcome::Completed: return kExitSuccess;
    case InstallOutcome::CompletedWithFailures: return kExitFinishedWithFailures;
  }
  return kExitFinishedWithFailures;
}

}  // namespace

int RunCommand(const CliOptions& options) {
  switch (options.command) {
    case CliCommand::Help:
      std::cout << UsageText();
      return kExitSuccess;
    case CliCommand::Version:
      std::cout << "quorvane-cli 1.1\n";
      return kExitSuccess;
    case CliCommand::List: return RunList(options);
    case CliCommand::Install: return RunInstall(options);
    case CliCommand::Check: return RunCheck(options);
    case CliCommand::None: break;
  }
  std::cerr << UsageText();
  return kExitUsage;
}
