#include "CrashChild.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <sys/wait.h>
#include <unistd.h>
#endif

#include <cstdio>
#include <cstdlib>

#include "run/InstallRun.h"
#include "staging/FileSwap.h"
#include "TestSupport.h"
#include "platform/FaultInjection.h"

namespace crash {

using engine::InstallOutcome;

const char* NameOf(Command command) {
  switch (command) {
    case Command::Install: return "install";
    case Command::Remove: return "remove";
    case Command::Restore: return "restore";
    case Command::Original: return "original";
    case Command::Repair: return "repair";
  }
  return "install";
}

int Run(const Job& job) {
  engine::InstallRun run;
  run.SetCatalogueFolder(job.catalogue.c_str());
  FakeHost host;
  host.fsFolder = job.fsFolder;
  host.squawkBoxFolder = job.squawkBoxFolder;
  host.entries = job.entries;
  host.selected = job.selected;
  InstallOutcome outcome = InstallOutcome::CheckFailed;
  switch (job.command) {
    case Command::Install: outcome = engine::OnInstall(run, host.Request(), host); break;
    case Command::Remove: outcome = engine::OnRemove(run, host.Request(), host); break;
    case Command::Restore: outcome = engine::OnRestore(run, host.Request(), host); break;
    case Command::Original: outcome = engine::OnRestore(run, host.Request(), host, engine::RestoreFrom::Original); break;
    case Command::Repair: return engine::RepairOf(host.Request()).settled ? 0 : 1;
  }
  return static_cast<int>(outcome);
}

std::vector<std::string> ArgumentsOf(const Job& job) {
  std::vector<std::string> arguments = {NameOf(job.command), job.fsFolder, job.squawkBoxFolder, job.catalogue};
  for (std::size_t i = 0; i < job.entries.size(); ++i) {
    arguments.push_back(job.entries[i]);
    arguments.push_back(i < job.selected.size() && job.selected[i] ? "1" : "0");
  }
  return arguments;
}

bool JobOf(const std::vector<std::string>& arguments, Job* job) {
  if (arguments.size() < 4 || arguments.size() % 2 != 0) return false;
  bool known = false;
  for (Command command : {Command::Install, Command::Remove, Command::Restore, Command::Original, Command::Repair}) {
    if (arguments[0] != NameOf(command)) continue;
    job->command = command;
    known = true;
  }
  job->fsFolder = arguments[1];
  job->squawkBoxFolder = arguments[2];
  job->catalogue = arguments[3];
  for (std::size_t i = 4; i + 1 < arguments.size(); i += 2) {
    job->entries.push_back(arguments[i]);
    job->selected.push_back(arguments[i + 1] == "1");
  }
  return known;
}

#ifdef _WIN32
namespace {

// One argument as the C runtime of the child splits its command line: in
// quotes, with the quotes and the backslashes before them escaped.
std::string Quoted(const std::string& argument) {
  std::string quoted = "\"";
  std::size_t backslashes = 0;
  for (char c : argument) {
    if (c == '\\') {
      ++backslashes;
      continue;
    }
    quoted.append(c == '"' ? backslashes * 2 + 1 : backslashes, '\\');
    backslashes = 0;
    quoted += c;
  }
  quoted.append(backslashes * 2, '\\');
  return quoted + "\"";
}

}  // namespace

int RunKilledAt(const Job& job, long n) {
  std::string line = Quoted(QUORVANE_CRASH_CHILD) + " " + std::to_string(n);
  for (const std::string& argument : ArgumentsOf(job)) line += " " + Quoted(argument);
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process{};
  std::vector<char> buffer(line.begin(), line.end());
  buffer.push_back('\0');
  // Wine now and then fails to start a process under load; a walk of a
  // hundred children should not end on that, so it tries a few times.
  bool started = false;
  for (int attempt = 0; attempt < 5 && !started; ++attempt) {
    if (attempt > 0) ::Sleep(200);
    started = ::CreateProcessA(QUORVANE_CRASH_CHILD, buffer.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                               &startup, &process) != 0;
  }
  if (!started) return -2;
  ::WaitForSingleObject(process.hProcess, INFINITE);
  DWORD code = 0;
  ::GetExitCodeProcess(process.hProcess, &code);
  ::CloseHandle(process.hThread);
  ::CloseHandle(process.hProcess);
  return code == 137 ? -1 : static_cast<int>(code);
}
#else
int RunKilledAt(const Job& job, long n) {
  std::fflush(nullptr);
  const pid_t child = fork();
  if (child == 0) {
    plat::KillAtNthOperation(n);
    _exit(Run(job));
  }
  int status = 0;
  waitpid(child, &status, 0);
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}
#endif

}  // namespace crash
