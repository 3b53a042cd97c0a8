#include "FaultInjection.h"

#ifdef _WIN32
#include <windows.h>
#endif

#include <cerrno>
#include <csignal>
#include <cstdlib>


namespace plat {
namespace {
long g_failAt = 0;
long g_killAt = 0;
long g_fullFrom = 0;
long g_actionAt = 0;
void (*g_action)() = nullptr;
int g_error = 0;
long g_count = 0;
bool g_fired = false;

bool NeedsRoom(FileOp op) {
  return op == FileOp::Write || op == FileOp::Flush || op == FileOp::Copy || op == FileOp::CreateFolder;
}

[[noreturn]] void EndAsKilled() {
#ifdef _WIN32
  ::TerminateProcess(::GetCurrentProcess(), 137);
#elif defined(SIGKILL)
  std::raise(SIGKILL);
#endif
  std::_Exit(137);
}
}  // namespace

void FailNthOperation(long n, int error) {
  g_failAt = n;
  g_killAt = 0;
  g_fullFrom = 0;
  g_actionAt = 0;
  g_action = nullptr;
  g_error = error;
  g_count = 0;
  g_fired = false;
}

void KillAtNthOperation(long n) {
  FailNthOperation(0);
  g_killAt = n;
}

void FillDiskAtNthOperation(long n) {
  FailNthOperation(0);
  g_fullFrom = n;
}

void RunAtNthOperation(long n, void (*action)()) {
  FailNthOperation(0);
  g_actionAt = n;
  g_action = action;
}

long OperationCount() { return g_count; }

bool InjectedFaultFired() { return g_fired; }

namespace detail {
int InjectFault(FileOp op) {
  ++g_count;
  if (g_actionAt != 0 && g_count == g_actionAt && g_action) g_action();
  if (g_killAt != 0 && g_count == g_killAt) EndAsKilled();
  if (g_failAt != 0 && g_count == g_failAt) {
    g_fired = true;
    return g_error;
  }
  if (g_fullFrom != 0 && g_count >= g_fullFrom && NeedsRoom(op)) {
    g_fired = true;
    return ENOSPC;
  }
  return 0;
}
}  // namespace detail

}  // namespace plat
