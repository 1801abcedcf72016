#include "ctrl_platform.h"

#include <dlfcn.h>
#include <gtest/gtest.h>

#include <stdexcept>

namespace {

// newExternHdl(BaseExternHdl*), under its C++ name.
constexpr char kEntryPoint[] = "_Z12newExternHdlP13BaseExternHdl";

using EntryPoint = BaseExternHdl* (*)(BaseExternHdl*);

EntryPoint LoadPlugin() {
  static EntryPoint entry = [] {
    void* plugin = dlopen(PVSSFERRULE_PATH, RTLD_NOW | RTLD_LOCAL);
    if (!plugin) throw std::runtime_error(std::string("dlopen: ") + dlerror());
    void* symbol = dlsym(plugin, kEntryPoint);
    if (!symbol) throw std::runtime_error(std::string("dlsym: ") + dlerror());
    return reinterpret_cast<EntryPoint>(symbol);
  }();
  return entry;
}

class ConstantExpr : public CtrlExpr {
 public:
  explicit ConstantExpr(std::shared_ptr<Variable> value) : value_(std::move(value)) {}
  Variable* evaluate(CtrlThread& thread) const override {
    Variable* copy = value_->clone();
    thread.getValueArray().append(copy);
    return copy;
  }
  Variable* getTarget(CtrlThread&) const override { return nullptr; }

 private:
  std::shared_ptr<Variable> value_;
};

class VariableExpr : public CtrlExpr {
 public:
  explicit VariableExpr(Variable* variable) : variable_(variable) {}
  Variable* evaluate(CtrlThread&) const override { return variable_; }
  Variable* getTarget(CtrlThread&) const override { return variable_; }

 private:
  Variable* variable_;
};

class NothingExpr : public CtrlExpr {
 public:
  Variable* evaluate(CtrlThread&) const override { return nullptr; }
  Variable* getTarget(CtrlThread&) const override { return nullptr; }
};

class ThrowingExpr : public CtrlExpr {
 public:
  Variable* evaluate(CtrlThread&) const override { throw 7; }
  Variable* getTarget(CtrlThread&) const override { throw 7; }
};

class FixedContext : public CallContext {
 public:
  void getText(CharString& text) const override { text = CharString(kCallContext); }
};

}  // namespace

Arg::Arg(const char* text) : kind_(kConstant), constant_(std::make_shared<TextVar>(text)) {}

Arg::Arg(int value) : kind_(kConstant), constant_(std::make_shared<IntegerVar>(value)) {}

Arg Arg::Value(const Variable& value) {
  Arg arg(kConstant);
  arg.constant_.reset(value.clone());
  return arg;
}

Arg Arg::Of(Variable& variable) {
  Arg arg(kVariable);
  arg.variable_ = &variable;
  return arg;
}

Arg Arg::Nothing() { return Arg(kNothing); }

Arg Arg::Throwing() { return Arg(kThrowing); }

CtrlExpr* Arg::MakeExpression() const {
  switch (kind_) {
    case kConstant: return new ConstantExpr(constant_);
    case kVariable: return new VariableExpr(variable_);
    case kNothing: return new NothingExpr;
    case kThrowing: return new ThrowingExpr;
  }
  return nullptr;
}

CtrlPlatform::CtrlPlatform() : handler_(NewHandler(nullptr)) {}

CtrlPlatform::~CtrlPlatform() = default;

BaseExternHdl* CtrlPlatform::NewHandler(BaseExternHdl* next) { return LoadPlugin()(next); }

const Variable* CtrlPlatform::Call(const char* name, std::initializer_list<Arg> args) {
  const unsigned long number = handler_->getFuncNum(CharString(name));
  if (number >= handler_->getFunctionCount()) {
    ADD_FAILURE() << "no CTRL function " << name;
    return nullptr;
  }
  return CallNumber(number, name, args);
}

const Variable* CtrlPlatform::CallNumber(unsigned long number, const char* called,
                                         std::initializer_list<Arg> args) {
  ExprList expressions;
  for (const Arg& arg : args) expressions.append(arg.MakeExpression());
  static const FixedContext context;
  ExternCallRec call{CharString(called), number, &expressions, &context, &thread_};
  return handler_->execute(call);
}

std::string TextResult(const Variable* result) {
  if (!result || result->isA() != kTextVariable) {
    ADD_FAILURE() << "not a text result";
    return "<not a text>";
  }
  return static_cast<const TextVar*>(result)->getValue();
}

int IntResult(const Variable* result) {
  if (!result || result->isA() != kIntegerVariable) {
    ADD_FAILURE() << "not an integer result";
    return -999999;
  }
  return static_cast<const IntegerVar*>(result)->getValue();
}

std::vector<std::string> Elements(const Variable* list) {
  std::vector<std::string> elements;
  if (!list || list->isA() != kDynVariable) {
    ADD_FAILURE() << "not a list";
    return elements;
  }
  const auto* dyn = static_cast<const DynVar*>(list);
  for (unsigned i = 0; i < dyn->getArrayLength(); ++i) {
    const Variable* item = dyn->getAt(i);
    elements.push_back(item->isA() == kIntegerVariable
                           ? std::to_string(static_cast<const IntegerVar*>(item)->getValue())
                           : item->isA() == kTextVariable
                                 ? static_cast<const TextVar*>(item)->getValue()
                                 : "<list>");
  }
  return elements;
}
