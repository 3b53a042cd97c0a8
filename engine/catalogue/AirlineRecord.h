#pragma once

#include "text/Capacities.h"

namespace engine {

// The catalogue values of one airline. Each field holds at most 49
// characters; a longer catalogue value is refused, never cut.
struct AirlineRecord {
  char Data[kFieldSize];
  char Folder[kFieldSize];
  char Title[kFieldSize];
  char Sim[kFieldSize];
  char Panel[kFieldSize];
  char Sound[kFieldSize];
  char Model[kFieldSize];
  char SQ1[kFieldSize];
};

}  // namespace engine
