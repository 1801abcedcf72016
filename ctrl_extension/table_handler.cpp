#include "table_handler.h"

#include <memory>
#include <string>

#include "errors.h"

namespace ferrule::ctrl {
namespace {

// The platform's numbers of the two reported refusals.
constexpr auto kWrongNamePriority = ErrClass::ErrPrio(1);
constexpr auto kWrongNameType = ErrClass::ErrType(0);
constexpr unsigned long kWrongNameCode = 54;
constexpr auto kCallErrorPriority = ErrClass::ErrPrio(2);
constexpr auto kCallErrorType = ErrClass::ErrType(3);
constexpr unsigned long kArgumentCountCode = 75;

// Checks each argument against the class its wrapper reads. An integer
// where a text is read is passed as its decimal text (a value kept in
// converted for the call): parameter strings declare some texts as int.
// Anything else of another class refuses the call.
bool MatchArguments(const WrapperBinding& wrapper, std::vector<Variable*>& args,
                    std::vector<std::unique_ptr<Variable>>& converted) {
  if (wrapper.arity != args.size()) return false;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const VariableType given = args[i]->isA();
    switch (wrapper.kinds[i]) {
      case ArgKind::Text:
        if (given == kIntegerVariable) {
          const int value = static_cast<const IntegerVar*>(args[i])->getValue();
          converted.push_back(std::make_unique<TextVar>(std::to_string(value).c_str()));
          args[i] = converted.back().get();
        } else if (given != kTextVariable) {
          return false;
        }
        break;
      case ArgKind::Integer:
        if (given != kIntegerVariable) return false;
        break;
      case ArgKind::List:
        if (given != kDynVariable) return false;
        break;
    }
  }
  return true;
}

}  // namespace

ParamSignature parseParamSignature(const char* param_list) {
  ParamSignature signature;
  unsigned long index = 0;
  for (const char* c = param_list; c && *c; ++c) {
    if (*c == ',') {
      ++index;
      if (index < kMaxParams) signature.byReference[index] = 0;
    } else if (*c == '&' && index < kMaxParams) {
      signature.byReference[index] = 1;
    }
  }
  signature.count = index + 1;
  return signature;
}

const Variable* callWithArgs(const WrapperBinding& wrapper, unsigned long count,
                             Variable* const* args) {
  if (count > kMaxParams || count != wrapper.arity || !wrapper.call) return nullptr;
  return wrapper.call(args);
}

TableExternHdl::TableExternHdl(BaseExternHdl* next, ExternFuncTable& table)
    : BaseExternHdl(next, table.count(), table.records()), table_(table) {
  signatures_.reserve(table_.count());
  for (unsigned long i = 0; i < table_.count(); ++i) {
    signatures_.push_back(parseParamSignature(table_.descriptor(i).paramList));
  }
}

const Variable* TableExternHdl::execute(ExternCallRec& call) {
  // The platform gives numbers it resolved from the records and a calling
  // thread; a call without either names no function.
  if (call.funcNum >= table_.count() || !call.thread) return nullptr;
  const ParamSignature& signature = signatures_[call.funcNum];
  const ExternFuncDesc& function = table_.descriptor(call.funcNum);
  const Variable* const refused = function.defaultResult.get();

  // Values made for the previous call are released.
  call.thread->getValueArray().clear();

  if (call.funcName != CharString(function.name)) {
    ErrHdl::error(kWrongNamePriority, kWrongNameType, kWrongNameCode, call.funcName.c_str(),
                  " called implementation of Function ", function.name);
    return refused;
  }
  const unsigned long given = call.args ? call.args->getNumberOfItems() : 0;
  if (given != signature.count) {
    const CharString message =
        CharString("Argument missing: ") + CharString(function.name) + function.paramList;
    reportCallError(call, kArgumentCountCode, TextVar(message.c_str()));
    return refused;
  }

  // An int thrown while evaluating or inside the wrapper refuses the call.
  try {
    std::vector<Variable*> args(given);
    for (unsigned long i = 0; i < given; ++i) {
      const CtrlExpr* expression = call.args->getAt(i);
      const bool by_reference = i < kMaxParams && signature.byReference[i];
      Variable* value = !expression      ? nullptr
                        : by_reference ? expression->getTarget(*call.thread)
                                       : expression->evaluate(*call.thread);
      if (!value) return refused;  // an argument that yields nothing
      args[i] = value;
    }
    std::vector<std::unique_ptr<Variable>> converted;
    if (!function.wrapper.call || !MatchArguments(function.wrapper, args, converted)) {
      return refused;
    }
    return callWithArgs(function.wrapper, given, args.data());
  } catch (int) {
    return refused;
  }
}

void TableExternHdl::reportCallError(const ExternCallRec& call, unsigned long code,
                                     const TextVar& message) {
  CharString context;
  if (call.context) call.context->getText(context);
  const ErrClass error(kCallErrorPriority, kCallErrorType, code, context.c_str(),
                       call.funcName.c_str(), message.getValue());
  ErrHdl::error(error);
  call.thread->appendLastError(&error);
}

}  // namespace ferrule::ctrl
