// The diagnostic contexts that the inventory's lists and last-mounted
// lookups print for a failed step: they share all but the labels of their
// binds and of the define.
#pragma once

#include "lookup_query.h"
#include "reasons.h"

namespace ferrule {

inline StepLabels InventorySteps(const char* bind, const char* last_bind, const char* define) {
  return {bind,
          last_bind,
          "OCIBindByPos unsuccessful",   // prefetch
          "OCIExecute unsuccessful",     // execute
          "OCIParamGet1  unsuccessful",  // describe
          "Execute unsuccessful",        // column size
          define,
          reason::kMallocUnsuccessfulCaps};  // no define buffer
}

}  // namespace ferrule
