#include "VirtualStore.h"

namespace plat {

bool IsVirtualized() { return false; }

std::string VirtualStoreCopy(const char*) { return std::string(); }

}  // namespace plat
