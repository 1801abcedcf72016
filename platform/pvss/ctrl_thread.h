// A running control script as external functions see it: the thread that
// calls, the argument expressions it hands over, and what it keeps for the
// call (the values made while evaluating arguments, the last errors).
#pragma once

#include <vector>

#include "errors.h"
#include "pvss_export.h"
#include "simple_ptr_array.h"
#include "variables.h"

class CtrlThread;

// One argument expression of a call.
class PVSS_API CtrlExpr {
 public:
  virtual ~CtrlExpr();
  // The expression's value, for an argument passed by value. A value made
  // for the call is kept in the thread's value array; a variable of the
  // script is handed over itself, so that what a function writes into it
  // reaches the script. Null when the expression yields nothing.
  virtual Variable* evaluate(CtrlThread& thread) const = 0;
  // The variable the expression designates, for an argument passed by
  // reference; null when it designates none.
  virtual Variable* getTarget(CtrlThread& thread) const = 0;
};

// The argument expressions of one call, in call order.
using ExprList = SimplePtrArray<CtrlExpr>;

class PVSS_API CtrlThread {
 public:
  CtrlThread();
  CtrlThread(const CtrlThread&) = delete;
  CtrlThread& operator=(const CtrlThread&) = delete;
  ~CtrlThread();

  // Values made while evaluating arguments; they live until it is cleared.
  SimplePtrArray<Variable>& getValueArray() { return values_; }

  // Keeps a copy of error as one of the thread's last errors.
  void appendLastError(const ErrClass* error);
  const std::vector<ErrClass>& getLastErrors() const { return last_errors_; }

 private:
  SimplePtrArray<Variable> values_;
  std::vector<ErrClass> last_errors_;
};
