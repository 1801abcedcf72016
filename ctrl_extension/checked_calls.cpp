#include "checked_calls.h"

#include "call_buffers.h"

namespace ferrule::ctrl {

const char* FirstFailure(std::initializer_list<Check> checks) {
  for (const Check& check : checks) {
    if (check.fails) return check.message;
  }
  return nullptr;
}

const char* LastFailure(std::initializer_list<Check> checks) {
  const char* message = nullptr;
  for (const Check& check : checks) {
    if (check.fails) message = check.message;
  }
  return message;
}

void RunChecked(TextVar& result, const char* refusal, const char* success,
                const WriteCall& call) {
  if (refusal) {
    result = refusal;
    return;
  }
  ErrMessBuffer err(kWriteErrMessSize);
  result = call(err.data()) == 0 ? success : err.Text().c_str();
}

int RunCheckedForStatus(TextVar* errmess_arg, const char* refusal, const WriteCall& call) {
  if (refusal) {
    errmess_arg->setValue(refusal);
    return -1;
  }
  ErrMessBuffer err(kWriteErrMessSize);
  const int result = call(err.data());
  errmess_arg->setValue(err.Text().c_str());
  return result;
}

}  // namespace ferrule::ctrl
