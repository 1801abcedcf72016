// Plays the control platform for tests: loads libPVSSferrule.so with dlopen
// as the platform does, obtains handlers from newExternHdl, and calls CTRL
// functions by name with argument lists of its own values. Results,
// variables written by the functions and the errors reported to ErrHdl and
// to the calling thread are then read back.
#pragma once

#include <initializer_list>
#include <memory>
#include <string>
#include <vector>

#include "ctrl_thread.h"
#include "errors.h"
#include "extern_handler.h"
#include "variables.h"

// One argument expression of a call.
class Arg {
 public:
  Arg(const char* text);  // NOLINT: a text constant
  Arg(int value);         // NOLINT: an integer constant
  // A constant of any class (a list, for instance).
  static Arg Value(const Variable& value);
  // A variable of the script: the function gets the variable itself.
  static Arg Of(Variable& variable);
  // An expression that yields no value.
  static Arg Nothing();
  // An expression whose evaluation throws the int 7.
  static Arg Throwing();

  CtrlExpr* MakeExpression() const;

 private:
  enum Kind { kConstant, kVariable, kNothing, kThrowing };
  explicit Arg(Kind kind) : kind_(kind) {}
  Kind kind_;
  std::shared_ptr<Variable> constant_;
  Variable* variable_ = nullptr;
};

// The text of the call site that error reports carry first.
inline constexpr char kCallContext[] = "test script, line 1";

class CtrlPlatform {
 public:
  // Loads the plug-in on first use (it stays loaded) and obtains a handler.
  CtrlPlatform();
  ~CtrlPlatform();
  CtrlPlatform(const CtrlPlatform&) = delete;
  CtrlPlatform& operator=(const CtrlPlatform&) = delete;

  // newExternHdl(next) of the loaded plug-in; the caller owns the handler.
  static BaseExternHdl* NewHandler(BaseExternHdl* next);

  BaseExternHdl& handler() { return *handler_; }
  CtrlThread& thread() { return thread_; }

  // Calls the function of that name, as the platform resolves it.
  const Variable* Call(const char* name, std::initializer_list<Arg> args);
  // Calls function number `number` under the name `called`.
  const Variable* CallNumber(unsigned long number, const char* called,
                             std::initializer_list<Arg> args);

 private:
  std::unique_ptr<BaseExternHdl> handler_;
  CtrlThread thread_;
};

// The value of a result; a test failure when the class differs.
std::string TextResult(const Variable* result);
int IntResult(const Variable* result);
// The elements of a list, integers written in decimal.
std::vector<std::string> Elements(const Variable* list);
