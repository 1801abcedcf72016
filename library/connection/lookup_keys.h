// The keys of a lookup: texts and integers bound by name, never formatted
// into a statement, and the answer to a text key that the caller left out.
#pragma once

#include <vector>

namespace ferrule {

// A key bound by name: a text or an integer. A null text key is answered
// with its missing-key reason before anything is allocated; a text key
// without such a reason binds a null as NULL.
struct KeyBind {
  const char* placeholder;
  const char* text = nullptr;
  int number = 0;
  bool is_text = false;
  const char* missing_reason = nullptr;

  static KeyBind Text(const char* placeholder, const char* value, const char* missing) {
    return KeyBind{placeholder, value, 0, true, missing};
  }
  static KeyBind Int(const char* placeholder, int value) {
    return KeyBind{placeholder, nullptr, value, false, nullptr};
  }
  // A text the caller must give although the statement does not read it
  // (another key stands for it): checked like a text key, never bound.
  static KeyBind Required(const char* value, const char* missing) {
    return KeyBind{nullptr, value, 0, true, missing};
  }
  // A port type: a null or empty key stands for a port without type, which
  // the statements read as "none"; any other key is used whole.
  static KeyBind PortType(const char* placeholder, const char* value) {
    return KeyBind{placeholder, value && *value ? value : "none", 0, true, nullptr};
  }
};

// Answers the first text key that is null and has a missing-key reason
// (that reason, result -1). True when the call is answered.
bool AnswerMissingKey(const char* appliName, const std::vector<KeyBind>& keys, char* ErrMess);

}  // namespace ferrule
