#include <iostream>
#include <string>
#include <vector>

#include "CliOptions.h"
#include "Commands.h"
#include "Console.h"

int main(int argc, char** argv) {
  plat::UseBinaryStandardOutput();
  std::vector<std::string> args(argv + 1, argv + argc);
  CliOptions options;
  std::string error;
  if (!ParseArguments(args, &options, &error)) {
    std::cerr << "quorvane-cli: " << error << "\nTry 'quorvane-cli --help'.\n";
    return kExitUsage;
  }
  return RunCommand(options);
}
