// External CTRL functions: the record of one function that a plug-in hands
// to the platform, the record of one call that the platform hands back, and
// the base class of the plug-in's handler.
#pragma once

#include "char_string.h"
#include "ctrl_thread.h"
#include "pvss_export.h"
#include "variables.h"

// One CTRL function as the platform knows it.
struct FunctionListRec {
  VariableType resultType;  // class code of the result
  const char* name;         // the CTRL function name
  const char* paramList;    // the parameters in CTRL syntax, parentheses included
  unsigned char flag;
};

// Where a call comes from; yields a text for error reports.
class PVSS_API CallContext {
 public:
  virtual ~CallContext();
  virtual void getText(CharString& text) const = 0;
};

// One call of an external function.
struct ExternCallRec {
  CharString funcName;           // the name under which it was called
  unsigned long funcNum;         // index in the handler's functions (0 = first)
  ExprList* args;                // argument expressions in call order
  const CallContext* context;
  CtrlThread* thread;            // the calling thread
};

class PVSS_API BaseExternHdl {
 public:
  // next: the handler chained behind this one. functions: count records,
  // which must outlive the handler.
  BaseExternHdl(BaseExternHdl* next, unsigned long count, FunctionListRec* functions);
  BaseExternHdl(const BaseExternHdl&) = delete;
  BaseExternHdl& operator=(const BaseExternHdl&) = delete;
  virtual ~BaseExternHdl();

  // Serves one call of one of this handler's functions and returns its
  // result, which stays the handler's. The base class serves none (null).
  virtual const Variable* execute(ExternCallRec& call);

  // Index of the first function record of that name; getFunctionCount()
  // when no record has it.
  unsigned long getFuncNum(const CharString& name) const;
  unsigned long getFunctionCount() const { return count_; }
  const FunctionListRec* getFunctions() const { return functions_; }
  BaseExternHdl* getNext() const { return next_; }

 private:
  BaseExternHdl* next_;
  unsigned long count_;
  FunctionListRec* functions_;
};
