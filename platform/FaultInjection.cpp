#include "FaultInjection.h"

namespace plat {
namespace {
long g_failAt = 0;
long g_count = 0;
bool g_fired = false;
}  // namespace

void FailNthOperation(long n) {
  g_failAt = n;
  g_count = 0;
  g_fired = false;
}

long OperationCount() { return g_count; }

bool InjectedFaultFired() { return g_fired; }

namespace detail {
bool InjectFault(FileOp) {
  ++g_count;
  if (g_failAt != 0 && g_count == g_failAt) {
    g_fired = true;
    return true;
  }
  return false;
}
}  // namespace detail

}  // namespace plat
