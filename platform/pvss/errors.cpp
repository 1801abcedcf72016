#include "errors.h"

namespace {

std::vector<ErrClass>& Recorded() {
  static std::vector<ErrClass> errors;
  return errors;
}

std::string TextOrEmpty(const char* text) { return text ? text : ""; }

}  // namespace

ErrClass::ErrClass(ErrPrio priority, ErrType type, unsigned long code, const char* text1,
                   const char* text2, const char* text3)
    : priority_(priority),
      type_(type),
      code_(code),
      texts_{TextOrEmpty(text1), TextOrEmpty(text2), TextOrEmpty(text3)} {}

ErrClass::~ErrClass() = default;

void ErrHdl::error(const ErrClass& error) { Recorded().push_back(error); }

void ErrHdl::error(ErrClass::ErrPrio priority, ErrClass::ErrType type, unsigned long code,
                   const char* text1, const char* text2, const char* text3) {
  error(ErrClass(priority, type, code, text1, text2, text3));
}

const std::vector<ErrClass>& ErrHdl::recorded() { return Recorded(); }

void ErrHdl::clearRecorded() { Recorded().clear(); }
