// Command-line parsing over arbitrary argument vectors.
//
// Input: the arguments, separated by zero bytes.

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "CliOptions.h"
#include "FuzzSupport.h"

using namespace cli;

namespace {

bool Same(const CliOptions& a, const CliOptions& b) {
  return a.command == b.command && a.hasFs == b.hasFs && a.fs == b.fs && a.hasSquawkBox == b.hasSquawkBox &&
         a.squawkBox == b.squawkBox && a.catalogue == b.catalogue && a.airlines == b.airlines && a.yes == b.yes &&
         a.dryRun == b.dryRun && a.original == b.original;
}

const char* CommandWord(CliCommand command) {
  switch (command) {
    case CliCommand::List: return "list";
    case CliCommand::Install: return "install";
    case CliCommand::Check: return "check";
    case CliCommand::Remove: return "remove";
    case CliCommand::Restore: return "restore";
    default: return "";
  }
}

// The options written out again in the longest form, values after '='.
std::vector<std::string> Canonical(const CliOptions& options) {
  std::vector<std::string> args = {CommandWord(options.command)};
  if (options.hasFs) args.push_back("--fs=" + options.fs);
  if (options.hasSquawkBox) args.push_back("--squawkbox=" + options.squawkBox);
  if (!options.catalogue.empty()) args.push_back("--catalogue=" + options.catalogue);
  for (const std::string& airline : options.airlines) args.push_back("--airline=" + airline);
  if (options.yes) args.push_back("--yes");
  if (options.dryRun) args.push_back("--dry-run");
  if (options.original) args.push_back("--original");
  return args;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::vector<std::string> args;
  std::string current;
  for (std::size_t i = 0; i < size; ++i) {
    if (data[i] == 0) {
      args.push_back(current);
      current.clear();
    } else {
      current += static_cast<char>(data[i]);
    }
  }
  if (size > 0) args.push_back(current);

  CliOptions options;
  options.airlines.push_back("left over from before");
  std::string error;
  const bool ok = ParseArguments(args, &options, &error);
  if (!ok) {
    fuzz::Check(!error.empty(), "a usage error without a reason");
    return 0;
  }
  fuzz::Check(options.command != CliCommand::None, "parsed without a command");
  if (options.command == CliCommand::Help || options.command == CliCommand::Version) return 0;

  fuzz::Check(args[0] == CommandWord(options.command), "the command is not the first argument");
  if (options.command == CliCommand::List || options.command == CliCommand::Check) {
    fuzz::Check(options.airlines.empty() && !options.yes && !options.dryRun && !options.original,
                "an option that changes files was taken by a command that only reads");
  }
  if (options.command == CliCommand::List) {
    fuzz::Check(!options.hasFs && !options.hasSquawkBox, "list took a folder of the simulator's");
  }
  if (options.command != CliCommand::Restore) {
    fuzz::Check(!options.original, "--original was taken by a command other than restore");
  }
  if (options.command != CliCommand::Install) {
    fuzz::Check(options.airlines.empty(), "--airline was taken by a command other than install");
  }
  std::size_t airlineOptions = 0;
  for (const std::string& arg : args) {
    if (arg == "--airline" || arg.compare(0, 10, "--airline=") == 0) ++airlineOptions;
  }
  fuzz::Check(options.airlines.size() <= airlineOptions, "more airlines than --airline options");

  // Writing the result out again and parsing that gives the same options.
  CliOptions again;
  std::string againError;
  fuzz::Check(ParseArguments(Canonical(options), &again, &againError), "the canonical form does not parse",
              againError);
  fuzz::Check(Same(options, again), "the canonical form parses to other options");
  return 0;
}
