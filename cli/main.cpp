#include <string>
#include <vector>

#include "CliOptions.h"
#include "Commands.h"
#include "platform/Console.h"
#include "Output.h"

int main(int argc, char** argv) {
  plat::UseBinaryStandardOutput();
  std::vector<std::string> args(argv + 1, argv + argc);
  cli::CliOptions options;
  std::string error;
  if (!cli::ParseArguments(args, &options, &error)) {
    cli::Err("quorvane-cli: " + error + "\nTry 'quorvane-cli --help'.\n");
    return cli::kExitUsage;
  }
  const int status = cli::RunCommand(options);
  cli::FlushOut();
  return status;
}
