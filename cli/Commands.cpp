#include "Commands.h"

#include <iostream>

#include "CatalogueCheck.h"
#include "Catalogue.h"
#include "CliHost.h"
#include "Console.h"
#include "FileSystem.h"
#include "FolderSettings.h"
#include "Folders.h"
#include "InstallCommand.h"
#include "Preview.h"
#include "Profile.h"

namespace {


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

// The folder fields as the dialog shows them at start, with the folders
// given on the command line typed over them.
CliHost::Settings HostSettings(const CliOptions& options) {
  CliHost::Settings settings;
  CliHost remembered(settings);
  LoadFolderFields(remembered);
  char folder[300];
  remembered.GetFolderText(kFsFolderFieldId, folder, sizeof folder);
  settings.fsFolder = options.hasFs ? Absolute(options.fs) : folder;
  remembered.GetFolderText(kSquawkBoxFolderFieldId, folder, sizeof folder);
  settings.squawkBoxFolder = options.hasSquawkBox ? Absolute(options.squawkBox) : folder;
  settings.assumeYes = options.yes;
  settings.interactive = plat::IsTerminal(0);
  settings.showProgress = plat::IsTerminal(2);
  settings.preview = options.dryRun;
  return settings;
}

int StatusOf(InstallOutcome outcome) {
  switch (outcome) {
    case InstallOutcome::Cancelled: return kExitCancelled;
    case InstallOutcome::CheckFailed: return kExitNothingChanged;
    case InstallOutcome::Completed: return kExitSuccess;
    case InstallOutcome::CompletedWithFailures: return kExitFinishedWithFailures;
  }
  return kExitFinishedWithFailures;
}

// A dry run prints what the real run would change, then its report.
int RunPreview(CliHost& host, PreviewedCommand command) {
  Preview preview = PreviewCommand(host, command);
  std::cout << preview.diff;
  for (const TextureWrite& write : preview.textures) {
    std::cout << (write.replaces ? "replace " : "create ") << write.target << "\n";
  }
  std::cout << std::flush;
  host.PrintHeldMessages();
  return StatusOf(preview.outcome);
}

int RunInstall(const CliOptions& options) {
  if (!UseCatalogue(options)) return kExitUsage;
  CliHost host(HostSettings(options));
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
  if (options.dryRun) return RunPreview(host, PreviewedCommand::Install);
  return StatusOf(OnInstall(host));
}

int RunRemove(const CliOptions& options) {
  CliHost host(HostSettings(options));
  if (options.dryRun) return RunPreview(host, PreviewedCommand::Remove);
  return StatusOf(OnRemove(host));
}

int RunRestore(const CliOptions& options) {
  CliHost host(HostSettings(options));
  return StatusOf(OnRestore(host));
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
    case CliCommand::Remove: return RunRemove(options);
    case CliCommand::Restore: return RunRestore(options);
    case CliCommand::None: break;
  }
  std::cerr << UsageText();
  return kExitUsage;
}
