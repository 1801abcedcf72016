// The plug-in's handler of CTRL calls. It hands the platform the records of
// its function table and serves each call: the called name must be the
// name of the function the platform resolved, the number of arguments that
// of its parameter string, and every argument must evaluate to a value of
// the class its wrapper reads; then the wrapper runs and its result is the
// call's result. A refused call returns the function's default result; a
// wrong name or argument count is also reported to the platform's ErrHdl.
#pragma once

#include <array>
#include <vector>

#include "extern_handler.h"
#include "function_table.h"
#include "wrapper_binding.h"

namespace ferrule::ctrl {

// The parameters of one parameter string: how many, and which are passed by
// reference (marked with "&").
struct ParamSignature {
  unsigned long count = 0;
  std::array<unsigned char, kMaxParams> byReference{};
};

// Counts the commas plus one (an empty text is one parameter); a "&" marks
// the parameter it stands in. Marks past the 20th parameter are not kept.
ParamSignature parseParamSignature(const char* param_list);

// Calls the wrapper with the first count arguments; null when count is
// above 20 or is not the wrapper's number of parameters.
const Variable* callWithArgs(const WrapperBinding& wrapper, unsigned long count,
                             Variable* const* args);

class TableExternHdl : public BaseExternHdl {
 public:
  // The platform gets the records of table, which must outlive the handler;
  // the handler keeps its own copy of the descriptors.
  TableExternHdl(BaseExternHdl* next, ExternFuncTable& table);

  const Variable* execute(ExternCallRec& call) override;

  const ExternFuncTable& table() const { return table_; }

 private:
  void reportCallError(const ExternCallRec& call, unsigned long code, const TextVar& message);

  ExternFuncTable table_;
  std::vector<ParamSignature> signatures_;
};

}  // namespace ferrule::ctrl
