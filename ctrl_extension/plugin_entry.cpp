// The one function the plug-in exports: the platform calls it to obtain
// the handler of the plug-in's CTRL functions. It is exported under its C++
// name, which carries its full signature.
#include <new>

#include "function_table.h"
#include "table_handler.h"

using ferrule::ctrl::ExternFuncTable;
using ferrule::ctrl::FunctionDescriptors;
using ferrule::ctrl::TableExternHdl;

// next: the handler the platform chains behind this one, passed on as it
// is. Every call returns a new handler with its own copy of the table; the
// caller owns it. Null when it cannot be allocated.
__attribute__((visibility("default"))) BaseExternHdl* newExternHdl(BaseExternHdl* next) {
  // Built on the first call and destroyed at exit, the table before the
  // descriptors it was copied from.
  static ExternFuncTable table(FunctionDescriptors().data(), FunctionDescriptors().size());
  try {
    return new TableExternHdl(next, table);
  } catch (const std::bad_alloc&) {
    return nullptr;
  }
}
