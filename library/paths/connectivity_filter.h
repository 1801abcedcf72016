// Which links a load of the connectivity takes, as its callers ask for
// them.
#pragma once

#include "paths/subsystem_filter.h"

namespace ferrule {

// Which links a load takes. mode 0: the links whose subsystem set divides,
// or is divided by, the set of the device named dfrom or dto, reversed
// only when bidirectional. Otherwise the links of the subsystem filter
// (divisible by it or dividing it), every one also reversed.
struct ConnectivityFilter {
  int mode = 0;
  SubsystemFilter subsystems;
  const char* dfrom = nullptr;
  const char* dto = nullptr;

  bool by_devices() const { return mode == 0; }
};

}  // namespace ferrule
