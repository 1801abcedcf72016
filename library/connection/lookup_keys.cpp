#include "lookup_keys.h"

#include "report.h"

namespace ferrule {

bool AnswerMissingKey(const char* appliName, const std::vector<KeyBind>& keys, char* ErrMess) {
  for (const KeyBind& key : keys) {
    if (key.is_text && !key.text && key.missing_reason) {
      ReportFailure(appliName, key.missing_reason, ErrMess);
      return true;
    }
  }
  return false;
}

}  // namespace ferrule
