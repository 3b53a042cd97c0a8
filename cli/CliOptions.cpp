#include "CliOptions.h"

namespace cli {

namespace {

struct CommandName {
  const char* name;
  CliCommand command;
};

constexpr CommandName kCommands[] = {
    {"list", CliCommand::List},
    {"install", CliCommand::Install},
    {"check", CliCommand::Check},
    {"remove", CliCommand::Remove},
    {"restore", CliCommand::Restore},
};

// Which options each command takes.
bool Accepts(CliCommand command, const std::string& option) {
  const bool folders = option == "--fs" || option == "--squawkbox" || option == "--yes";
  switch (command) {
    case CliCommand::Install:
      return folders || option == "--catalogue" || option == "--airline" || option == "--dry-run";
    case CliCommand::Remove: return folders || option == "--dry-run";
    case CliCommand::Restore: return folders || option == "--original";
    case CliCommand::Check: return option == "--catalogue" || option == "--fs" || option == "--squawkbox";
    default: return option == "--catalogue";
  }
}

bool TakesValue(const std::string& option) {
  return option != "--yes" && option != "--dry-run" && option != "--original";
}

}  // namespace

bool ParseArguments(const std::vector<std::string>& args, CliOptions* options, std::string* error) {
  *options = CliOptions();
  if (args.empty()) {
    *error = "no command given";
    return false;
  }
  const std::string& first = args[0];
  if (first == "--help" || first == "-h" || first == "help") {
    options->command = CliCommand::Help;
    return true;
  }
  if (first == "--version") {
    options->command = CliCommand::Version;
    return true;
  }
  for (const CommandName& entry : kCommands) {
    if (first == entry.name) options->command = entry.command;
  }
  if (options->command == CliCommand::None) {
    *error = "unknown command '" + first + "'";
    return false;
  }

  for (std::size_t i = 1; i < args.size(); ++i) {
    std::string option = args[i];
    std::string value;
    bool inlineValue = false;
    std::string::size_type equals = option.find('=');
    if (option.compare(0, 2, "--") == 0 && equals != std::string::npos) {
      value = option.substr(equals + 1);
      option = option.substr(0, equals);
      inlineValue = true;
    }
    if (option == "--help" || option == "-h") {
      options->command = CliCommand::Help;
      return true;
    }
    if (!Accepts(options->command, option)) {
      *error = "'" + args[i] + "' is not an option of '" + first + "'";
      return false;
    }
    if (TakesValue(option) && !inlineValue) {
      if (i + 1 >= args.size()) {
        *error = option + " needs a value";
        return false;
      }
      value = args[++i];
    } else if (!TakesValue(option) && inlineValue) {
      *error = option + " takes no value";
      return false;
    }

    if (option == "--fs") {
      options->hasFs = true;
      options->fs = value;
    } else if (option == "--squawkbox") {
      options->hasSquawkBox = true;
      options->squawkBox = value;
    } else if (option == "--catalogue") {
      options->catalogue = value;
    } else if (option == "--airline") {
      options->airlines.push_back(value);
    } else if (option == "--yes") {
      options->yes = true;
    } else if (option == "--dry-run") {
      options->dryRun = true;
    } else if (option == "--original") {
      options->original = true;
    }
  }
  return true;
}

const char* UsageText() {
  return "Usage: quorvane-cli COMMAND [OPTIONS]\n"
         "\n"
         "Installs airline repaints into the FS2002 CSL aircraft configuration\n"
         "(aircraft\\csl\\Aircraft.cfg) and the SquawkBox model list (CSL_ICAO.csv).\n"
         "\n"
         "Commands:\n"
         "  list [--catalogue DIR]\n"
         "      Prints the airlines of DIR/Airlines.dat, one a line, in list order.\n"
         "      Example: quorvane-cli list --catalogue sample/catalogue\n"
         "\n"
         "  install [--fs DIR] [--squawkbox DIR] [--catalogue DIR] [--airline DESCR]...\n"
         "          [--yes] [--dry-run]\n"
         "      Removes what earlier runs installed, then installs the chosen airlines\n"
         "      (every airline when no --airline is given) and sorts the model list.\n"
         "      The [fltsim.N] sections are numbered 0 to K-1 afterwards (it says when\n"
         "      it renumbered any); every line of yours but blank ones stays.\n"
         "      Before it changes them, it keeps both files as they were (see restore).\n"
         "      --fs and --squawkbox default to the folders remembered in Quorvane.ini.\n"
         "      Without --yes the confirmation is asked on the terminal.\n"
         "      --dry-run changes nothing: it prints a unified diff of both files, the\n"
         "      texture files it would write, the report it would give, and what\n"
         "      check finds in the files as the run would leave them.\n"
         "      Example: quorvane-cli install --fs ~/FS2002 --squawkbox ~/SquawkBox \\\n"
         "                 --airline 'Nordvik Air : A320' --yes\n"
         "\n"
         "  remove [--fs DIR] [--squawkbox DIR] [--yes] [--dry-run]\n"
         "      Only takes out every entry Quorvane (or an earlier release) installed;\n"
         "      texture folders stay. Numbering, backups and --dry-run as for install.\n"
         "      Example: quorvane-cli remove --fs ~/FS2002 --squawkbox ~/SquawkBox --dry-run\n"
         "\n"
         "  restore [--fs DIR] [--squawkbox DIR] [--original] [--yes]\n"
         "      Puts Aircraft.cfg (or Aircraft.csl) and CSL_ICAO.csv back as they were\n"
         "      before the last install or remove (their .bak copies), or with\n"
         "      --original as they were before Quorvane first changed them (.orig).\n"
         "      Both or neither: each copy must match what Quorvane-backups.ini, beside\n"
         "      it, says of it. The files as they are now are kept first, each restore\n"
         "      in a copy of its own (.before-restore, .before-restore-2, ...).\n"
         "      Example: quorvane-cli restore --fs ~/FS2002 --squawkbox ~/SquawkBox --yes\n"
         "\n"
         "  check [--catalogue DIR] [--fs DIR --squawkbox DIR]\n"
         "      Lists everything in Airlines.dat that keeps an airline from being\n"
         "      listed or installed soundly. With --fs or --squawkbox it looks at\n"
         "      Aircraft.cfg and CSL_ICAO.csv instead (the other folder as remembered),\n"
         "      changing nothing: [fltsim.N] numbers that repeat or leave gaps,\n"
         "      sections past what an install looks at, titles in two sections, model\n"
         "      lines whose title no section has, sections no model line names, lines\n"
         "      the simulator reads nothing from, headers with blanks before them, and\n"
         "      what the next install takes out as earlier entries.\n"
         "      Exit status 0 when nothing is wrong, 1 when something is.\n"
         "      Example: quorvane-cli check --catalogue sample/catalogue\n"
         "               quorvane-cli check --fs ~/FS2002 --squawkbox ~/SquawkBox\n"
         "\n"
         "--catalogue defaults to the folder of this program.\n"
         "\n"
         "Only one run at a time works on a folder; a second one exits with status 1\n"
         "and names the one that is running.\n"
         "\n"
         "Exit status: 0 success; 1 nothing was changed (a check failed, a file\n"
         "cannot be processed safely, another run is working, or the command stopped\n"
         "on an error, out of memory among them, and gave both files back); 2 usage\n"
         "error; 3 finished, but something failed (listed); 4 cancelled at the\n"
         "confirmation.\n";
}

}  // namespace cli
