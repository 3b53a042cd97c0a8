#pragma once

#include <string>
#include <vector>

namespace cli {

enum class CliCommand { None, Help, Version, List, Install, Check, Remove, Restore };

struct CliOptions {
  CliCommand command = CliCommand::None;
  bool hasFs = false;
  std::string fs;
  bool hasSquawkBox = false;
  std::string squawkBox;
  std::string catalogue;
  std::vector<std::string> airlines;
  bool yes = false;
  bool dryRun = false;
  bool original = false;  // restore --original
};

// Parses argv[1..]; false with the reason in *error on a usage error.
bool ParseArguments(const std::vector<std::string>& args, CliOptions* options, std::string* error);

// The text of --help.
const char* UsageText();

}  // namespace cli
