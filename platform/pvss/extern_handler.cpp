#include "extern_handler.h"

#include <cstring>

CallContext::~CallContext() = default;

BaseExternHdl::BaseExternHdl(BaseExternHdl* next, unsigned long count,
                             FunctionListRec* functions)
    : next_(next), count_(functions ? count : 0), functions_(functions) {}

BaseExternHdl::~BaseExternHdl() = default;

const Variable* BaseExternHdl::execute(ExternCallRec&) { return nullptr; }

unsigned long BaseExternHdl::getFuncNum(const CharString& name) const {
  for (unsigned long i = 0; i < count_; ++i) {
    if (functions_[i].name && std::strcmp(functions_[i].name, name.c_str()) == 0) return i;
  }
  return count_;
}
