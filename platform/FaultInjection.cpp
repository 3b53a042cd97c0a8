#include "FaultInjection.h"

#include <csignal>
#include <cstdlib>

#include "SystemError.h"

namespace plat {
namespace {
long g_failAt = 0;
long g_killAt = 0;
int g_error = 0;
long g_count = 0;
bool g_fired = false;
}  // namespace

void FailNthOperation(long n, int error) {
  g_failAt = n;
  g_killAt = 0;
  g_error = error;
  g_count = 0;
  g_fired = false;
}

void KillAtNthOperation(long n) {
  FailNthOperation(0);
  g_killAt = n;
}

long OperationCount() { return g_count; }

bool InjectedFaultFired() { return g_fired; }

namespace detail {
int InjectFault(FileOp) {
  ++g_count;
  if (g_killAt != 0 && g_count == g_killAt) {
#ifdef SIGKILL
    std::raise(SIGKILL);
#endif
    std::_Exit(137);
  }
  if (g_failAt != 0 && g_count == g_failAt) {
    g_fired = true;
    SetLastErrno(g_error);
    return g_error;
  }
  return 0;
}
}  // namespace detail

}  // namespace plat
