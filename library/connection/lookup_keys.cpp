#include "lookup_keys.h"

#include "report.h"

namespace ferrule {

bool AnswerMissingKey(const char* appliName, const std::vector<KeyBind>& keys, char* ErrMess) {
  for (const KeyBind& key : keys) {
    if (key.is_text && !key.text && key.missing_reason) {
      SetErrMess(appliName, key.missing_reason, ErrMess, 1);
      return true;
    }
  }
  return false;
}

}  // namespace ferrule
