#include "Commands.h"

#include <cstdio>
#include <exception>
#include <new>
#include <optional>

#include "checks/CatalogueCheck.h"
#include "catalogue/Catalogue.h"
#include "CliHost.h"
#include "platform/Console.h"
#include "staging/FileSwap.h"
#include "platform/FileSystem.h"
#include "commands/FolderSettings.h"
#include "commands/InstallCommand.h"
#include "run/InstallRun.h"
#include "Output.h"
#include "run/Messages.h"
#include "commands/Preview.h"

namespace cli {

using engine::CheckCatalogue;
using engine::FillAirlineList;
using engine::InstallOutcome;
using engine::InstallRun;
using engine::ListEntry;
using engine::LoadFolderFields;
using engine::OnInstall;
using engine::OnRemove;
using engine::OnRestore;
using engine::Preview;
using engine::PreviewCommand;
using engine::PreviewedCommand;
using engine::RememberedFolders;
using engine::RestoreFrom;

namespace {

// Folders named on the command line are taken as full paths, so that every
// message and the dry run's output name files by their full paths.
std::string Absolute(const std::string& folder) { return plat::AbsolutePath(folder.c_str()); }

bool UseCatalogue(InstallRun& run, const CliOptions& options) {
  if (run.SetCatalogueFolder(Absolute(options.catalogue).c_str())) return true;
  Err("quorvane-cli: the catalogue folder name is too long\n");
  return false;
}

// An empty airline list, with why it is empty: nothing to list or install.
bool ReportEmptyCatalogue(const InstallRun& run, const std::vector<std::string>& entries) {
  if (!entries.empty()) return false;
  const std::string problem = engine::CatalogueFileProblem(run.CatalogueFolder());
  Err("quorvane-cli: " + (problem.empty() ? std::string("no airline of the catalogue has a Descr") : problem) + "\n");
  return true;
}

int RunList(InstallRun& run, const CliOptions& options) {
  if (!UseCatalogue(run, options)) return kExitUsage;
  std::vector<std::string> entries;
  FillAirlineList(run.CatalogueFolder(), &entries);
  if (ReportEmptyCatalogue(run, entries)) return kExitNothingChanged;
  for (const std::string& entry : entries) Out(entry + "\n");
  return kExitSuccess;
}

// The folder fields as the dialog shows them at start, with the folders
// given on the command line typed over them.
CliHost::Settings HostSettings(const CliOptions& options) {
  CliHost::Settings settings;
  const RememberedFolders remembered = LoadFolderFields();
  settings.request.fsFolder = options.hasFs ? Absolute(options.fs) : remembered.fsFolder;
  settings.request.squawkBoxFolder = options.hasSquawkBox ? Absolute(options.squawkBox) : remembered.squawkBoxFolder;
  settings.assumeYes = options.yes;
  settings.interactive = plat::IsTerminal(0);
  settings.showProgress = plat::IsTerminal(2);
  settings.preview = options.dryRun;
  return settings;
}

int RunCheck(InstallRun& run, const CliOptions& options) {
  const bool files = options.hasFs || options.hasSquawkBox;
  bool clean = true;
  if (files) {
    engine::FileCheck check;
    std::string refusal;
    const engine::InstallRequest request = HostSettings(options).request;
    // A run that was stopped is set right first, and the user told at once.
    const engine::Repair repair = engine::RepairOf(request);
    if (!repair.line.empty()) Err(repair.line + "\n");
    if (!repair.settled) return kExitNothingChanged;
    if (!engine::CheckFilesOf(run, request, &check, &refusal)) {
      Err(refusal + "\n");
      return kExitNothingChanged;
    }
    Out(engine::FilesCheckReport(run.context.configPath, run.context.modelListPath, check));
    clean = check.problems.empty();
  }
  if (!files || !options.catalogue.empty()) {
    if (!UseCatalogue(run, options)) return kExitUsage;
    std::vector<std::string> findings = CheckCatalogue(run.CatalogueFolder());
    for (const std::string& finding : findings) Out(finding + "\n");
    clean = clean && findings.empty();
  }
  return clean ? kExitSuccess : kExitNothingChanged;
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

// A dry run prints what the real run would change, then its report: the
// run's own last message and the check of both files as it would leave
// them. The entries that a later install would take out again are the
// run's own, and are not listed.
int RunPreview(InstallRun& run, CliHost& host, PreviewedCommand command) {
  Preview preview = PreviewCommand(run, host.Request(), host, command);
  Out(engine::PreviewChanges(preview));
  FlushOut();
  host.PrintHeldMessages();
  Out(engine::PreviewCheck(preview, command));
  return StatusOf(preview.outcome);
}

// The airline list as the dialog shows it, every entry selected or, with
// --airline, those named; false names the first description that is no
// entry.
bool SelectAirlines(const std::vector<std::string>& entries, const std::vector<std::string>& wanted,
                    std::vector<ListEntry>* list, std::string* unknown) {
  list->clear();
  for (const std::string& entry : entries) list->push_back(ListEntry{entry, wanted.empty()});
  for (const std::string& description : wanted) {
    bool any = false;
    for (ListEntry& listed : *list) {
      if (listed.text != description) continue;
      listed.selected = true;
      any = true;
    }
    if (!any) {
      *unknown = description;
      return false;
    }
  }
  return true;
}

int RunInstall(InstallRun& run, const CliOptions& options) {
  if (!UseCatalogue(run, options)) return kExitUsage;
  CliHost::Settings settings = HostSettings(options);
  std::vector<std::string> entries;
  FillAirlineList(run.CatalogueFolder(), &entries);
  if (ReportEmptyCatalogue(run, entries)) return kExitNothingChanged;
  std::string unknown;
  if (!SelectAirlines(entries, options.airlines, &settings.request.entries, &unknown)) {
    Err("quorvane-cli: '" + unknown + "' is no airline of the catalogue (see 'quorvane-cli list')\n");
    return kExitUsage;
  }
  CliHost host(std::move(settings));
  if (options.dryRun) return RunPreview(run, host, PreviewedCommand::Install);
  return StatusOf(OnInstall(run, host.Request(), host));
}

int RunRemove(InstallRun& run, const CliOptions& options) {
  CliHost host(HostSettings(options));
  if (options.dryRun) return RunPreview(run, host, PreviewedCommand::Remove);
  return StatusOf(OnRemove(run, host.Request(), host));
}

int RunRestore(InstallRun& run, const CliOptions& options) {
  CliHost host(HostSettings(options));
  return StatusOf(
      OnRestore(run, host.Request(), host, options.original ? RestoreFrom::Original : RestoreFrom::LastRun));
}

int Dispatch(InstallRun& run, const CliOptions& options) {
  switch (options.command) {
    case CliCommand::Help:
      Out(UsageText());
      return kExitSuccess;
    case CliCommand::Version:
      Out("quorvane-cli 1.1\n");
      return kExitSuccess;
    case CliCommand::List: return RunList(run, options);
    case CliCommand::Install: return RunInstall(run, options);
    case CliCommand::Check: return RunCheck(run, options);
    case CliCommand::Remove: return RunRemove(run, options);
    case CliCommand::Restore: return RunRestore(run, options);
    case CliCommand::None: break;
  }
  Err(UsageText());
  return kExitUsage;
}

// A command that ended in an exception: its files given back, and why.
// `run` is null when the exception came before there was one.
int Abandon(InstallRun* run, engine::CommandStop stop, const char* detail) noexcept {
  const engine::AbandonedCommand abandoned =
      run ? engine::AbandonCommand(*run, stop, detail) : engine::AbandonedCommand{};
  // After a progress line on a terminal, the message starts a line of its own.
  std::fputs(plat::IsTerminal(2) ? "\nquorvane-cli: " : "quorvane-cli: ", stderr);
  std::fputs(run ? abandoned.Message() : engine::kStoppedText, stderr);
  std::fputs("\n", stderr);
  return StatusOf(abandoned.outcome);
}

}  // namespace

int RunCommand(const CliOptions& options) {
  std::optional<InstallRun> run;
  // The one place where an exception of any command ends up: memory that
  // ran out, or anything else, ends the command with the files as it
  // found them and a message, never with an abort.
  try {
    run.emplace();
    return Dispatch(*run, options);
  } catch (const std::bad_alloc&) {
    return Abandon(run ? &*run : nullptr, engine::CommandStop::OutOfMemory, nullptr);
  } catch (const std::exception& error) {
    return Abandon(run ? &*run : nullptr, engine::CommandStop::Error, error.what());
  } catch (...) {
    return Abandon(run ? &*run : nullptr, engine::CommandStop::Error, nullptr);
  }
}

}  // namespace cli
